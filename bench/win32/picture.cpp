// Times the Picture view on a 256 MiB 32-bit DIB of 8192 x 8192 pixels
// beside one StretchDIBits of the same bits to the same size in the same
// window: the first paint after the view is given the DIB, and the repaint
// after each resize. Then a large PNG (made here with the platform's encoder)
// is given to the view, and the longest wait of the UI thread for a message
// round trip while it decodes is printed beside the decode's length.
//
//   wine bench_picture.exe [rounds]
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "benchsupport.h"
#include "picture/pictureview.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

constexpr int kSide = 8192;
constexpr std::size_t kBitsSize = static_cast<std::size_t>(kSide) * kSide * 4;

HWND g_view = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && g_view != nullptr)
    ::MoveWindow(g_view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateParent(HINSTANCE instance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = instance;
  wc.lpszClassName = "KelvanePictureBench";
  ::RegisterClassExA(&wc);
  return ::CreateWindowExA(0, wc.lpszClassName, "picture", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                           0, 0, 1000, 800, nullptr, nullptr, instance, nullptr);
}

// A packed DIB: 40-byte header, then bits in a pattern that no colour
// shortcut can skip.
std::vector<std::uint8_t> MakeDib() {
  std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER) + kBitsSize);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = kSide;
  header.biHeight = kSide;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::memcpy(dib.data(), &header, sizeof(header));
  auto* pixels = reinterpret_cast<std::uint32_t*>(dib.data() + sizeof(header));
  for (std::size_t i = 0; i < kBitsSize / 4; ++i)
    pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) >> 8;
  return dib;
}

void Repaint() {
  ::RedrawWindow(g_view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ::GdiFlush();
}

// The reference: the same bits to the view's drawn rectangle, as the view
// draws them (the same stretch mode).
double TimeStretchDIBits(const std::vector<std::uint8_t>& dib, const RECT& drawn) {
  HDC dc = ::GetDC(g_view);
  ::SetStretchBltMode(dc, COLORONCOLOR);
  const double start = Now();
  ::StretchDIBits(dc, drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top, 0, 0, kSide,
                  kSide, dib.data() + sizeof(BITMAPINFOHEADER),
                  reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS, SRCCOPY);
  ::GdiFlush();
  const double elapsed = Now() - start;
  ::ReleaseDC(g_view, dc);
  return elapsed;
}

RECT DrawnRect() {
  RECT rect = {};
  ::SendMessageA(g_view, PVM_GETPICTURERECT, 0, reinterpret_cast<LPARAM>(&rect));
  return rect;
}

// A PNG of side x side pixels with noise in it, from the platform's encoder.
std::vector<std::uint8_t> MakePng(UINT side) {
  std::vector<std::uint8_t> out;
  IWICImagingFactory* factory = nullptr;
  IStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&factory));
  ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
  encoder->Initialize(stream, WICBitmapEncoderNoCache);
  encoder->CreateNewFrame(&frame, nullptr);
  frame->Initialize(nullptr);
  frame->SetSize(side, side);
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  frame->SetPixelFormat(&format);
  std::vector<std::uint32_t> row(side);
  std::uint32_t seed = 1;
  for (UINT y = 0; y < side; ++y) {
    for (UINT x = 0; x < side; ++x) row[x] = (seed = seed * 1103515245u + 12345u) >> 4 | 0x80000000u;
    frame->WritePixels(1, side * 4, side * 4, reinterpret_cast<BYTE*>(row.data()));
  }
  frame->Commit();
  encoder->Commit();
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  out.resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
  frame->Release();
  encoder->Release();
  stream->Release();
  factory->Release();
  return out;
}

bool Decoding() {
  wchar_t text[64] = L"";
  ::GetWindowTextW(g_view, text, 64);
  return std::wcsncmp(text, L"Decoding", 8) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND parent = CreateParent(instance);
  g_view = ::CreateWindowExA(0, PICTUREVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                             0, 0, 1000, 800, parent, nullptr, instance, nullptr);
  RECT client = {};
  ::GetClientRect(parent, &client);
  ::MoveWindow(g_view, 0, 0, client.right, client.bottom, TRUE);
  PumpPending();

  const std::vector<std::uint8_t> dib = MakeDib();
  const PictureRecord record = {
      dib.data(), static_cast<std::uint32_t>(dib.size()), CF_DIB, "CF_DIB (8)", "", SnapshotKind::WholeData};
  const PictureRecord none = {nullptr, 0, CF_DIB, "CF_DIB (8)", "", SnapshotKind::WholeData};
  std::vector<double> reference;
  std::vector<double> firstPaint;
  std::vector<double> resized;
  for (int round = 0; round < rounds; ++round) {
    ::SendMessageA(g_view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&none));
    Repaint();
    double start = Now();
    ::SendMessageA(g_view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
    Repaint();
    firstPaint.push_back(Now() - start);
    reference.push_back(TimeStretchDIBits(dib, DrawnRect()));
    for (int size = 0; size < 3; ++size) {
      const int width = 700 + 100 * ((round + size) % 3);
      // The window system's own part of a resize is not the view's: time the
      // repaint that follows it.
      ::SetWindowPos(parent, nullptr, 0, 0, width, width * 4 / 5, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
      PumpPending();
      start = Now();
      Repaint();
      resized.push_back(Now() - start);
      reference.push_back(TimeStretchDIBits(dib, DrawnRect()));
    }
  }
  const double stretch = Median(reference);
  std::printf("picture of a 256 MiB 32-bit DIB (%d x %d), %d rounds, medians in ms:\n", kSide, kSide, rounds);
  std::printf("  one StretchDIBits to the same size  %8.1f\n", stretch);
  std::printf("  first paint                         %8.1f  (%.2fx)\n", Median(firstPaint),
              Median(firstPaint) / stretch);
  std::printf("  repaint after a resize              %8.1f  (%.2fx)\n", Median(resized),
              Median(resized) / stretch);

  // Responsiveness: the longest a message round trip waits while a PNG decodes.
  const std::vector<std::uint8_t> png = MakePng(3000);
  const PictureRecord pngRecord = {png.data(), static_cast<std::uint32_t>(png.size()),
                                   0xC000,     "PNG(0xC000)",
                                   "PNG",      SnapshotKind::WholeData};
  double longest = 0;
  const double begin = Now();
  ::SendMessageA(g_view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&pngRecord));
  while (Decoding() && Now() - begin < 60000) {
    const double sent = Now();
    PumpPending();
    ::SendMessageA(parent, WM_NULL, 0, 0);
    longest = std::max(longest, Now() - sent);
    ::Sleep(1);
  }
  std::printf("PNG of 3000 x 3000 (%zu bytes): decoded in %.0f ms; longest UI wait meanwhile %.1f ms\n",
              png.size(), Now() - begin, longest);
  ::DestroyWindow(parent);
  return 0;
}
