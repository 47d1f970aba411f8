// Helpers of the DumpFrame tests: an owner window that records what the frame
// posts to it, the frame's children and menu as the user sees them, and a
// second thread that answers the modal save dialog and message boxes.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dumpview/dumpviewstate.h"

namespace framehar {

// A hidden top-level window standing in for the format browser: it records
// every WM_COMMAND it receives and does nothing else, so a frame that asks to
// be closed stays open.
class RecordingOwner {
 public:
  RecordingOwner();
  ~RecordingOwner();
  HWND window() const { return window_; }
  struct Command {
    WPARAM wParam;
    LPARAM lParam;
  };
  static std::vector<Command>& Commands();

 private:
  HWND window_;
};

// A test with a recording owner and at most one frame, destroyed after
// the test together with whatever the test left on the clipboard.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<RecordingOwner> owner_;
  HWND frame_ = nullptr;
};

// Creates a DumpFrame as the format browser does: "Binary dump", 650 x 300,
// unowned, with the record as its creation parameter. Unless told not to, it
// returns once the frame's first read has ended: a read that outlasts the
// frame's short wait (Wine's clipboard manager may hold the clipboard for a
// moment) ends by a posted message.
HWND CreateFrame(HWND owner, std::uint32_t format, const char* statusText, bool waitForRead = true);

HWND StatusBarOf(HWND frame);
HWND DumpViewOf(HWND frame);
HWND PaneOf(HWND frame);  // the Details pane

// The status bar's simple-mode text (read through part 0: Wine answers
// nothing for part 255).
std::string StatusText(HWND statusBar);

// A child's window rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child);
RECT ClientRect(HWND window);

// Positions of the checked items of View > Encoding.
std::vector<int> CheckedEncodingPositions(HWND frame);

// A dialog or message box that appeared during a save.
struct SeenBox {
  HWND owner;
  std::string caption;
  std::string text;
};

struct SaveScript {
  std::string path;           // typed into the file-name box
  bool cancel = false;        // press Cancel instead of OK
  UINT promptAnswer = IDYES;  // answer to an overwrite prompt
};

struct SaveRun {
  bool dialogSeen = false;
  std::string dialogTitle;
  std::vector<SeenBox> prompts;   // boxes owned by the save dialog
  std::vector<SeenBox> messages;  // other boxes (the frame's error messages)
  bool timedOut = false;
};

// Sends the frame its Save command and answers, from a second thread, the
// save dialog, any overwrite prompt and any message box that follows.
SaveRun RunSave(HWND frame, const SaveScript& script);

// Keyboard input as a user types it, through SendInput: it reaches the
// focused window of the foreground thread.
struct Chord {
  WORD key;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};
void Press(const Chord& chord);
// Each character of text as the key that types it (VkKeyScanA), with Shift
// where the character needs it.
void TypeText(const std::string& text);
// Makes window the foreground window with the keyboard focus on focus (the
// window itself when none); false when the system refused.
bool FocusForTyping(HWND window, HWND focus = nullptr);

// A visible dialog of this process whose owner is owner and, when title is
// given, with that title; or none.
HWND FindOwnedDialog(HWND owner, const char* title);

// Temporary file helpers.
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);

}  // namespace framehar
