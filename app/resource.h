/* Resource, control and command identifiers of Kelvane.
   Included by the resource script, so it holds nothing but #defines. */
#ifndef KELVANE_APP_RESOURCE_H
#define KELVANE_APP_RESOURCE_H

#define IDD_FORMAT_BROWSER 101
#define IDR_LIST_MENU      102
#define IDI_APP            104
#define IDR_DUMP_MENU      105
#define IDD_FIND           106
#define IDD_GOTO           107

#define IDC_ANALYZE         1000
#define IDC_REGISTERED_LIST 1001
#define IDC_AVAILABLE_LIST  1003
#define IDC_DUMP_TOGGLE     1006

/* The dump window's Find and Go To dialogs. */
#define IDC_FIND_TEXT   1010
#define IDC_FIND_HEX    1011
#define IDC_FIND_UP     1012
#define IDC_FIND_DOWN   1013
#define IDC_FIND_STATUS 1014
#define IDC_GOTO_OFFSET 1020
#define IDC_GOTO_STATUS 1021

#define ID_COPY               40001
#define ID_SAVE               40002
#define ID_ENCODING_CP1252    40003
#define ID_ENCODING_SHIFT_JIS 40004
#define ID_ENCODING_EUC_JP    40005
#define ID_ENCODING_UTF16LE   40006
#define ID_ENCODING_UTF8      40007
#define ID_CLOSE              40008

/* The dump window's Edit menu. */
#define ID_EDIT_COPY          40009
#define ID_EDIT_COPY_TEXT     40010
#define ID_EDIT_SELECT_ALL    40011
#define ID_EDIT_FIND          40012
#define ID_EDIT_FIND_NEXT     40013
#define ID_EDIT_FIND_PREVIOUS 40014
#define ID_EDIT_GOTO          40015

/* The dump window's View menu beyond the encodings: what is read, how it is
   shown, and the picture's zoom. */
#define ID_VIEW_WHOLE_DATA 40016
#define ID_VIEW_BYTES      40017
#define ID_VIEW_PICTURE    40018
#define ID_VIEW_DETAILS    40019
#define ID_VIEW_ZOOM_IN    40020
#define ID_VIEW_ZOOM_OUT   40021
#define ID_VIEW_ZOOM_FIT   40022

#endif
