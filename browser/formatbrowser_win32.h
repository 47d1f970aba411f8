// State of the format browser dialog and the small operations on it that the
// dialog's other commands (copying a name, the list shortcuts) share with
// FormatBrowserProc. One dialog per process, so the state is module-wide.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

extern HWND g_registeredList;  // list 1001, registered formats
extern HWND g_availableList;   // list 1003, formats on the clipboard
extern HWND g_dumpFrame;       // the open DumpFrame, or none
extern int g_selectedIndex;    // item of list 1003 recorded as selected, or -1

// Index of the selected item of a list, or -1.
int SelectedListItem(HWND list);

// Column 1 of a list item, terminated and whole (the caller applies any cut).
std::string ListItemColumn1Text(HWND list, int item);

// The item data (lParam) of a list item: the format number in list 1003.
std::uint32_t ListItemFormat(HWND list, int item);

// Destroys the open DumpFrame, if any, forgets it and unchecks B.
void CloseDumpFrame(HWND dialog);
