// The clipboard watch through the real format browser, log window and dump
// window, with producers in other processes: the owner tool and xclip
// through Wine's X11 bridge.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "browser/formatbrowser_win32.h"
#include "browser/formatnames.h"
#include "browser_harness.h"
#include "clipboard_fault_owner.h"
#include "clipwatch/clipboardlog.h"
#include "clipwatch/watch_win32.h"
#include "dumpframe_harness.h"
#include "dumpview/viewport_win32.h"
#include "testsupport.h"

namespace {

using browsertest::BrowserDialog;
using browsertest::ItemCount;
using browsertest::ItemText;
using faulttest::ForeignOwner;

constexpr UINT kFollow = 0x0110;
constexpr UINT kLog = 0x0120;
enum { kTime, kSequence, kOwner, kClass, kCount, kFormats, kMarks };

std::string ListedText(UINT format) {
  char name[256] = {};
  if (format >= 0xC000 && ::GetClipboardFormatNameA(format, name, sizeof(name)) > 0) {
    return AvailableFormatText(format, std::string_view(name));
  }
  return AvailableFormatText(format, std::nullopt);
}

// The clipboard's formats now, as a log row names them.
std::string FormatsNow() {
  std::string text;
  for (const UINT format : testsupport::ClipboardFormats())
    text += (text.empty() ? "" : ", ") + ListedText(format);
  return text;
}

std::string OwnerText(DWORD process, const char* exe) {
  return std::string(exe) + " (process " + std::to_string(process) + ")";
}

HWND LogWindow() { return testsupport::FindOwnWindow("Kelvane Clipboard Log"); }
HWND LogList(HWND log) { return ::FindWindowExA(log, nullptr, WC_LISTVIEWA, nullptr); }

// A window made with WS_VISIBLE is shown once its creation is over.
bool LogWindowShown() { return LogWindow() != nullptr && ::IsWindowVisible(LogWindow()); }

HWND OpenLog(const BrowserDialog& run) {
  ::PostMessageA(run.dialog(), WM_SYSCOMMAND, kLog, 0);
  testsupport::WaitUntil(LogWindowShown);
  return LogWindow();
}

bool FollowChecked(const BrowserDialog& run) {
  return (::GetMenuState(::GetSystemMenu(run.dialog(), FALSE), kFollow, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

int RowOfSequence(HWND list, DWORD sequence) {
  const std::string key = std::to_string(sequence);
  for (int row = ItemCount(list) - 1; row >= 0; --row) {
    if (ItemText(list, row, kSequence) == key) return row;
  }
  return -1;
}

// The row of the clipboard's change now, once the log has it; -1 when it
// never came. The number is read again while waiting: Wine's X11 bridge may
// still be closing the clipboard when the format shows.
int WaitForRowOfNow(HWND list) {
  int row = -1;
  testsupport::WaitUntil([&] { return (row = RowOfSequence(list, ::GetClipboardSequenceNumber())) != -1; });
  return row;
}

// A row's cells as its tab-separated line.
std::string RowLine(HWND list, int row) {
  std::string line;
  for (int column = kTime; column <= kMarks; ++column)
    line += (column == kTime ? "" : "\t") + ItemText(list, row, column);
  return line + "\r\n";
}

// Presses a key with Ctrl held in the dialog's thread, as the keyboard would
// deliver it to the window.
void PressCtrl(const BrowserDialog& run, HWND window, WPARAM key) {
  ::AttachThreadInput(::GetCurrentThreadId(), run.threadId(), TRUE);
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::PostMessageA(window, WM_KEYDOWN, key, 1);
  ::SendMessageA(window, WM_NULL, 0, 0);
  testsupport::PumpMessages(50);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  ::AttachThreadInput(::GetCurrentThreadId(), run.threadId(), FALSE);
}

// Keeps the dialog's thread from handling anything while it lives: a hook
// of the thread's message retrieval waits until it is let go. Nothing may
// then send to the dialog's windows.
class DialogThreadPause {
 public:
  explicit DialogThreadPause(const BrowserDialog& run) {
    ::ResetEvent(paused_);
    ::ResetEvent(resume_);
    hook_ = ::SetWindowsHookExA(WH_GETMESSAGE, Hold, nullptr, run.threadId());
    ::PostMessageA(run.dialog(), WM_NULL, 0, 0);
    ::WaitForSingleObject(paused_, 5000);
  }
  ~DialogThreadPause() {
    ::SetEvent(resume_);
    ::UnhookWindowsHookEx(hook_);
  }

 private:
  static LRESULT CALLBACK Hold(int code, WPARAM wParam, LPARAM lParam) {
    if (::WaitForSingleObject(paused_, 0) == WAIT_TIMEOUT) {
      ::SetEvent(paused_);
      ::WaitForSingleObject(resume_, 30000);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline const HANDLE paused_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  static inline const HANDLE resume_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HHOOK hook_ = nullptr;
};

class ClipboardWatch : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::ClearClipboard(); }
  void TearDown() override {
    for (const std::string& path : paths_) framehar::RemoveFile(path);
    testsupport::ClearClipboard();
  }
  std::vector<std::string> paths_;
};

}  // namespace

// The system menu's items and their shortcuts, from whichever control has the
// focus; the log window opens and closes any number of times.
TEST_F(ClipboardWatch, MenuItemsAndShortcuts) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  HMENU menu = ::GetSystemMenu(run.dialog(), FALSE);
  const int count = ::GetMenuItemCount(menu);
  char text[64] = {};
  // One separator, then the watch's items, then the clipboard files' two.
  EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(count - 5), MF_BYPOSITION) & MF_SEPARATOR,
            UINT{MF_SEPARATOR});
  EXPECT_EQ(::GetMenuItemID(menu, count - 4), kFollow);
  EXPECT_EQ(::GetMenuItemID(menu, count - 3), kLog);
  ::GetMenuStringA(menu, kFollow, text, sizeof(text), MF_BYCOMMAND);
  EXPECT_STREQ(text, "Follow the Clipboard");
  ::GetMenuStringA(menu, kLog, text, sizeof(text), MF_BYCOMMAND);
  EXPECT_STREQ(text, "Clipboard Log...");
  EXPECT_FALSE(FollowChecked(run));

  PressCtrl(run, run.availableList(), 'L');
  ASSERT_TRUE(testsupport::WaitUntil(LogWindowShown));
  EXPECT_EQ(testsupport::WindowText(LogWindow()), "Clipboard Log");
  PressCtrl(run, ::GetDlgItem(run.dialog(), IDC_ANALYZE), 'F');
  EXPECT_TRUE(FollowChecked(run));
  PressCtrl(run, run.registeredList(), 'F');
  EXPECT_FALSE(FollowChecked(run));

  ::SendMessageA(LogWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(LogWindow(), nullptr);
  EXPECT_NE(OpenLog(run), nullptr) << "opened again";
}

// Changes from another process, from this one and from an X11 program, each
// logged once with its owner, formats and marks; with Follow off the lists
// stay as Analyze left them.
TEST_F(ClipboardWatch, LogsEachChangeOnceWithItsOwnerAndFormats) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const std::vector<std::string> before = {ItemText(run.availableList(), 0, 1),
                                           std::to_string(ItemCount(run.registeredList()))};
  const HWND list = LogList(OpenLog(run));
  ASSERT_NE(list, nullptr);

  ForeignOwner owner;
  ASSERT_TRUE(owner.Put({{"Kelvane Watch Sample", {'a', 'b', 'c'}},
                         {"Clipboard Viewer Ignore", {'1', 0}},
                         {"1", {'t', 'e', 'x', 't', 0}}}));
  const int row = WaitForRowOfNow(list);
  ASSERT_EQ(row, 0);
  const std::string time = ItemText(list, row, kTime);
  EXPECT_EQ(time.size(), 23u) << time;
  EXPECT_EQ(time.substr(10, 1) + time.substr(13, 1) + time.substr(19, 1), " :.") << time;
  EXPECT_EQ(ItemText(list, row, kOwner), OwnerText(owner.ProcessId(), "clipboard_owner.exe"));
  EXPECT_EQ(ItemText(list, row, kClass), "KelvaneTestClipboardOwner");
  EXPECT_EQ(ItemText(list, row, kFormats), FormatsNow());
  EXPECT_EQ(ItemText(list, row, kCount), std::to_string(testsupport::ClipboardFormats().size()));
  EXPECT_EQ(ItemText(list, row, kMarks), "asks to be left alone: Clipboard Viewer Ignore");

  // The platform telling of the same change again adds nothing.
  const HWND listener = ::FindWindowExA(HWND_MESSAGE, nullptr, "Kelvane Clipboard Listener", nullptr);
  ASSERT_NE(listener, nullptr);
  for (int i = 0; i < 3; ++i) ::PostMessageA(listener, WM_CLIPBOARDUPDATE, 0, 0);
  testsupport::ClearClipboard();
  EXPECT_EQ(WaitForRowOfNow(list), 1);
  EXPECT_EQ(ItemCount(list), 2);
  EXPECT_EQ(ItemText(list, 1, kOwner), "(none)");
  EXPECT_EQ(ItemText(list, 1, kFormats), "(empty)");
  EXPECT_EQ(ItemText(list, 1, kCount), "0");

  // What an X11 program copied comes in through Wine's X11 bridge, whose
  // clipboard manager is then the owner.
  ASSERT_TRUE(testsupport::PutWithXclip("text/html", KELVANE_WIN32_SAMPLES_DIR "/fragment.html",
                                        ::RegisterClipboardFormatA("HTML Format")));
  const int x11 = WaitForRowOfNow(list);
  ASSERT_GE(x11, 2);  // after the empty clipboard xclip's helper starts from
  EXPECT_EQ(ItemText(list, x11, kClass), "__wine_clipboard_manager");
  EXPECT_EQ(ItemText(list, x11, kFormats), FormatsNow());

  // Ctrl+C in the log copies the selected rows as Unicode text: a change of
  // Kelvane's own.
  browsertest::SelectItem(list, 0);
  PressCtrl(run, list, 'C');
  const int own = WaitForRowOfNow(list);
  ASSERT_EQ(own, x11 + 1);
  EXPECT_EQ(ItemText(list, own, kMarks), "Kelvane's own change");
  EXPECT_EQ(ItemText(list, own, kOwner), OwnerText(::GetCurrentProcessId(), "kelvane_win32_tests.exe"));
  const std::vector<std::uint8_t> bytes = testsupport::ClipboardBytes(CF_UNICODETEXT);
  std::string copied;
  for (std::size_t i = 0; i + 1 < bytes.size() && bytes[i] != 0; i += 2)
    copied += static_cast<char>(bytes[i]);
  EXPECT_EQ(copied, RowLine(list, 0));

  EXPECT_EQ(ItemText(run.availableList(), 0, 1), before[0]) << "Follow is off";
  EXPECT_EQ(std::to_string(ItemCount(run.registeredList())), before[1]);
}

// A change whose listing finds the clipboard held open by another program:
// the row names the holder at once and lists the formats once it lets go.
TEST_F(ClipboardWatch, ABusyClipboardNamesItsHolderAndIsListedLater) {
  BrowserDialog run;
  const HWND list = LogList(OpenLog(run));
  ASSERT_NE(list, nullptr);
  ForeignOwner changer;
  ForeignOwner holder;
  DWORD sequence = 0;
  {
    DialogThreadPause pause(run);
    ASSERT_TRUE(changer.Put({{"1", {'b', 'u', 's', 'y', 0}}}));
    sequence = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(holder.Hold());
  }
  ASSERT_TRUE(testsupport::WaitUntil([&] { return RowOfSequence(list, sequence) != -1; }));
  const int row = RowOfSequence(list, sequence);
  EXPECT_EQ(ItemText(list, row, kMarks),
            "held open by " + OwnerText(holder.ProcessId(), "clipboard_owner.exe"));
  EXPECT_EQ(ItemText(list, row, kFormats), "(not listed)");
  EXPECT_EQ(ItemText(list, row, kOwner), OwnerText(changer.ProcessId(), "clipboard_owner.exe"));
  ASSERT_TRUE(holder.Leave());
  EXPECT_TRUE(testsupport::WaitUntil([&] { return ItemText(list, row, kFormats) != "(not listed)"; }));
  EXPECT_EQ(ItemText(list, row, kFormats), FormatsNow());
  EXPECT_EQ(ItemCount(list), row + 1);
}

// Follow with an owner that counts its render requests: the log and the
// lists' refresh make it render nothing; an open dump window reads its
// format again, and only that; the format kept selected by number; a marker
// format stops the read; a format gone leaves the window without a snapshot.
TEST_F(ClipboardWatch, FollowRefreshesTheListsAndRereadsOnlyTheOpenFormat) {
  const char* counted = "Kelvane Watch Counted";
  const UINT countedFormat = ::RegisterClipboardFormatA(counted);
  BrowserDialog run;
  ASSERT_NE(OpenLog(run), nullptr);
  ::SendMessageA(run.dialog(), WM_SYSCOMMAND, kFollow, 0);
  ASSERT_TRUE(FollowChecked(run));
  const HWND available = run.availableList();
  // The available list as Analyze fills it from the clipboard now.
  const auto listed = [&](const std::vector<UINT>& formats) {
    return testsupport::WaitUntil([&] {
      bool same = ItemCount(available) == static_cast<int>(formats.size());
      for (int i = 0; same && i < ItemCount(available); ++i)
        same = ItemText(available, i, 1) == ListedText(formats[i]);
      return same;
    });
  };

  ForeignOwner first;
  ASSERT_TRUE(first.PromiseAndCount({counted, "13"}));
  ASSERT_TRUE(listed(testsupport::ClipboardFormats()));
  EXPECT_EQ(ItemText(available, 0, 0), "1");
  EXPECT_EQ(first.RenderCount(), 0) << "neither the log nor Follow reads data";

  browsertest::SelectItem(available, 0);
  run.Toggle();
  ASSERT_NE(g_dumpFrame, nullptr);
  EXPECT_EQ(first.RenderCount(), 1);

  ForeignOwner second;
  ASSERT_TRUE(second.PromiseAndCount({"13", counted}));
  ASSERT_TRUE(listed(testsupport::ClipboardFormats()));
  EXPECT_EQ(browsertest::SelectedItem(available), browsertest::ItemOfFormat(available, countedFormat));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return second.RenderCount() >= 1; }));
  EXPECT_EQ(second.RenderCount(), 1) << "read once, by Follow alone";
  EXPECT_GT(DumpViewStateOf(framehar::DumpViewOf(g_dumpFrame))->dataLength, 0u);

  ForeignOwner marked;
  ASSERT_TRUE(marked.PromiseAndCount({counted, "Clipboard Viewer Ignore"}));
  ASSERT_TRUE(listed(testsupport::ClipboardFormats()));
  EXPECT_EQ(browsertest::SelectedItem(available), 0);
  EXPECT_EQ(marked.RenderCount(), 0) << "a clipboard that asks to be left alone is not read";

  ForeignOwner without;
  ASSERT_TRUE(without.Put({{"1", {'g', 'o', 'n', 'e', 0}}}));
  ASSERT_TRUE(listed(testsupport::ClipboardFormats()));
  EXPECT_EQ(browsertest::SelectedItem(available), -1);
  ASSERT_NE(g_dumpFrame, nullptr) << "Follow does not close the dump window";
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] { return DumpViewStateOf(framehar::DumpViewOf(g_dumpFrame))->dataLength == 0; }));
  EXPECT_EQ(testsupport::WindowText(g_dumpFrame), "Clipboard Read Error !!");
}

// A full log keeps its last 10,000 rows and says how many it dropped, the
// list staying at the newest; Clear empties it; Save writes the whole log
// with a header row as UTF-8.
TEST_F(ClipboardWatch, TheLastTenThousandRowsClearAndSave) {
  BrowserDialog run;
  const HWND window = OpenLog(run);
  const HWND list = LogList(window);
  ASSERT_NE(list, nullptr);
  const HWND status = ::FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr);

  // Rows as the listener makes them, of changes before this one, added while
  // the dialog's thread waits; a real change then shows them.
  {
    DialogThreadPause pause(run);
    const DWORD now = ::GetClipboardSequenceNumber();
    ClipboardChange change;
    change.owner = {0x10, "Filler", 4, "C:\\filler.exe"};
    change.listing.formats = {13, 16, 1, 7};
    for (DWORD i = 0; i < kLogCapacity + 4; ++i) {
      change.sequence = now - (kLogCapacity + 4) + i;
      TheClipboardLog().Append(change);
    }
  }
  ForeignOwner owner;
  ASSERT_TRUE(owner.Put({{"1", {'l', 'a', 's', 't', 0}}}));
  const int last = WaitForRowOfNow(list);
  EXPECT_EQ(last, static_cast<int>(kLogCapacity) - 1);
  EXPECT_EQ(ItemCount(list), static_cast<int>(kLogCapacity));
  EXPECT_EQ(framehar::StatusText(status), "10000 rows; 5 older rows were dropped to keep the last 10000");
  const int top = static_cast<int>(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  const int perPage = static_cast<int>(::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_GE(top + perPage, last + 1) << "the list follows the newest row";

  ::SendMessageA(window, WM_COMMAND, 40101, 0);  // File > Clear
  EXPECT_EQ(ItemCount(list), 0);
  EXPECT_EQ(framehar::StatusText(status), "0 rows");

  ForeignOwner saved;
  ASSERT_TRUE(saved.Put({{"1", {'s', 'a', 'v', 'e', 0}}}));
  ASSERT_EQ(WaitForRowOfNow(list), 0);
  paths_.push_back(testsupport::TempPath("watch-log"));
  const framehar::SaveRun save = framehar::RunSave(window, framehar::SaveScript{paths_.back()});
  EXPECT_TRUE(save.dialogSeen);
  EXPECT_TRUE(save.messages.empty());
  const std::vector<std::uint8_t> file = testsupport::ReadFileBytes(paths_.back());
  EXPECT_EQ(std::string(file.begin(), file.end()),
            "Time\tSequence\tOwner\tWindow Class\tCount\tFormats\tMarks\r\n" + RowLine(list, 0));
}
