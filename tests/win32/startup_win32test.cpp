// Start-up of the real program: kelvane.exe launched as a process, its
// dialog's controls, its resources, and RunKelvane's start-up order and
// failure path in this process.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/kelvane.h"
#include "app/privateformats.h"
#include "app/resource.h"
#include "dumpview/dumpview.h"
#include "testsupport.h"

namespace {

using testsupport::Program;

std::string ProgramPath() { return testsupport::ProgramBesideTests(KELVANE_EXE_NAME); }

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  return name;
}

TEST(StartUp, TheProgramShowsItsDialogAndQuitsWithExitCodeZero) {
  // Without a command on its command line (the commands run windowless).
  Program program;
  ASSERT_TRUE(program.started()) << ProgramPath();
  const HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);

  const DWORD dialogStyle = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE));
  const DWORD expectedDialogStyle =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN | WS_VISIBLE;
  EXPECT_EQ(dialogStyle & expectedDialogStyle, expectedDialogStyle);
  EXPECT_EQ(::GetParent(dialog), nullptr);

  // The controls in template order, which is also their z-order and tab order.
  struct Expected {
    int id;
    const char* className;
    const char* text;
    DWORD style;
  } expected[] = {
      {IDCANCEL, "Button", "Quit (&Q)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
      {IDC_ANALYZE, "Button", "Analyze (&A)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
      {IDC_REGISTERED_LIST, "SysListView32", "List1",
       WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL},
      {IDC_AVAILABLE_LIST, "SysListView32", "List2",
       WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
      {0xFFFF, "Static", "Available Format List",
       WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE},
      {0xFFFF, "Static", "Registered Clipboard Formats",
       WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE},
      {IDC_DUMP_TOGGLE, "Button", "B",
       WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE},
  };
  HWND child = ::GetWindow(dialog, GW_CHILD);
  for (const Expected& e : expected) {
    ASSERT_NE(child, nullptr) << e.text;
    EXPECT_EQ(::GetDlgCtrlID(child) & 0xFFFF, e.id) << e.text;
    EXPECT_EQ(ClassOf(child), e.className) << e.text;
    EXPECT_EQ(testsupport::WindowText(child), e.text);
    DWORD style = static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE));
    // The dialog manager may draw a control's border as a client edge.
    if (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) style |= WS_BORDER;
    EXPECT_EQ(style & e.style, e.style) << e.text;
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
  const HWND toggle = ::GetDlgItem(dialog, IDC_DUMP_TOGGLE);
  EXPECT_FALSE(::IsWindowEnabled(toggle));
  EXPECT_EQ(::SendMessageA(toggle, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // Quit, as the Quit button sends it.
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(StartUp, TwoCopiesRunSideBySide) {
  Program first;
  Program second;
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(second.started());
  const HWND firstDialog = first.WaitForDialog();
  const HWND secondDialog = second.WaitForDialog();
  ASSERT_NE(firstDialog, nullptr);
  ASSERT_NE(secondDialog, nullptr);
  EXPECT_NE(firstDialog, secondDialog);

  ::PostMessageA(secondDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(second.WaitForExit(), 0);
  EXPECT_TRUE(::IsWindow(firstDialog));
  ::PostMessageA(firstDialog, WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(first.WaitForExit(), 0);
}

TEST(StartUp, PrivateFormatsAreRegisteredBeforeTheEntry) {
  const struct {
    std::uint32_t number;
    const char* name;
  } formats[] = {
      {g_binaryDataFormat, "BinaryData"}, {g_fileNameFormat, "FileName"}, {g_fileNameWFormat, "FileNameW"}};
  for (const auto& f : formats) {
    EXPECT_GE(f.number, 0xC000u) << f.name;
    EXPECT_LE(f.number, 0xFFFFu) << f.name;
    // The same number for the same name, as any other program would get.
    EXPECT_EQ(::RegisterClipboardFormatA(f.name), f.number) << f.name;
    char name[256] = {};
    ::GetClipboardFormatNameA(f.number, name, sizeof(name));
    EXPECT_STREQ(name, f.name);
  }
}

// RunKelvane on a thread of its own, so that a dialog it shows can't block
// the test.
struct RunOnThread {
  HANDLE thread = nullptr;
  int result = -1;

  RunOnThread() { thread = ::CreateThread(nullptr, 0, Main, this, 0, nullptr); }
  static DWORD WINAPI Main(void* self) {
    static_cast<RunOnThread*>(self)->result = RunKelvane(::GetModuleHandleA(nullptr), nullptr);
    return 0;
  }
  bool Finished(DWORD timeoutMs) const { return ::WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0; }
  ~RunOnThread() {
    if (thread) ::CloseHandle(thread);
  }
};

bool ClassRegistered(const char* name) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  return ::GetClassInfoExA(::GetModuleHandleA(nullptr), name, &wc) != FALSE;
}

TEST(StartUp, WithoutTheDumpFrameClassNothingElseHappens) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  // The test program registered both classes; "Kelvane" can't be registered
  // a second time, which stands in for a failed registration.
  ASSERT_TRUE(ClassRegistered(DUMPFRAME_CLASS_NAME));
  ASSERT_TRUE(::UnregisterClassA(DUMPVIEW_CLASS_NAME, instance));

  RunOnThread run;
  const bool returned = run.Finished(5000);
  if (!returned) {
    // It showed the dialog: end it so that the suite goes on.
    HWND dialog = testsupport::FindOwnWindow("#32770", "Kelvane");
    if (dialog) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    run.Finished(5000);
  }
  const bool dumpViewRegistered = ClassRegistered(DUMPVIEW_CLASS_NAME);
  if (!dumpViewRegistered) RegisterDumpViewClass(instance);

  EXPECT_TRUE(returned);
  EXPECT_EQ(run.result, 0);
  EXPECT_FALSE(dumpViewRegistered);
  EXPECT_EQ(testsupport::FindOwnWindow("#32770"), nullptr);
  EXPECT_TRUE(ClassRegistered(DUMPVIEW_CLASS_NAME));
}

TEST(StartUp, RunKelvaneRegistersBothClassesAndRunsTheDialog) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  ASSERT_TRUE(::UnregisterClassA(DUMPFRAME_CLASS_NAME, instance));
  ASSERT_TRUE(::UnregisterClassA(DUMPVIEW_CLASS_NAME, instance));

  RunOnThread run;
  HWND dialog = nullptr;
  testsupport::WaitUntil([&] {
    dialog = testsupport::FindOwnWindow("#32770", "Kelvane");
    return dialog != nullptr && ::IsWindowVisible(dialog);
  });
  const bool frameClass = ClassRegistered(DUMPFRAME_CLASS_NAME);
  const bool viewClass = ClassRegistered(DUMPVIEW_CLASS_NAME);
  WNDCLASSEXA frame = {};
  frame.cbSize = sizeof(frame);
  ::GetClassInfoExA(instance, DUMPFRAME_CLASS_NAME, &frame);
  WNDCLASSEXA view = {};
  view.cbSize = sizeof(view);
  ::GetClassInfoExA(instance, DUMPVIEW_CLASS_NAME, &view);
  if (dialog) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  const bool returned = run.Finished(5000);
  // Left registered for the tests that follow, as the program leaves them.
  if (!frameClass) RegisterDumpFrameClass(instance);
  if (!viewClass) RegisterDumpViewClass(instance);

  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(returned);
  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(frameClass);
  EXPECT_TRUE(viewClass);
  EXPECT_EQ(frame.style, 0u);
  EXPECT_EQ(frame.cbWndExtra, 0);
  EXPECT_NE(frame.hIcon, nullptr);
  EXPECT_NE(frame.hIconSm, nullptr);
  EXPECT_EQ(frame.lpszMenuName, MAKEINTRESOURCEA(IDR_DUMP_MENU));
  EXPECT_EQ(frame.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
  EXPECT_EQ(view.style, 0u);
  EXPECT_EQ(view.cbWndExtra, static_cast<int>(sizeof(void*)));
  EXPECT_EQ(view.hIcon, nullptr);
  EXPECT_EQ(view.lpszMenuName, nullptr);
}

// ---------------------------------------------------------------- resources

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) ::FreeLibrary(module_);
  }

  // The bytes of one resource in one language; empty when it isn't there.
  std::vector<std::uint8_t> Resource(const char* type, int id, WORD language) const {
    HRSRC info = ::FindResourceExA(module_, type, MAKEINTRESOURCEA(id), language);
    if (info == nullptr) return {};
    HGLOBAL loaded = ::LoadResource(module_, info);
    const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(loaded));
    return std::vector<std::uint8_t>(bytes, bytes + ::SizeofResource(module_, info));
  }

  HMODULE module_ = nullptr;
};

const WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

TEST_F(ProgramResources, DialogTemplateMatchesTheLayout) {
  const std::vector<std::uint8_t> bytes =
      Resource(MAKEINTRESOURCEA(5) /* RT_DIALOG */, IDD_FORMAT_BROWSER, kEnglishUS);
  ASSERT_GE(bytes.size(), sizeof(DLGTEMPLATE));
  DLGTEMPLATE header;
  std::memcpy(&header, bytes.data(), sizeof(header));
  EXPECT_EQ(header.style,
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(header.dwExtendedStyle, 0u);
  EXPECT_EQ(header.cdit, 7);
  EXPECT_EQ(header.x, 0);
  EXPECT_EQ(header.y, 0);
  EXPECT_EQ(header.cx, 283);
  EXPECT_EQ(header.cy, 165);

  // Then menu, class, caption, point size and face, as 16-bit words.
  std::size_t at = 18;
  auto word = [&] {
    WORD w;
    std::memcpy(&w, bytes.data() + at, 2);
    at += 2;
    return w;
  };
  auto text = [&] {
    std::string s;
    for (WORD w = word(); w != 0; w = word()) s += static_cast<char>(w);
    return s;
  };
  EXPECT_EQ(word(), 0) << "no menu";
  EXPECT_EQ(word(), 0) << "the standard dialog class";
  EXPECT_EQ(text(), "Kelvane");
  EXPECT_EQ(word(), 9);
  EXPECT_EQ(text(), "Arial");

  struct Item {
    int id;
    const char* className;  // a predefined class may also be stored as its atom
    const char* title;
    short x, y, cx, cy;
    DWORD style;
  } items[] = {
      {IDCANCEL, "Button", "Quit (&Q)", 226, 144, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
      {IDC_ANALYZE, "Button", "Analyze (&A)", 170, 144, 50, 14,
       WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
      {IDC_REGISTERED_LIST, "SysListView32", "List1", 7, 25, 137, 133,
       WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL},
      {IDC_AVAILABLE_LIST, "SysListView32", "List2", 148, 25, 128, 111,
       WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
      {0xFFFF, "Static", "Available Format List", 173, 7, 82, 12,
       WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE},
      {0xFFFF, "Static", "Registered Clipboard Formats", 7, 7, 136, 13,
       WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER | SS_CENTERIMAGE},
      {IDC_DUMP_TOGGLE, "Button", "B", 148, 144, 15, 14,
       WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE},
  };
  for (const Item& e : items) {
    at = (at + 3) & ~static_cast<std::size_t>(3);
    ASSERT_LE(at + sizeof(DLGITEMTEMPLATE), bytes.size());
    DLGITEMTEMPLATE item;
    std::memcpy(&item, bytes.data() + at, sizeof(item));
    at += sizeof(item);
    EXPECT_EQ(item.style, e.style) << e.title;
    EXPECT_EQ(item.dwExtendedStyle, 0u) << e.title;
    EXPECT_EQ(item.x, e.x) << e.title;
    EXPECT_EQ(item.y, e.y) << e.title;
    EXPECT_EQ(item.cx, e.cx) << e.title;
    EXPECT_EQ(item.cy, e.cy) << e.title;
    EXPECT_EQ(item.id, e.id) << e.title;
    std::string className;
    WORD first;
    std::memcpy(&first, bytes.data() + at, 2);
    if (first == 0xFFFF) {
      word();
      const WORD atom = word();
      className = atom == 0x80 ? "Button" : atom == 0x82 ? "Static" : "#" + std::to_string(atom);
    } else {
      className = text();
    }
    EXPECT_EQ(::lstrcmpiA(className.c_str(), e.className), 0) << className << " for " << e.title;
    EXPECT_EQ(text(), e.title);
    const WORD extra = word();
    at += extra;
  }
}

TEST_F(ProgramResources, MenusIconAndManifest) {
  EXPECT_FALSE(Resource(MAKEINTRESOURCEA(4) /* RT_MENU */, IDR_LIST_MENU, kEnglishUS).empty());
  EXPECT_FALSE(Resource(MAKEINTRESOURCEA(4) /* RT_MENU */, IDR_DUMP_MENU, kEnglishUS).empty());

  // Icon group 104: 16 x 16 and 32 x 32 in 16 colours, 32 x 32 in 256.
  const std::vector<std::uint8_t> group =
      Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, IDI_APP, kEnglishUS);
  ASSERT_GE(group.size(), 6u);
  const int count = group[4] | (group[5] << 8);
  ASSERT_EQ(count, 3);
  ASSERT_GE(group.size(), 6u + 3 * 14u);
  struct Image {
    int width, height, colours, bits;
  } images[3];
  for (int i = 0; i < 3; ++i) {
    const std::uint8_t* entry = group.data() + 6 + 14 * i;
    images[i] = {entry[0], entry[1], entry[2], entry[6] | (entry[7] << 8)};
  }
  EXPECT_EQ(images[0].width, 16);
  EXPECT_EQ(images[0].height, 16);
  EXPECT_EQ(images[0].bits, 4);
  EXPECT_EQ(images[1].width, 32);
  EXPECT_EQ(images[1].bits, 4);
  EXPECT_EQ(images[2].width, 32);
  EXPECT_EQ(images[2].bits, 8);

  // The common-controls manifest, stored under Japanese.
  const std::vector<std::uint8_t> manifest = Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, 1, kJapanese);
  ASSERT_FALSE(manifest.empty());
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("<description>Kelvane</description>"), std::string::npos);
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("type=\"win32\""), std::string::npos);
  EXPECT_NE(text.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  EXPECT_NE(text.find("language=\"*\""), std::string::npos);
  // Sharp at every scale, with the fallbacks of older systems.
  EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
}

// The dump window's menu bar as the resource holds it: each menu's text,
// and each item's text and command (0 for a separator, -1 for a submenu).
TEST(StartUp, DumpMenuBar) {
  HMENU bar = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_DUMP_MENU));
  ASSERT_NE(bar, nullptr);
  struct Item {
    const char* text;
    int command;
  };
  auto items = [](HMENU menu) {
    std::vector<std::pair<std::string, int>> read;
    for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
      char text[64] = {};
      ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
      read.emplace_back(text, static_cast<int>(::GetMenuItemID(menu, i)));
    }
    return read;
  };
  auto expect = [&items](HMENU menu, const std::vector<Item>& expected) {
    const auto read = items(menu);
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].first, expected[i].text) << i;
      EXPECT_EQ(read[i].second, expected[i].command) << i;
    }
  };
  expect(bar, {{"File (&F)", -1}, {"Edit (&E)", -1}, {"View (&V)", -1}});
  expect(::GetSubMenu(bar, 0), {{"Save (&S)", ID_SAVE}, {"Close (&C)", ID_CLOSE}});
  expect(::GetSubMenu(bar, 1), {{"Copy (&C)\tCtrl+C", ID_EDIT_COPY},
                                {"Copy as Text (&T)\tCtrl+Shift+C", ID_EDIT_COPY_TEXT},
                                {"Select All (&A)\tCtrl+A", ID_EDIT_SELECT_ALL},
                                {"", 0},
                                {"Find... (&F)\tCtrl+F", ID_EDIT_FIND},
                                {"Find Next (&N)\tF3", ID_EDIT_FIND_NEXT},
                                {"Find Previous (&P)\tShift+F3", ID_EDIT_FIND_PREVIOUS},
                                {"", 0},
                                {"Go To... (&G)\tCtrl+G", ID_EDIT_GOTO}});
  expect(::GetSubMenu(bar, 2), {{"Bytes (&B)\tCtrl+1", ID_VIEW_BYTES},
                                {"Picture (&P)\tCtrl+2", ID_VIEW_PICTURE},
                                {"Zoom In (&I)\tCtrl++", ID_VIEW_ZOOM_IN},
                                {"Zoom Out (&O)\tCtrl+-", ID_VIEW_ZOOM_OUT},
                                {"Fit (&F)\tCtrl+0", ID_VIEW_ZOOM_FIT},
                                {"", 0},
                                {"Encoding (&E)", -1},
                                {"", 0},
                                {"Whole Data (&W)\tCtrl+E", ID_VIEW_WHOLE_DATA},
                                {"Details (&D)\tCtrl+D", ID_VIEW_DETAILS}});
  expect(::GetSubMenu(::GetSubMenu(bar, 2), 6), {{"ASCI (&A)", ID_ENCODING_CP1252},
                                                 {"Shift_JIS (&S)", ID_ENCODING_SHIFT_JIS},
                                                 {"EUC-JP (&E)", ID_ENCODING_EUC_JP},
                                                 {"UTF-16 (Little Endian) (&L)", ID_ENCODING_UTF16LE},
                                                 {"UTF-8 (&8)", ID_ENCODING_UTF8}});
  ::DestroyMenu(bar);
}

TEST(StartUp, TheManifestBringsTheVersion6CommonControls) {
  // This test program carries the program's resources, manifest included;
  // the list views and status bar come from the side-by-side assembly the
  // manifest names, not from the system directory's copy.
  HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(comctl, path, MAX_PATH);
  std::string lower(path);
  for (char& c : lower) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(lower.find("microsoft.windows.common-controls"), std::string::npos) << path;
}

TEST_F(ProgramResources, VersionBlock) {
  // The version functions live in version.dll, which the program itself
  // doesn't need; load them for the test only.
  HMODULE version = ::LoadLibraryA("version.dll");
  ASSERT_NE(version, nullptr);
  using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  auto getSize =
      reinterpret_cast<SizeFn>(reinterpret_cast<void*>(::GetProcAddress(version, "GetFileVersionInfoSizeA")));
  auto getInfo =
      reinterpret_cast<InfoFn>(reinterpret_cast<void*>(::GetProcAddress(version, "GetFileVersionInfoA")));
  auto query =
      reinterpret_cast<QueryFn>(reinterpret_cast<void*>(::GetProcAddress(version, "VerQueryValueA")));
  ASSERT_TRUE(getSize && getInfo && query);

  const std::string path = ProgramPath();
  DWORD handle = 0;
  const DWORD size = getSize(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(getInfo(path.c_str(), 0, size, block.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(query(block.data(), "\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010004u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010004u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);

  auto stringValue = [&](const char* name) -> std::string {
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    void* text = nullptr;
    UINT chars = 0;
    if (!query(block.data(), key.c_str(), &text, &chars) || text == nullptr) return "<missing>";
    return static_cast<const char*>(text);
  };
  EXPECT_EQ(stringValue("FileDescription"), "Kelvane");
  EXPECT_EQ(stringValue("InternalName"), "Kelvane");
  EXPECT_EQ(stringValue("CompanyName"), "Marrowfen");
  EXPECT_EQ(stringValue("ProductName"), "Marrowfen - Kelvane");
  EXPECT_EQ(stringValue("FileVersion"), "1, 4, 1, 0");
  EXPECT_EQ(stringValue("ProductVersion"), "1, 4, 1, 0");
  ::FreeLibrary(version);
}

}  // namespace
