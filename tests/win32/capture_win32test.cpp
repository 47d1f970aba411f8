// Clipboard files through the real windows and the real program: the
// dialog's system-menu items and their shortcuts, Capture the Clipboard's
// save dialog, progress window (Esc, Cancel) and final message, round trips
// of capture, restore and capture again, Open a Capture's open dialog, its warning for
// each kind of damaged file with the clipboard left as it was, the
// confirmation and its No, Yes putting back every GDI format, a registered
// format, an empty and a large block (read back by Whole Data and compared
// with the file's blocks), and kelvane.exe /list and /restore as processes
// with redirected output, the data staying after the program has ended.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/privateformats.h"
#include "browser_harness.h"
#include "capture/clpfile.h"
#include "capture/commandline.h"
#include "capture/restore_win32.h"
#include "clipboard_fault_owner.h"
#include "clp_harness.h"
#include "testsupport.h"

namespace {

using clptest::Block;
using clptest::Bytes;

constexpr UINT kCaptureClipboard = 0x0130;
constexpr UINT kOpenCapture = 0x0140;
constexpr int kFileNameBox = 0x47C;
constexpr int kMessageBoxText = 0xFFFF;

UINT Registered(const char* name) { return ::RegisterClipboardFormatA(name); }

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end() + 1); }

// A dialog of the process with that owner, shown, whose title is title (any
// title when none).
HWND ShownDialogOwnedBy(DWORD process, HWND owner, const char* title) {
  struct Search {
    DWORD process;
    HWND owner;
    const char* title;
    HWND found;
  } search = {process, owner, title, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lParam);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        char name[64] = {};
        ::GetClassNameA(window, name, sizeof(name));
        if (pid != s->process || std::strcmp(name, "#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
        if (::GetWindow(window, GW_OWNER) != s->owner) return TRUE;
        if (s->title != nullptr && testsupport::WindowText(window) != s->title) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct SeenBox {
  std::string caption;
  std::string text;
  bool asked;  // it had Yes and No
};

// What one Open a Capture brought up.
struct OpenRun {
  bool openDialogSeen = false;
  std::vector<SeenBox> boxes;
};

// Posts the command to the dialog (of this process or another), chooses the
// file in the open dialog and answers the boxes that follow: the question
// with answer, a warning with OK; waits until no box comes for a while.
// Waits for the common file dialog titled title, types path into it and
// presses OK, answering Yes to a question about replacing a file; false when
// the file dialog never came.
bool ChooseFile(DWORD process, HWND dialog, const char* title, const std::string& path) {
  HWND chooser = nullptr;
  testsupport::WaitUntil(
      [&] {
        return (chooser = ShownDialogOwnedBy(process, dialog, title)) != nullptr &&
               ::GetDlgItem(chooser, kFileNameBox) != nullptr;
      },
      15000);
  if (chooser == nullptr) return false;
  ::SendMessageA(::GetDlgItem(chooser, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  ::PostMessageA(chooser, WM_COMMAND, IDOK, 0);
  testsupport::WaitUntil(
      [&] {
        if (HWND replace = ShownDialogOwnedBy(process, chooser, nullptr)) {
          ::PostMessageA(replace, WM_COMMAND, IDYES, 0);
        }
        return !::IsWindow(chooser) || !::IsWindowVisible(chooser);
      },
      10000);
  return true;
}

OpenRun DriveOpenCapture(HWND dialog, const std::string& path, int answer) {
  OpenRun run;
  DWORD process = 0;
  ::GetWindowThreadProcessId(dialog, &process);
  ::PostMessageA(dialog, WM_SYSCOMMAND, kOpenCapture, 0);
  run.openDialogSeen = ChooseFile(process, dialog, "Open a Capture", path);
  if (!run.openDialogSeen) return run;
  for (;;) {
    HWND box = nullptr;
    if (!testsupport::WaitUntil(
            [&] { return (box = ShownDialogOwnedBy(process, dialog, nullptr)) != nullptr; },
            run.boxes.empty() ? 5000 : 1500)) {
      return run;
    }
    char text[4096] = {};
    ::SendMessageA(::GetDlgItem(box, kMessageBoxText), WM_GETTEXT, sizeof(text),
                   reinterpret_cast<LPARAM>(text));
    const bool asked = ::GetDlgItem(box, IDYES) != nullptr;
    run.boxes.push_back({testsupport::WindowText(box), text, asked});
    ::PostMessageA(box, WM_COMMAND, asked ? answer : IDOK, 0);
    testsupport::WaitUntil([&] { return !::IsWindow(box); }, 5000);
  }
}

// Every block of the file is what the clipboard now holds under its format,
// read by Whole Data and put in the file's form.
void ExpectClipboardHolds(const std::vector<Block>& blocks) {
  for (const Block& b : blocks) {
    const UINT format = IsRegisteredFormat(b.format) ? Registered(b.name.c_str()) : b.format;
    std::string problem;
    const Bytes held = clptest::ClipboardAsFileBlock(format, &problem);
    EXPECT_EQ(problem, "") << b.name;
    EXPECT_EQ(held.size(), b.bytes.size()) << b.name;
    EXPECT_TRUE(held == b.bytes) << b.name;
  }
}

// The formats of the blocks in the file's order, as the clipboard numbers them.
std::vector<UINT> FormatsOf(const std::vector<Block>& blocks) {
  std::vector<UINT> formats;
  for (const Block& b : blocks)
    formats.push_back(IsRegisteredFormat(b.format) ? Registered(b.name.c_str()) : b.format);
  return formats;
}

// Whether wanted appear in formats in that order, others (what the platform
// makes of them) between them.
bool InOrderWithin(const std::vector<UINT>& wanted, const std::vector<UINT>& formats) {
  std::size_t next = 0;
  for (UINT f : formats) {
    if (next < wanted.size() && f == wanted[next]) ++next;
  }
  return next == wanted.size();
}

// Every GDI format, a registered one, an empty block and a large one.
std::vector<Block> EveryKindOfBlock(std::uint32_t largeBytes) {
  Bytes large(largeBytes);
  testsupport::Random random(7);
  for (std::size_t i = 0; i < large.size(); i += 8) {
    const std::uint64_t v = random.Next();
    std::memcpy(large.data() + i, &v, std::min<std::size_t>(8, large.size() - i));
  }
  return {
      {13, "", {'K', 0, 'e', 0, 'l', 0, 0, 0}},
      {2, "", clptest::BitmapBlock(37, 11, 24, 1)},
      {0x82, "", clptest::BitmapBlock(9, 5, 1, 2)},
      {3, "", clptest::MetafilePictureBlock(8, 2540, 1270)},
      {0x83, "", clptest::MetafilePictureBlock(1, 200, 100)},
      {9, "", clptest::PaletteBlock(16)},
      {14, "", clptest::EnhMetafileBlock()},
      {0x8E, "", clptest::EnhMetafileBlock()},
      {0xC000, "Kelvane Capture Test", Text("registered")},
      {0xC001, "Kelvane Empty Block", {}},
      {0xC002, "Kelvane Large Block", large},
  };
}

class OpenACapture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dialog_.dialog(), nullptr);
    ASSERT_TRUE(
        testsupport::PutClipboardItems({{CF_TEXT, Text("before")}, {Registered("Kelvane Before"), {1, 2}}}));
    testsupport::PumpMessages(50);
    before_ = clptest::CurrentClipboard();
  }
  void TearDown() override {
    for (const std::string& path : paths_) ::DeleteFileA(path.c_str());
    testsupport::ClearClipboard();
  }
  std::string Path(const char* stem) {
    paths_.push_back(testsupport::TempPath(stem));
    return paths_.back();
  }

  browsertest::BrowserDialog dialog_;
  clptest::ClipboardState before_{};
  std::vector<std::string> paths_;
};

}  // namespace

TEST_F(OpenACapture, TheSystemMenuEndsInOneSeparatorAndBothItems) {
  HMENU menu = ::GetSystemMenu(dialog_.dialog(), FALSE);
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 5);
  // One separator before all of Kelvane's items: the watch's two, then these.
  MENUITEMINFOA separator = {sizeof(separator), MIIM_FTYPE};
  ::GetMenuItemInfoA(menu, static_cast<UINT>(count - 5), TRUE, &separator);
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
  EXPECT_EQ(::GetMenuItemID(menu, count - 4), 0x0110u);
  EXPECT_EQ(::GetMenuItemID(menu, count - 3), 0x0120u);
  struct {
    UINT command;
    const char* text;
    bool greyed;
  } const items[] = {{0x0130, "Capture the Clipboard...", false}, {0x0140, "Open a Capture...", false}};
  for (int i = 0; i < 2; ++i) {
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(count - 2 + i), text, sizeof(text), MF_BYPOSITION);
    EXPECT_EQ(::GetMenuItemID(menu, count - 2 + i), items[i].command);
    EXPECT_STREQ(text, items[i].text);
    const UINT state = ::GetMenuState(menu, items[i].command, MF_BYCOMMAND);
    EXPECT_EQ((state & MF_GRAYED) != 0, items[i].greyed) << items[i].text;
  }
  // Ctrl+S and Ctrl+O, pressed in the dialog, open the two file dialogs.
  ::AttachThreadInput(::GetCurrentThreadId(), dialog_.threadId(), TRUE);
  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  for (const auto& [key, title] :
       {std::pair<WPARAM, const char*>{'S', "Capture the Clipboard"}, {'O', "Open a Capture"}}) {
    ::PostMessageA(dialog_.availableList(), WM_KEYDOWN, key, 1);
    HWND chooser = nullptr;
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] { return (chooser = ShownDialogOwnedBy(::GetCurrentProcessId(), dialog_.dialog(), title)); },
        15000))
        << title;
    ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    testsupport::WaitUntil([&] { return !::IsWindow(chooser); }, 5000);
  }
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  ::AttachThreadInput(::GetCurrentThreadId(), dialog_.threadId(), FALSE);
}

namespace {

std::string LineText(HWND window, int id) { return testsupport::WindowText(::GetDlgItem(window, id)); }

}  // namespace

// A hung owner's format waits with its owner named, Esc skips it and the
// final message says so; Cancel on another capture leaves an existing file
// as it was and no temporary file beside it.
TEST_F(OpenACapture, TheMenuCaptureShowsTheWaitSkipsOnEscAndCancelLeavesNothing) {
  const std::string path = Path("menu");
  DWORD process = ::GetCurrentProcessId();
  const UINT slow = Registered("Kelvane Slow");
  faulttest::ForeignOwner hung;
  ASSERT_TRUE(hung.PromiseLate(600000, {"Kelvane Slow=seeded:64:1", "Kelvane After=seeded:32:2"}));
  ::PostMessageA(dialog_.dialog(), WM_SYSCOMMAND, kCaptureClipboard, 0);
  ASSERT_TRUE(ChooseFile(process, dialog_.dialog(), "Capture the Clipboard", path));
  HWND progress = nullptr;
  const auto waitShown = [&] {
    progress = testsupport::FindOwnWindow("Kelvane Capture Progress", "Capture the Clipboard");
    return progress != nullptr && ::IsWindowVisible(progress) &&
           LineText(progress, 102).find("Esc") != std::string::npos;
  };
  ASSERT_TRUE(testsupport::WaitUntil(waitShown, 10000));
  const std::string slowText = "Kelvane Slow(" + browsertest::Hex(slow) + ")";
  EXPECT_EQ(LineText(progress, 101), "Reading 1 of 2: " + slowText);
  EXPECT_EQ(LineText(progress, 102), "Waiting for clipboard_owner.exe (process " +
                                         std::to_string(hung.ProcessId()) + ") to render " + slowText +
                                         ". Esc cancels.");
  EXPECT_EQ(LineText(progress, 103), "348 bytes written so far");
  ::SendMessageA(progress, WM_KEYDOWN, VK_ESCAPE, 1);  // handled before the owner is let go
  hung.Release();                                      // the skipped read ends, and the next one can be made
  std::vector<HWND> boxes;
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !(boxes = faulttest::OwnMessageBoxes()).empty(); }, 15000));
  EXPECT_FALSE(::IsWindow(progress));
  EXPECT_EQ(testsupport::WindowText(boxes[0]), "Capture the Clipboard");
  EXPECT_EQ(testsupport::WindowText(::GetDlgItem(boxes[0], kMessageBoxText)),
            "Captured 1 of 2 formats (380 bytes) to " + path + ". Not captured:\n" + slowText +
                ": it was skipped while its owner had not rendered it");
  ::PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);
  const OpenedCapture opened = ReadCaptureFile(path);
  ASSERT_EQ(opened.problem, "");
  EXPECT_EQ(opened.directory.slots, 2u);  // the skipped format's slot is empty, at the end
  ASSERT_EQ(opened.directory.entries.size(), 1u);
  EXPECT_EQ(opened.directory.entries[0].name, "Kelvane After");
  const Bytes file = testsupport::ReadFileBytes(path);
  ASSERT_TRUE(hung.Leave());

  faulttest::ForeignOwner again;
  ASSERT_TRUE(again.PromiseLate(600000, {"Kelvane Slow=seeded:64:1"}));
  ::PostMessageA(dialog_.dialog(), WM_SYSCOMMAND, kCaptureClipboard, 0);
  ASSERT_TRUE(ChooseFile(process, dialog_.dialog(), "Capture the Clipboard", path));
  ASSERT_TRUE(testsupport::WaitUntil(waitShown, 10000));
  ::SendMessageA(::GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(progress); }, 10000));
  testsupport::PumpMessages(300);
  EXPECT_TRUE(faulttest::OwnMessageBoxes().empty());
  EXPECT_TRUE(testsupport::ReadFileBytes(path) == file);
  WIN32_FIND_DATAA found;
  const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
  HANDLE search = ::FindFirstFileA((folder + "kcl*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
  again.Release();
}

TEST_F(OpenACapture, EachDamagedFileIsToldInOneWarningAndTheClipboardStaysAsItWas) {
  const std::vector<Block> good = {
      {1, "", Text("one")}, {0xC000, "HTML Format", Text("<b>two</b>")}, {13, "", {'3', 0, 0, 0}}};
  const std::string goodPath = Path("good");
  const Bytes file = clptest::WriteClpFile(goodPath, good);
  struct Damage {
    std::string what;
    Bytes bytes;
    std::string message;
  };
  std::vector<Damage> damages;
  const std::string shortTable = "The file says it holds 3 formats, but it is too short for their table.";
  for (std::uint32_t slot = 0; slot <= 3; ++slot) {
    damages.push_back(
        {"cut after " + std::to_string(slot) + " entries", Bytes(file.begin(), file.begin() + 4 + slot * 172),
         slot < 3 ? shortTable : "Entry 1 of 3 (CF_TEXT): its data lies past the end of the file."});
  }
  damages.push_back({"cut inside the last block", Bytes(file.begin(), file.end() - 1),
                     "Entry 3 of 3 (CF_UNICODETEXT): its data lies past the end of the file."});
  Bytes pastEnd = file;
  pastEnd[4 + 172 + 8] = 0xF0;  // entry 2's offset
  damages.push_back({"an offset past the end", pastEnd,
                     "Entry 2 of 3 (HTML Format): its data lies past the end of the file."});
  Bytes counted = file;
  counted[2] = 200;
  damages.push_back({"a count larger than the file", counted,
                     "The file says it holds 200 formats, but it is too short for their table."});
  Bytes unterminated = file;
  for (int unit = 0; unit < 79; ++unit) unterminated[4 + 172 + 12 + 2 * unit] = 'x';
  damages.push_back(
      {"an unterminated name", unterminated, "Entry 2 of 3: its name does not end inside its field."});
  Bytes twice = file;
  twice[4 + 2 * 172] = 1;  // entry 3 becomes a second CF_TEXT
  damages.push_back(
      {"two entries of one format", twice, "Entry 3 of 3 (CF_TEXT): entry 1 holds the same format."});
  Bytes shortBitmap = clptest::BitmapBlock(8, 8, 8, 3);
  shortBitmap.resize(shortBitmap.size() - 8);
  damages.push_back({"a bitmap block too short for its rows",
                     clptest::WriteClpFile(Path("bitmap"), {{2, "", shortBitmap}}),
                     "Entry 1 of 1 (CF_BITMAP): its bitmap needs 78 bytes, the block has 70."});
  damages.push_back({"not a clipboard file", Text("MZ...."), "The file is not a clipboard file."});

  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    const std::string path = Path("damaged");
    clptest::WriteRawFile(path, d.bytes);
    const OpenRun run = DriveOpenCapture(dialog_.dialog(), path, IDYES);
    EXPECT_TRUE(run.openDialogSeen);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_FALSE(run.boxes[0].asked);
    EXPECT_EQ(run.boxes[0].text, d.message);
    EXPECT_TRUE(clptest::CurrentClipboard() == before_);
  }
}

TEST_F(OpenACapture, TheConfirmationListsTheFormatsAndNoChangesNothing) {
  const std::string path = Path("three");
  clptest::WriteClpFile(
      path, {{1, "", Text("one")}, {0xC000, "HTML Format", Bytes(1234, 'h')}, {0xC001, "Empty", {}}});
  const OpenRun run = DriveOpenCapture(dialog_.dialog(), path, IDNO);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_TRUE(run.boxes[0].asked);
  EXPECT_EQ(run.boxes[0].caption, "Open a Capture");
  EXPECT_EQ(run.boxes[0].text,
            "CF_TEXT, 4 bytes\nHTML Format, 1234 bytes\nEmpty, 0 bytes\n\n"
            "Put these 3 formats on the clipboard? It replaces what the clipboard holds now.");
  testsupport::PumpMessages(200);
  EXPECT_TRUE(clptest::CurrentClipboard() == before_);
}

TEST_F(OpenACapture, YesPutsBackEveryKindOfBlockWithTheDialogAsOwnerThenAnalyzes) {
  const std::vector<Block> blocks = EveryKindOfBlock(64u << 20);
  const std::string path = Path("every");
  clptest::WriteClpFile(path, blocks);
  const OpenRun run = DriveOpenCapture(dialog_.dialog(), path, IDYES);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_TRUE(run.boxes[0].asked);
  EXPECT_NE(run.boxes[0].text.find("Put these 11 formats"), std::string::npos);
  // Analyze lists what the clipboard holds: the file's formats, in its order.
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return browsertest::ItemCount(dialog_.availableList()) >= static_cast<int>(blocks.size()); },
      20000));
  std::vector<UINT> listed;
  for (int i = 0; i < browsertest::ItemCount(dialog_.availableList()); ++i) {
    listed.push_back(static_cast<UINT>(browsertest::ItemData(dialog_.availableList(), i)));
  }
  EXPECT_TRUE(InOrderWithin(FormatsOf(blocks), listed));
  EXPECT_TRUE(InOrderWithin(FormatsOf(blocks), testsupport::ClipboardFormats()));
  ASSERT_TRUE(testsupport::OpenClipboardRetry());
  const HWND owner = ::GetClipboardOwner();
  ::CloseClipboard();
  EXPECT_EQ(owner, dialog_.dialog());
  // An empty block comes back as one byte: Wine answers GlobalSize 1 for it.
  std::vector<Block> compared(blocks);
  compared[9].bytes = testsupport::ClipboardBytes(Registered("Kelvane Empty Block"));
  EXPECT_LE(compared[9].bytes.size(), 1u);
  ExpectClipboardHolds(compared);
}

// Each depth a bitmap can have comes back as it went, with its palette.
TEST(PutCaptureOnClipboard, BitmapsOfEveryDepthComeBackByteForByte) {
  HWND owner =
      ::CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  for (std::uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
    SCOPED_TRACE(bits);
    std::vector<Block> blocks = {{2, "", clptest::BitmapBlock(13, 7, bits, bits)}};
    if (bits <= 8) blocks.push_back({9, "", clptest::PaletteBlock(1u << bits)});
    const std::string path = testsupport::TempPath("depth");
    clptest::WriteClpFile(path, blocks);
    const OpenedCapture opened = ReadCaptureFile(path);
    ASSERT_EQ(opened.problem, "");
    ASSERT_EQ(PutCaptureOnClipboard(owner, path, opened.directory), "");
    ExpectClipboardHolds(blocks);
    ::DeleteFileA(path.c_str());
  }
  ::DestroyWindow(owner);
  testsupport::ClearClipboard();
}

// ------------------------------------------------------------ command line

namespace {

// /list's lines for what the clipboard holds, the names as Copy gives them.
std::string ExpectedList() {
  std::string lines;
  for (UINT format : testsupport::ClipboardFormats()) {
    char name[256] = {};
    ::GetClipboardFormatNameA(format, name, sizeof(name));
    const LeadByteTest noLeadBytes = [](unsigned char) { return false; };
    lines += ListLine(
        format, ListedFormatName(format, name[0] != 0 ? std::optional<std::string_view>(name) : std::nullopt,
                                 noLeadBytes));
  }
  return lines;
}

std::atomic<int> g_renders{0};

LRESULT CALLBACK CountingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RENDERFORMAT) ++g_renders;
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(CommandLine, ListWritesOneCrlfLinePerFormatAndAsksNoOwnerToRender) {
  // A format promised by this thread's window, rendered on request only.
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = CountingOwnerProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KelvaneCountingOwner";
  ::RegisterClassA(&windowClass);
  HWND owner = ::CreateWindowExA(0, "KelvaneCountingOwner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
  ASSERT_TRUE(testsupport::OpenClipboardRetry(owner));
  ::EmptyClipboard();
  ::SetClipboardData(CF_UNICODETEXT, nullptr);
  ::SetClipboardData(Registered("Kelvane Promised"), nullptr);
  ::CloseClipboard();

  for (bool throughPipe : {false, true}) {
    SCOPED_TRACE(throughPipe ? "a pipe" : "a file");
    clptest::ProgramRun run;
    std::atomic<bool> finished{false};
    std::thread program([&] {
      run = clptest::RunProgram("/list", 60000, throughPipe);
      finished = true;
    });
    // The owner's thread stays free to render, should anyone ask.
    testsupport::WaitUntil([&finished] { return finished.load(); }, 70000);
    program.join();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.output, ExpectedList());
    EXPECT_NE(run.output.find("13\tCF_UNICODETEXT\r\n"), std::string::npos);
    EXPECT_NE(run.output.find("\tKelvane Promised\r\n"), std::string::npos);
  }
  EXPECT_EQ(g_renders.load(), 0);
  testsupport::ClearClipboard();
  ::DestroyWindow(owner);
}

TEST(CommandLine, RestorePutsARealProducersFileBackAndItStaysAfterTheProgramEnds) {
  for (const char* sample : {"wordpad.clp", "xclip_html.clp"}) {
    SCOPED_TRACE(sample);
    testsupport::ClearClipboard();
    const std::string path = std::string(KELVANE_WIN32_SAMPLES_DIR) + "/" + sample;
    const OpenedCapture opened = ReadCaptureFile(path);
    ASSERT_EQ(opened.problem, "");
    const clptest::ProgramRun run = clptest::RunProgram("/restore \"" + path + "\"");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "");
    const Bytes file = testsupport::ReadFileBytes(path);
    std::vector<Block> blocks;
    for (const ClpEntry& e : opened.directory.entries) {
      blocks.push_back(
          {e.format, e.name, Bytes(file.begin() + e.offset, file.begin() + e.offset + e.length)});
    }
    EXPECT_EQ(testsupport::ClipboardFormats(), FormatsOf(blocks));
    ExpectClipboardHolds(blocks);
  }
  testsupport::ClearClipboard();
}

namespace {

// How the second of two clipboard files differs from the first, entry by
// entry, matched by label: "X: 0 -> 1 bytes", "X: not there", "X: added".
std::vector<std::string> DifferingEntries(const std::string& before, const std::string& after) {
  const auto blocks = [](const std::string& path) {
    const Bytes file = testsupport::ReadFileBytes(path);
    std::vector<std::pair<std::string, Bytes>> labelled;
    for (const ClpEntry& e : ReadCaptureFile(path).directory.entries)
      labelled.push_back({ClpEntryLabel(e.format, e.name),
                          Bytes(file.begin() + e.offset, file.begin() + e.offset + e.length)});
    return labelled;
  };
  const auto a = blocks(before), b = blocks(after);
  const auto find = [](const auto& in, const std::string& label) {
    return std::find_if(in.begin(), in.end(), [&](const auto& x) { return x.first == label; });
  };
  std::vector<std::string> differing;
  for (const auto& [label, bytes] : a) {
    const auto other = find(b, label);
    if (other == b.end())
      differing.push_back(label + ": not there");
    else if (other->second != bytes)
      differing.push_back(label + ": " + std::to_string(bytes.size()) + " -> " +
                          std::to_string(other->second.size()) + " bytes");
  }
  for (const auto& [label, bytes] : b)
    if (find(a, label) == a.end()) differing.push_back(label + ": added");
  return differing;
}

long RunOn(const std::string& command, const std::string& path, const std::string& errors = "") {
  const clptest::ProgramRun run = clptest::RunProgram(command + " \"" + path + "\"");
  EXPECT_EQ(run.errors, errors) << command << " " << path;
  return run.exitCode;
}

}  // namespace

// Capture, restore, capture again: the two captures are equal byte for byte,
// and the first holds what was put, but for what the platform changes.
TEST(CommandLine, CaptureRestoreCaptureGivesTheSameFileTwice) {
  const std::string every = testsupport::TempPath("every");
  clptest::WriteClpFile(every, EveryKindOfBlock(64u << 20));
  const std::string samples = std::string(KELVANE_WIN32_SAMPLES_DIR) + "/";
  const struct {
    std::string file;
    std::string notCaptured;           // the first capture's error output
    std::vector<std::string> changed;  // by the platform, from what was put to the first capture
  } sources[] = {
      {samples + "wordpad.clp", "", {}},
      {samples + "xclip_html.clp", "", {}},
      {samples + "xclip_png.clp", "", {}},
      {samples + "xclip_urilist.clp", "", {}},
      // Wine hands another process a CF_DSPBITMAP as a global block, not a
      // bitmap, so the first capture leaves its slot empty; it keeps an
      // empty block as one byte, and adds the texts it makes of
      // CF_UNICODETEXT and the DIBs it makes of CF_BITMAP.
      {every,
       "CF_DSPBITMAP (0x0082): its data could not be read\r\n",
       {"CF_DSPBITMAP: not there", "Kelvane Empty Block: 0 -> 1 bytes", "CF_LOCALE: added", "CF_TEXT: added",
        "CF_OEMTEXT: added", "CF_DIB: added", "CF_DIBV5: added"}},
  };
  const std::string first = testsupport::TempPath("first");
  const std::string second = testsupport::TempPath("second");
  for (const auto& source : sources) {
    SCOPED_TRACE(source.file);
    ASSERT_EQ(RunOn("/restore", source.file), 0);
    ASSERT_EQ(RunOn("/capture", first, source.notCaptured), 0);
    ASSERT_EQ(RunOn("/restore", first), 0);
    ASSERT_EQ(RunOn("/capture", second), 0);
    EXPECT_EQ(DifferingEntries(first, second), std::vector<std::string>{});
    // Equal byte for byte, but for the first capture's empty slot: the
    // second has nothing left out, so the same blocks follow a shorter table.
    const Bytes one = testsupport::ReadFileBytes(first), two = testsupport::ReadFileBytes(second);
    EXPECT_TRUE(source.notCaptured.empty() ? one == two : one.size() == two.size() + 172);
    EXPECT_EQ(DifferingEntries(source.file, first), source.changed);
  }
  for (const std::string& path : {every, first, second}) ::DeleteFileA(path.c_str());
  testsupport::ClearClipboard();
}

TEST(CommandLine, FailuresAndMisuseSayWhyOnTheErrorOutput) {
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, Text("kept")}, {0x0201, Text("private")}}));
  testsupport::PumpMessages(50);
  const clptest::ClipboardState before = clptest::CurrentClipboard();
  const std::string damaged = testsupport::TempPath("damaged");
  Bytes file = clptest::WriteClpFile(damaged, {{1, "", Text("x")}});
  file[2] = 9;
  clptest::WriteRawFile(damaged, file);
  struct {
    std::string arguments;
    long exitCode;
    std::string errorsStartWith;
  } const cases[] = {
      {"/restore \"" + damaged + "\"", 1,
       "The file says it holds 9 formats, but it is too short for their table.\r\n"},
      {"/restore C:\\no\\such.clp", 1, "The file could not be opened.\r\n"},
      {"/capture C:\\no\\such\\x.clp", 1, "No file could be made in its folder: "},
      // A format left out is a line on the error output; the capture is done.
      {"/capture \"" + damaged + ".clp\"", 0,
       "CF_PRIVATE (0x0201): a private format means something only to the program that put it\r\n"},
      {"/capture", 2, "/capture needs the name of a file.\r\nUsage:\r\n"},
      {"/restore", 2, "/restore needs the name of a file.\r\nUsage:\r\n"},
      {"/?", 0, "Usage:\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const clptest::ProgramRun run = clptest::RunProgram(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors.substr(0, c.errorsStartWith.size()), c.errorsStartWith);
    if (c.exitCode == 1) EXPECT_EQ(run.errors.find("\r\n"), run.errors.size() - 2) << "one line";
    EXPECT_EQ(testsupport::FindOwnWindow("#32770", "Kelvane"), nullptr);
  }
  EXPECT_TRUE(clptest::CurrentClipboard() == before);
  EXPECT_EQ(ReadCaptureFile(damaged + ".clp").problem, "");
  ::DeleteFileA(damaged.c_str());
  ::DeleteFileA((damaged + ".clp").c_str());
  testsupport::ClearClipboard();
}
