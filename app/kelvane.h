// Start-up of Kelvane: window-class registration and the modal run of the
// format browser.
#pragma once

#include <windows.h>

#define DUMPFRAME_CLASS_NAME "Kelvane"

// Registers the DumpFrame class ("Kelvane"); the class atom, or 0.
ATOM RegisterDumpFrameClass(HINSTANCE instance);

// Registers the DumpView class ("Binary Dump Window by Marrowfen"); the class
// atom, or 0.
ATOM RegisterDumpViewClass(HINSTANCE instance);

// Registers the Picture view class (PICTUREVIEW_CLASS_NAME); the class atom,
// or 0.
ATOM RegisterPictureViewClass(HINSTANCE instance);

// Registers the Details pane class (DETAILSPANE_CLASS_NAME); the class atom,
// or 0.
ATOM RegisterDetailsPaneClass(HINSTANCE instance);

// The whole program after static initialisation: registers both classes,
// initialises the common controls and runs the format browser dialog modally.
// Returns the process's exit code, which is always 0. When the DumpFrame class
// can't be registered it returns at once, registering and showing nothing.
int RunKelvane(HINSTANCE instance, HINSTANCE previousInstance);
