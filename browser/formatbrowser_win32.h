// State of the format browser dialog, the small operations on it that the
// dialog's commands share, and the list subclass with the name-copy command.
// One dialog per process, so the state is module-wide.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Sent to ListSubclassProc (with no window) to hand it the lists' base window
// procedure in wParam (WM_APP + 0x64; the numbering: dumpframe/dumpframe.h).
#define LSM_SETBASEPROC 0x8064

extern HWND g_registeredList;   // list 1001, registered formats
extern HWND g_availableList;    // list 1003, formats on the clipboard
extern HWND g_dumpFrame;        // the open DumpFrame, or none
extern int g_selectedIndex;     // item of list 1003 recorded as selected, or -1
extern WNDPROC g_listBaseProc;  // the window procedure both lists had before
// While set, the available list's notifications are not the user's: its items
// are being replaced, and the selection tracking leaves the frame alone.
extern bool g_refillingLists;

// Index of the selected item of a list, or -1.
int SelectedListItem(HWND list);

// Column 1 of a list item, terminated and whole (the caller applies any cut).
std::string ListItemColumn1Text(HWND list, int item);

// The item data (lParam) of a list item: the format number in list 1003.
std::uint32_t ListItemFormat(HWND list, int item);

// Replaces the available list's rows by formats, in that order, with the
// texts Analyze gives them (names looked up in the registered list).
void RefillAvailableList(const std::vector<std::uint32_t>& formats);

// Fills the registered list anew, as Analyze does.
void RescanRegisteredList();

// Whether the registered list has a row for format.
bool IsListedAsRegistered(std::uint32_t format);

// Destroys the open DumpFrame, if any, forgets it and unchecks B.
void CloseDumpFrame(HWND dialog);

// Window procedure of both lists: Ctrl+C sends the dialog the copy command, a
// double click while B is unchecked sends it the toggle; everything goes on
// to g_listBaseProc as well.
LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

// Installs ListSubclassProc on both lists, before their columns are set up.
void SubclassLists();

// The copy command (ID_COPY): closes an open DumpFrame, then places the name
// of the item selected in the focused list on the clipboard as CF_TEXT, or
// tells the user in a message box why it couldn't.
void CopySelectedFormatName(HWND dialog);

// WM_CONTEXTMENU: the list menu with Copy for a list with a selected item, at
// the mouse point, or beside the selected item when asked for from the
// keyboard.
void ShowListContextMenu(HWND dialog, HWND clicked, LPARAM point);

// FindCharDbcs over the lead bytes of the ANSI code page in use; sets the
// thread's last-error code to DV_ERROR_BAD_REQUEST when text is none, to 0 otherwise.
std::uint32_t FindCharDbcsA(const char* text, int character, std::uint32_t start);
