// Putting a clipboard file back: its directory read and checked, every
// block read from the file into the handle the clipboard will own (GDI
// formats rebuilt as objects), and only then the clipboard emptied and given
// every entry in the file's order, each with its data at once.
#pragma once

#include <windows.h>

#include <string>

#include "capture/clpfile.h"

// A file's directory, read and checked whole: the table's entries and the
// form of every GDI format's block. problem is the sentence for the user
// (UTF-8, naming the entry), empty when every check passed.
struct OpenedCapture {
  ClpDirectory directory;
  std::string problem;
};
OpenedCapture ReadCaptureFile(const std::string& path);

// Builds every entry of a checked directory from the file at path, then
// opens the clipboard with owner as its owner (retrying for about 100 ms, as
// another program may hold it for a moment), empties it and sets each entry.
// Empty on success; otherwise the sentence for the user. Every handle the
// clipboard did not take is freed, and a clipboard that refused an entry
// halfway is left empty rather than holding part of the file.
std::string PutCaptureOnClipboard(HWND owner, const std::string& path, const ClpDirectory& directory);

// OpenClipboard, tried again every 10 ms for up to forMs: another program,
// Wine's clipboard manager among them, may hold the clipboard for a moment.
bool OpenClipboardRetrying(HWND owner, DWORD forMs);

// The sentence for an entry: "Entry 3 of 7 (HTML Format): " and the clause.
std::string EntrySentence(const ClpDirectory& directory, const ClpEntry& entry, const std::string& clause);
