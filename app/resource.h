/* Resource, control and command identifiers of Kelvane.
   Included by the resource script, so it holds nothing but #defines. */
#ifndef KELVANE_APP_RESOURCE_H
#define KELVANE_APP_RESOURCE_H

#define IDD_FORMAT_BROWSER      101
#define IDR_LIST_MENU           102
#define IDI_APP                 104
#define IDR_DUMP_MENU           105

#define IDC_ANALYZE             1000
#define IDC_REGISTERED_LIST     1001
#define IDC_AVAILABLE_LIST      1003
#define IDC_DUMP_TOGGLE         1006

#define ID_COPY                 40001
#define ID_SAVE                 40002
#define ID_ENCODING_CP1252      40003
#define ID_ENCODING_SHIFT_JIS   40004
#define ID_ENCODING_EUC_JP      40005
#define ID_ENCODING_UTF16LE     40006
#define ID_ENCODING_UTF8        40007
#define ID_CLOSE                40008

#endif
