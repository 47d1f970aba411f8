// The Picture view on a real window, read back from its pixels and its
// window text: a PNG with transparency that ImageMagick wrote and xclip put
// on the X clipboard, DIBs put on the clipboard by the test, damaged data,
// and zoom.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "objectcounts.h"
#include "picture/picturedecode_win32.h"
#include "picture/picturelayout.h"
#include "picture/pictureview.h"
#include "testsupport.h"

namespace {

using testsupport::WindowPixels;

const char kParentClass[] = "KelvanePictureTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}

// One visible parent for every test: Wine without a window manager waits for
// each top-level window that goes away.
HWND SharedParent() {
  static HWND parent = nullptr;
  if (parent != nullptr && ::IsWindow(parent)) return parent;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kParentClass;
  ::RegisterClassExA(&wc);
  parent = ::CreateWindowExA(0, kParentClass, "picture test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 700,
                             500, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  return parent;
}

std::wstring WideText(HWND window) {
  wchar_t text[512] = L"";
  ::GetWindowTextW(window, text, 512);
  return text;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class PictureView : public ::testing::Test {
 protected:
  void SetUp() override {
    view_ = ::CreateWindowExA(0, PICTUREVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                              0, 0, 400, 300, SharedParent(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(view_, nullptr);
  }
  void TearDown() override {
    ::DestroyWindow(view_);
    testsupport::ClearClipboard();
  }

  // Gives the view bytes read whole, and waits for a decode to end. A
  // registered format's name is the list text before its "(0x....)".
  void Show(const std::vector<std::uint8_t>& bytes, std::uint32_t format, const char* listText) {
    bytes_ = bytes;
    const std::string text = listText;
    const std::string name = format >= 0xC000 ? text.substr(0, text.rfind('(')) : std::string();
    const PictureRecord record = {bytes_.data(), static_cast<std::uint32_t>(bytes_.size()),
                                  format,        listText,
                                  name.c_str(),  SnapshotKind::WholeData};
    ::SendMessageA(view_, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
    testsupport::WaitUntil([&] { return WideText(view_).rfind(L"Decoding", 0) != 0; });
  }

  RECT PictureRect() const {
    RECT rect = {};
    EXPECT_EQ(::SendMessageA(view_, PVM_GETPICTURERECT, 0, reinterpret_cast<LPARAM>(&rect)), 1);
    return rect;
  }

  HWND view_ = nullptr;
  std::vector<std::uint8_t> bytes_;
};

COLORREF Colour(std::uint32_t rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }
bool IsChecker(COLORREF c) { return c == Colour(kCheckerLight) || c == Colour(kCheckerDark); }

// A PNG made by a real program: ImageMagick draws it and the test puts its
// bytes on the clipboard as "PNG" (the X11 clipboard bridge is driven by the
// frame's own xclip tests).
TEST_F(PictureView, PngFromAnX11ProgramShowsOverTheCheckerboard) {
  const std::string path = "/tmp/kelvane-picture-" + std::to_string(::GetCurrentProcessId()) + ".png";
  ASSERT_TRUE(testsupport::RunHostCommand(
      "convert -size 64x48 xc:none -fill red -draw 'rectangle 0,0 31,47' -fill 'rgba(0,0,255,0.5)' -draw "
      "'rectangle 32,0 63,23' PNG32:" +
      path + ".part && mv " + path + ".part " + path));
  const UINT png = ::RegisterClipboardFormatA("PNG");
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return !(bytes = testsupport::ReadFileBytes("Z:" + path)).empty(); }, 30000))
      << "ImageMagick wrote no PNG";
  ASSERT_TRUE(testsupport::PutClipboardItems({{png, bytes}}));

  char listText[32];
  wsprintfA(listText, "PNG(0x%04X)", png);
  Show(bytes, png, listText);
  EXPECT_EQ(WideText(view_),
            L"PNG, 64 x 48, 32-bit with alpha, " + std::to_wstring(bytes.size()) + L" bytes");
  const RECT r = PictureRect();
  EXPECT_EQ(r.right - r.left, 64);
  EXPECT_EQ(r.bottom - r.top, 48);

  const WindowPixels pixels(view_);
  EXPECT_EQ(pixels.Count(r.left, r.top, r.left + 32, r.bottom, RGB(255, 0, 0)), 32 * 48);
  int checker = 0;
  for (int y = r.top + 24; y < r.bottom; ++y)
    for (int x = r.left + 32; x < r.right; ++x) checker += IsChecker(pixels.At(x, y));
  EXPECT_EQ(checker, 32 * 24) << "transparent pixels show the grey checkerboard";
  // Half-transparent blue over the light squares: blue on top of grey.
  const COLORREF blended = pixels.At(r.left + 32, r.top);
  EXPECT_GT(GetBValue(blended), 200);
  EXPECT_EQ(GetRValue(blended), GetGValue(blended));
  EXPECT_LT(GetRValue(blended), 140);
  EXPECT_GT(GetRValue(blended), 80);
}

// A packed DIB: a header of the given size (masks in it from 56 bytes on),
// then the table and bits.
std::vector<std::uint8_t> DibBytes(std::uint32_t headerSize, std::int32_t width, std::int32_t height,
                                   std::uint16_t bits, std::uint32_t compression, std::uint32_t alphaMask,
                                   const std::vector<std::uint8_t>& tail) {
  std::vector<std::uint8_t> b(headerSize, 0);
  const auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, headerSize);
  put(4, static_cast<std::uint32_t>(width));
  put(8, static_cast<std::uint32_t>(height));
  b[12] = 1;
  b[14] = static_cast<std::uint8_t>(bits);
  put(16, compression);
  if (headerSize >= 56) put(40, 0xFF0000), put(44, 0xFF00), put(48, 0xFF), put(52, alphaMask);
  b.insert(b.end(), tail.begin(), tail.end());
  return b;
}

// DIBs on the clipboard, each read back whole and drawn: the first and last
// rows tell bottom-up from top-down, the colours tell the table and masks.
TEST_F(PictureView, DibsPutOnTheClipboard) {
  struct Case {
    const char* what;
    std::uint32_t format;
    std::vector<std::uint8_t> dib;
    std::wstring caption;
    COLORREF topLeft, bottomRight;
  };
  // 8 bits, top-down, a table of two entries: black and yellow.
  std::vector<std::uint8_t> indexed =
      DibBytes(40, 2, -2, 8, BI_RGB, 0, {0, 0, 0, 0, 0, 255, 255, 0, 1, 0, 0, 0, 0, 1, 0, 0});
  indexed[32] = 2;  // biClrUsed
  const std::vector<Case> cases = {
      {"24-bit bottom-up", CF_DIB,
       DibBytes(40, 2, 2, 24, BI_RGB, 0, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}),
       L"DIB, 2 x 2, 24-bit, 56 bytes", RGB(0, 0, 255), RGB(0, 255, 0)},
      {"8-bit top-down with two colours", CF_DIB, indexed, L"DIB, 2 x 2, 8-bit, 56 bytes", RGB(255, 255, 0),
       RGB(255, 255, 0)},
      {"V5 with alpha", CF_DIBV5,
       DibBytes(124, 2, -2, 32, BI_BITFIELDS, 0xFF000000,
                {0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255}),
       L"DIB, 2 x 2, 32-bit with alpha, 140 bytes", RGB(255, 0, 0), RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(testsupport::PutClipboardBytes(c.format, c.dib.data(), c.dib.size()));
    const std::vector<std::uint8_t> whole = testsupport::ClipboardBytes(c.format);
    ASSERT_GE(whole.size(), c.dib.size());
    Show(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.dib.size())),
         c.format, c.format == CF_DIB ? "CF_DIB (8)" : "CF_DIBV5 (17)");
    EXPECT_EQ(WideText(view_), c.caption);
    const RECT r = PictureRect();
    ASSERT_EQ(r.right - r.left, 2);
    const WindowPixels pixels(view_);
    EXPECT_EQ(pixels.At(r.left, r.top), c.topLeft);
    EXPECT_EQ(pixels.At(r.left + 1, r.top + 1), c.bottomRight);
    if (c.format == CF_DIBV5) {
      EXPECT_TRUE(IsChecker(pixels.At(r.left + 1, r.top))) << "a transparent pixel";
    }
  }
}

// No picture: one sentence and nothing drawn but the window's background.
TEST_F(PictureView, SentencesInsteadOfAPicture) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                   0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  Show(png, 0xC100, "PNG(0xC100)");
  EXPECT_EQ(WideText(view_).rfind(L"The PNG data is damaged: ", 0), 0u) << WideText(view_);
  RECT rect = {};
  EXPECT_EQ(::SendMessageA(view_, PVM_GETPICTURERECT, 0, reinterpret_cast<LPARAM>(&rect)), 0);

  const std::vector<std::uint8_t> text = {'h', 'i', 0};
  Show(text, CF_TEXT, "CF_TEXT (1)");
  EXPECT_EQ(WideText(view_), L"CF_TEXT (1) holds no picture.");
  const WindowPixels pixels(view_);
  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(pixels.Count(0, 40, pixels.width(), pixels.height(), window),
            pixels.Area(0, 40, pixels.width(), pixels.height()));
  const std::vector<std::uint8_t> dib = DibBytes(40, 3, 2, 24, BI_RGB, 0, std::vector<std::uint8_t>(20));
  Show(dib, CF_DIB, "CF_DIB (8)");
  EXPECT_EQ(WideText(view_),
            Wide("The DIB's 3 x 2 pixels at 24 bits need 24 bytes; the data holds 20 after its "
                 "header."));
}

// Zoom: 2x steps drawn sharp, scroll bars once the picture outgrows the
// window, Ctrl+0 back to the fit.
TEST_F(PictureView, ZoomDoublesSharpPixelsAndScrolls) {
  // 16 x 16, 24-bit: a 1-pixel red column at x = 5, the rest white.
  std::vector<std::uint8_t> rows(16 * 48, 255);
  for (int y = 0; y < 16; ++y)
    rows[static_cast<std::size_t>(y) * 48 + 5 * 3] = 0, rows[y * 48 + 5 * 3 + 1] = 0;
  Show(DibBytes(40, 16, 16, 24, BI_RGB, 0, rows), CF_DIB, "CF_DIB (8)");
  EXPECT_EQ(PictureRect().right - PictureRect().left, 16);
  SCROLLINFO info = {sizeof(info), SIF_ALL};
  for (int step = 1; step <= 5; ++step) {
    ::SendMessageA(view_, PVM_ZOOM, PVZOOM_IN, 0);
    const RECT r = PictureRect();
    EXPECT_EQ(r.right - r.left, 16 << step) << "step " << step;
  }
  // 512 pixels: larger than the 400 x 300 window.
  ::GetScrollInfo(view_, SB_HORZ, &info);
  EXPECT_EQ(info.nMax, 511);
  EXPECT_GT(info.nPage, 0u);
  EXPECT_LT(static_cast<int>(info.nPage), 512);
  ::SendMessageA(view_, PVM_ZOOM, PVZOOM_OUT, 0);
  ::SendMessageA(view_, PVM_ZOOM, PVZOOM_OUT, 0);
  const RECT r = PictureRect();  // 128 pixels: the red column is x 40..47
  ASSERT_EQ(r.right - r.left, 128);
  const WindowPixels pixels(view_);
  EXPECT_EQ(pixels.At(r.left + 39, r.top + 60), RGB(255, 255, 255));
  EXPECT_EQ(pixels.Count(r.left + 40, r.top, r.left + 48, r.bottom, RGB(255, 0, 0)), 8 * 128);
  EXPECT_EQ(pixels.At(r.left + 48, r.top + 60), RGB(255, 255, 255));
  ::SendMessageA(view_, PVM_ZOOM, PVZOOM_FIT, 0);
  EXPECT_EQ(PictureRect().right - PictureRect().left, 16);
  ::GetScrollInfo(view_, SB_HORZ, &info);
  EXPECT_EQ(info.nMax, 0);
}

using testsupport::PrivateMiB;

// Whether a message waits in the queue for a window, without taking it.
bool WaitForPosted(HWND window, UINT message) {
  for (int tries = 0; tries < 6000; ++tries) {
    MSG msg;
    if (::PeekMessageA(&msg, window, message, message, PM_NOREMOVE)) return true;
    ::Sleep(5);
  }
  return false;
}

// A window that goes before it reads its decoded picture (64 MiB of pixels
// each time) frees the picture all the same.
TEST_F(PictureView, ADecodedPictureIsFreedWhenItsWindowIsGoneFirst) {
  const std::string path = "/tmp/kelvane-large-" + std::to_string(::GetCurrentProcessId()) + ".png";
  ASSERT_TRUE(testsupport::RunHostCommand("convert -size 4096x4096 xc:red PNG24:" + path + ".part && mv " +
                                          path + ".part " + path));
  std::vector<std::uint8_t> png;
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !(png = testsupport::ReadFileBytes("Z:" + path)).empty(); },
                                     30000));
  const double before = PrivateMiB();
  for (int round = 0; round < 3; ++round) {
    HWND view = ::CreateWindowExA(0, PICTUREVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200,
                                  SharedParent(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    const PictureRecord record = {png.data(), static_cast<std::uint32_t>(png.size()),
                                  0xC100,     "PNG(0xC100)",
                                  "PNG",      SnapshotKind::WholeData};
    ::SendMessageA(view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
    ASSERT_TRUE(WaitForPosted(view, PVM_DECODED)) << "round " << round;
    ::DestroyWindow(view);
  }
  testsupport::PumpMessages(50);
  EXPECT_LT(PrivateMiB() - before, 64.0) << "the decoded pictures were not freed";
}

}  // namespace
