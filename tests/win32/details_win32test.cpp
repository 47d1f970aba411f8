// The Details pane in a real frame, on "HTML Format" that an X11 program
// (xclip) put on the clipboard and Wine's bridge headed: the header fields
// and their checks as the pane's edit control holds them, the caret section
// following a key in the dump, Select All and Copy in the pane, and the
// layout with the pane shown (the frame widened for it) and hidden.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dumpframe_harness.h"
#include "dumpview/dumpview.h"
#include "testsupport.h"

namespace {

std::string Utf8(const std::wstring& text) {
  const int size = static_cast<int>(text.size());
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::wstring PaneWideText(HWND pane) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(pane)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(pane, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string PaneText(HWND pane) { return Utf8(PaneWideText(pane)); }

using framehar::PaneOf;

// xclip, a Linux program, started the way Wine starts one: it owns the X
// selection until another program takes the clipboard.
bool XclipPutsHtml() {
  const char page[] =
      "<html><body><p>Kelvane <b>pr\xC3\xBC"
      "ft</b> \xE6\x97\xA5\xE6\x9C\xAC</p></body></html>\n";
  HANDLE file = ::CreateFileA("Z:\\tmp\\kelvane-details-page.html", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  ::WriteFile(file, page, sizeof(page) - 1, &written, nullptr);
  ::CloseHandle(file);
  char command[] = "Z:\\usr\\bin\\xclip -selection clipboard -t text/html -i /tmp/kelvane-details-page.html";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  const UINT html = ::RegisterClipboardFormatA("HTML Format");
  return testsupport::WaitUntil([html] { return ::IsClipboardFormatAvailable(html) != FALSE; });
}

class DetailsPane : public framehar::FrameTest {
 protected:
  // Puts one block on the clipboard, opens a frame on it and shows the pane.
  HWND PaneOn(std::uint32_t format, const void* data, std::size_t size, const char* listText) {
    if (!testsupport::OpenClipboardRetry(owner_->window())) return nullptr;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), data, size);
    ::GlobalUnlock(block);
    ::SetClipboardData(format, block);
    ::CloseClipboard();
    frame_ = framehar::CreateFrame(owner_->window(), format, listText);
    ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
    return PaneOf(frame_);
  }
};

TEST_F(DetailsPane, ReadsTheHtmlHeaderOfARealProducerAndFollowsTheCaret) {
  ASSERT_TRUE(XclipPutsHtml()) << "xclip could not put text/html";
  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  frame_ = framehar::CreateFrame(owner_->window(), ::RegisterClipboardFormatA("HTML Format"), "HTML Format");
  HWND view = framehar::DumpViewOf(frame_);
  HWND pane = PaneOf(frame_);
  ASSERT_NE(pane, nullptr);
  // Hidden by default: the dump fills the client width as before.
  EXPECT_FALSE(::IsWindowVisible(pane));
  const RECT client = framehar::ClientRect(frame_);
  RECT narrow = {};
  ::GetWindowRect(frame_, &narrow);
  EXPECT_EQ(framehar::ChildRect(frame_, view).right, client.right);

  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  ASSERT_TRUE(::IsWindowVisible(pane));
  EXPECT_EQ(::GetMenuState(::GetMenu(frame_), ID_VIEW_DETAILS, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  // At the right of the dump, about two-fifths of the width: the frame grew
  // by the pane's width, so the dump keeps every column it showed.
  const RECT widened = framehar::ClientRect(frame_);
  const RECT paneRect = framehar::ChildRect(frame_, pane);
  EXPECT_EQ(paneRect.right, widened.right);
  EXPECT_GE(framehar::ChildRect(frame_, view).right, client.right);
  EXPECT_LE(framehar::ChildRect(frame_, view).right, client.right + 1);
  EXPECT_LT(framehar::ChildRect(frame_, view).right, paneRect.left);
  EXPECT_NEAR(paneRect.right - paneRect.left, widened.right * 2 / 5, 2);

  const std::string text = PaneText(pane);
  for (const char* line :
       {"Read: the first 256 bytes", "Owner class: ", "HTML Format\r\n", "Version: 0.9\r\n",
        "StartHTML: 0000000100\r\n", "StartFragment: 0000000120\r\n",
        "Offsets: inside the data and in order\r\n",
        "Fragment markers: <!--StartFragment--> and <!--EndFragment--> at the offsets claimed",
        "  <html><body><p>Kelvane <b>pr\xC3\xBC"
        "ft</b> \xE6\x97\xA5\xE6\x9C\xAC</p></body></html>",
        "Offset: 0x00000000 (0)\r\n", "Int8: 86\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }

  // A key in the dump moves the caret; the section follows, the rest stays.
  ::SendMessageA(view, WM_KEYDOWN, VK_RIGHT, 0);
  const std::string moved = PaneText(pane);
  EXPECT_NE(moved.find("Offset: 0x00000001 (1)\r\nSelection: none\r\nInt8: 101\r\n"), std::string::npos)
      << moved;
  EXPECT_EQ(moved.substr(moved.rfind("HTML Format\r\n")), text.substr(text.rfind("HTML Format\r\n")));

  // The caret's section goes with the bytes and comes back with them.
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_PICTURE, 0);
  EXPECT_EQ(PaneText(pane).find("At the caret"), std::string::npos);
  EXPECT_NE(PaneText(pane).find("Version: 0.9\r\n"), std::string::npos);
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_BYTES, 0);
  EXPECT_EQ(PaneText(pane), moved);

  // Select All and Copy in the pane, as the user presses them.
  ASSERT_TRUE(framehar::FocusForTyping(frame_, pane));
  framehar::Press({'A', true});
  framehar::Press({'C', true});
  testsupport::PumpMessages(50);
  const std::vector<std::uint8_t> copied = testsupport::ClipboardBytes(CF_UNICODETEXT);
  ASSERT_GE(copied.size(), 2u);
  const std::wstring wide(reinterpret_cast<const wchar_t*>(copied.data()), copied.size() / 2 - 1);
  EXPECT_EQ(Utf8(wide), moved);

  // Hidden again: the frame gives the width back and the dump has all of
  // it, and the choice is off for the next frame as it was at the start.
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  EXPECT_FALSE(::IsWindowVisible(pane));
  RECT after = {};
  ::GetWindowRect(frame_, &after);
  EXPECT_TRUE(::EqualRect(&after, &narrow));
  EXPECT_EQ(framehar::ChildRect(frame_, view).right, client.right);
}

// What Wine's shell wrote for two files (tests/unit/samples), read whole: the
// pane names each item and its path from the bytes alone, at once.
TEST_F(DetailsPane, NamesTheShellsItemsAndTheirPaths) {
  const std::vector<std::uint8_t> bytes = testsupport::ReadFileBytes(
      std::string("Z:") + KELVANE_WIN32_SAMPLES_DIR + "/../../unit/samples/wine_shell_idlist.bin");
  ASSERT_EQ(bytes.size(), 271u);
  const UINT format = ::RegisterClipboardFormatA("Shell IDList Array");
  ASSERT_TRUE(testsupport::PutClipboardBytes(format, bytes.data(), bytes.size()));
  frame_ = framehar::CreateFrame(owner_->window(), format, "Shell IDList Array");
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  const std::string text = PaneText(PaneOf(frame_));
  EXPECT_NE(
      text.find(
          "Shell IDList Array\r\nItems: 2\r\nFolder: at byte 16, 107 bytes, 3 items, path C:\\windows\r\n"
          "  Root folder: {20D04FE0-3AEA-1069-A2D8-08002B30309D} (This PC)\r\n  Drive: C:\\\r\n"
          "  Folder: windows\r\nItem 1: at byte 123, 74 bytes, 1 item, path C:\\windows\\notepad.exe\r\n"
          "  File: notepad.exe\r\nItem 2: at byte 197, 74 bytes, 1 item, path C:\\windows\\regedit.exe\r\n"
          "  File: regedit.exe\r\n"),
      std::string::npos)
      << text;
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
}

}  // namespace

namespace {

// The pixels of one character cell of the pane that differ from its
// background, row by row: the leftmost and rightmost ink of each row.
struct InkRow {
  int first;
  int last;
  bool operator==(const InkRow&) const = default;
};

std::vector<InkRow> InkOf(HWND pane, int index) {
  const LRESULT at = ::SendMessageW(pane, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
  const LRESULT next = ::SendMessageW(pane, EM_POSFROMCHAR, static_cast<WPARAM>(index + 1), 0);
  const int left = static_cast<short>(LOWORD(at));
  const int top = static_cast<short>(HIWORD(at));
  const int right = static_cast<short>(LOWORD(next));
  HDC dc = ::GetDC(pane);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(pane, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics = {};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(pane, dc);
  const testsupport::WindowPixels pixels(pane);
  const COLORREF back = pixels.At(left, top);
  std::vector<InkRow> rows;
  for (int y = top; y < top + metrics.tmHeight; ++y) {
    InkRow row = {-1, -1};
    for (int x = left; x < right; ++x) {
      if (pixels.At(x, y) == back) continue;
      if (row.first < 0) row.first = x - left;
      row.last = x - left;
    }
    if (row.first >= 0) rows.push_back(row);
  }
  return rows;
}

}  // namespace

// The owner's executable is a path: in the pane its backslashes show as
// backslashes, one stroke falling from top left to bottom right, not as the
// yen sign of the dump's Japanese cell font (a V over crossbars).
TEST_F(DetailsPane, ABackslashShowsAsABackslash) {
  HWND pane = PaneOn(CF_TEXT, "abc", 4, "CF_TEXT (1)");
  ASSERT_NE(pane, nullptr);
  const std::string text = PaneText(pane);
  const std::size_t line = text.find("Owner executable: ");
  ASSERT_NE(line, std::string::npos) << text;
  const std::size_t slash = text.find('\\', line);
  ASSERT_NE(slash, std::string::npos) << text;
  // The text before it is ASCII: its bytes are its UTF-16 units.
  for (std::size_t i = 0; i < slash; ++i) ASSERT_LT(static_cast<unsigned char>(text[i]), 0x80u) << i;
  testsupport::PumpMessages(30);
  const std::vector<InkRow> ink = InkOf(pane, static_cast<int>(slash));
  ASSERT_GE(ink.size(), 5u);
  for (const InkRow& row : ink) EXPECT_LE(row.last - row.first, 2) << "a crossbar";
  EXPECT_GE(ink.back().first - ink.front().first, 2) << "the stroke falls to the right";
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);  // the choice outlives the frame
}

// Japanese text in the pane: the pane takes a face that has its characters,
// so that each draws as itself, not as the same box for all of them.
TEST_F(DetailsPane, JapaneseTextShowsItsOwnGlyphs) {
  const wchar_t text[] = L"\x65E5\x672C\x8A9E\x306E\x30C6\x30AD\x30B9\x30C8";  // 日本語のテキスト
  HWND pane = PaneOn(CF_UNICODETEXT, text, sizeof(text), "CF_UNICODETEXT (13)");
  ASSERT_NE(pane, nullptr);
  const std::wstring shown = PaneWideText(pane);
  const std::size_t at = shown.find(text);
  ASSERT_NE(at, std::wstring::npos) << Utf8(shown);
  ::SendMessageW(pane, EM_SETSEL, at, at);
  ::SendMessageW(pane, EM_SCROLLCARET, 0, 0);
  testsupport::PumpMessages(30);
  const std::vector<InkRow> first = InkOf(pane, static_cast<int>(at));
  EXPECT_FALSE(first.empty());
  for (int i = 1; i < 4; ++i) EXPECT_NE(InkOf(pane, static_cast<int>(at) + i), first) << i;
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
}
