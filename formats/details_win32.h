// The Details pane: a read-only, multi-line Unicode edit control that shows
// what formats/ makes of the frame's snapshot, and the FormatPort over the
// system.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "formats/details.h"
#include "snapshot/clipboardwindow.h"

// Creates the pane as a hidden child of parent. It owns its font and state
// and frees them with its window.
HWND CreateDetailsPane(HWND parent);

// The format's number and name, and the owner window's class, process and
// executable as the read saw them: what the Snapshot section tells besides
// the read itself.
void DescribeFormat(std::uint32_t format, const std::string& registeredName, SnapshotDescription* snapshot);
void DescribeOwner(const ClipboardWindow& owner, SnapshotDescription* snapshot);

// Rebuilds the whole text for a snapshot. The caret section is shown only
// while the bytes are (withCaret), from the dump view's caret and selection.
void ShowDetails(HWND pane, const SnapshotDescription& snapshot, const std::uint8_t* data, HWND dumpView,
                 bool withCaret);

// Replaces the "At the caret" section alone, when the dump view's caret or
// selection moved since the pane last showed them.
void FollowCaret(HWND pane, HWND dumpView);
