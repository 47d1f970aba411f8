// The dump view's input messages: keys, mouse buttons, pointer moves,
// autoscroll timers, the wheel and the loss of the mouse capture, and the
// notifications that report keys and buttons to the parent.
#pragma once

#include <windows.h>

#include "dumpview/dumpviewstate.h"

// Handles an input message completely, default processing included, and
// answers true with its result; answers false for any other message.
bool OnInputMessage(HWND window, DumpViewState& state, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT& result);
