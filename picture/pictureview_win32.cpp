// The Picture view's window: it judges each snapshot it is given, draws a
// DIB straight from the snapshot's bytes through the GDI, has compressed
// pictures decoded off the UI thread, and fits, zooms and scrolls them.
#include "picture/pictureview.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "app/dpi_win32.h"
#include "app/dpiscale.h"
#include "picture/dibheader.h"
#include "picture/picturedecode_win32.h"
#include "picture/picturekind.h"
#include "picture/picturelayout.h"

namespace {

// Window rows composed at a time for a picture with alpha: one small DIB
// section of the client's width, never a copy of the whole picture.
constexpr int kBandRows = 64;

struct PictureViewState {
  // The snapshot, borrowed.
  const std::uint8_t* bytes = nullptr;
  std::uint32_t length = 0;
  PictureKind kind = PictureKind::None;
  std::wstring text;  // the caption, or the sentence when there is no picture
  bool hasPicture = false;
  DibDescription dib;                       // for a DIB
  std::unique_ptr<DecodedPicture> decoded;  // for a compressed picture
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  PictureZoom zoom;
  std::uint32_t scrollX = 0;
  std::uint32_t scrollY = 0;
  std::uint32_t generation = 0;
  std::shared_ptr<std::atomic<std::uint32_t>> latestDecode = std::make_shared<std::atomic<std::uint32_t>>(0);
  std::shared_ptr<DecodeMailbox> mailbox = std::make_shared<DecodeMailbox>();
  std::uint32_t dpi = 0;
  PictureMetrics metrics = PictureMetricsForDpi(kDefaultDpi);
  HFONT font = nullptr;
  int captionBand = 0;
};

PictureViewState* StateOf(HWND window) {
  return reinterpret_cast<PictureViewState*>(::GetWindowLongPtrA(window, 0));
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int count = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), count);
  return wide;
}

void SetText(HWND window, PictureViewState* state, const std::string& utf8) {
  state->text = Wide(utf8);
  ::SetWindowTextW(window, state->text.c_str());
}

PictureLayout LayoutInClient(const RECT& client, const PictureViewState* state) {
  PictureLayout layout = LayOutPicture(client.right, client.bottom, state->captionBand, state->width,
                                       state->height, state->zoom, state->scrollX, state->scrollY);
  layout.checkerSquare = state->metrics.checkerSquare;
  return layout;
}

PictureLayout CurrentLayout(HWND window, const PictureViewState* state) {
  RECT client = {};
  ::GetClientRect(window, &client);
  return LayoutInClient(client, state);
}

void SetScrollBar(HWND window, int bar, std::int64_t drawn, int page, std::uint32_t position, bool show) {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = show ? static_cast<int>(std::min<std::int64_t>(drawn - 1, 0x7FFFFFFF)) : 0;
  info.nPage = show ? static_cast<UINT>(std::max(page, 0)) : 0;
  info.nPos = show ? static_cast<int>(position) : 0;
  ::SetScrollInfo(window, bar, &info, TRUE);
}

// Shows the scroll bars that the picture needs and keeps the stored
// positions within their ranges.
void UpdateScrollBars(HWND window, PictureViewState* state) {
  const PictureLayout layout = CurrentLayout(window, state);
  state->scrollX = layout.scrollX;
  state->scrollY = layout.scrollY;
  SetScrollBar(window, SB_HORZ, layout.drawn.width, layout.areaWidth, layout.scrollX,
               state->hasPicture && layout.scrollMaxX != 0);
  SetScrollBar(window, SB_VERT, layout.drawn.height, layout.areaHeight, layout.scrollY,
               state->hasPicture && layout.scrollMaxY != 0);
}

void Refresh(HWND window, PictureViewState* state) {
  UpdateScrollBars(window, state);
  ::InvalidateRect(window, nullptr, FALSE);
}

void ShowSentence(HWND window, PictureViewState* state, const std::string& sentence) {
  state->hasPicture = false;
  state->width = state->height = 0;
  SetText(window, state, sentence);
}

void ShowDib(HWND window, PictureViewState* state) {
  state->dib = state->kind == PictureKind::Bmp ? ReadBmpFile(state->bytes, state->length)
                                               : ReadPackedDib(state->bytes, state->length);
  if (!state->dib.ok) {
    ShowSentence(window, state, state->dib.refusal);
    return;
  }
  state->hasPicture = true;
  state->width = state->dib.width;
  state->height = state->dib.height;
  SetText(window, state,
          PictureCaption(state->kind, state->width, state->height, state->dib.bitCount, state->dib.hasAlpha(),
                         state->length));
}

// A codec's failure says what is wrong with the data; running out of memory
// says nothing of it.
void ShowDecodeFailure(HWND window, PictureViewState* state, HRESULT failure) {
  ShowSentence(window, state,
               failure == E_OUTOFMEMORY
                   ? NotEnoughMemorySentence(state->kind)
                   : DamagedSentence(state->kind, CodecErrorReason(static_cast<std::uint32_t>(failure))));
}

void OnSetPicture(HWND window, PictureViewState* state, const PictureRecord* record) {
  // Whatever is decoding for the previous snapshot is of no use now.
  state->generation += 1;
  state->latestDecode->store(state->generation);
  state->decoded.reset();
  state->zoom = PictureZoom{};
  state->scrollX = state->scrollY = 0;
  state->bytes = record != nullptr ? record->bytes : nullptr;
  state->length = record != nullptr && record->bytes != nullptr ? record->length : 0;
  const auto text = [](const char* maybe) { return maybe != nullptr ? maybe : ""; };
  const PictureInput input = {state->bytes,
                              state->length,
                              record != nullptr ? record->format : 0,
                              text(record != nullptr ? record->listText : nullptr),
                              text(record != nullptr ? record->registeredName : nullptr),
                              record != nullptr ? record->kind : SnapshotKind::ByRule};
  const PictureVerdict verdict = JudgePicture(input);
  state->kind = verdict.kind;
  if (verdict.kind == PictureKind::None) {
    ShowSentence(window, state, verdict.sentence);
  } else if (IsCompressedKind(verdict.kind)) {
    ShowSentence(window, state,
                 std::string("Decoding the ") + PictureKindName(verdict.kind) + " (" +
                     std::to_string(state->length) + " bytes)\xE2\x80\xA6");
    HRESULT failure = S_OK;
    if (!StartDecode(window, state->generation, state->latestDecode, state->mailbox, verdict.kind,
                     state->bytes, state->length, &failure)) {
      ShowDecodeFailure(window, state, failure);
    }
  } else {
    ShowDib(window, state);
  }
  Refresh(window, state);
}

void OnDecoded(HWND window, PictureViewState* state) {
  std::unique_ptr<DecodedPicture> decoded = state->mailbox->Take();
  if (decoded == nullptr || decoded->generation != state->generation) return;  // an older snapshot's
  if (FAILED(decoded->result)) {
    ShowDecodeFailure(window, state, decoded->result);
    Refresh(window, state);
    return;
  }
  std::uint32_t bits = decoded->bitsPerPixel;
  bool alpha = decoded->hasAlpha;
  // A PNG says in its own header what it holds, which the codec may widen.
  const PngHeader png =
      state->kind == PictureKind::Png ? ReadPngHeader(state->bytes, state->length) : PngHeader{};
  if (png.ok) bits = png.bitsPerPixel, alpha = png.hasAlpha;
  state->hasPicture = true;
  state->width = decoded->width;
  state->height = decoded->height;
  state->decoded = std::move(decoded);
  SetText(window, state,
          PictureCaption(state->kind, state->width, state->height, bits, alpha, state->length));
  Refresh(window, state);
}

// --- painting ---------------------------------------------------------------

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  ::SetBkColor(dc, colour);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void PaintCaption(HDC dc, const RECT& client, const PictureViewState* state) {
  RECT band = {0, 0, client.right, state->captionBand};
  FillColour(dc, band, ::GetSysColor(COLOR_BTNFACE));
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  const int padding = state->metrics.captionPadding;
  RECT text = {padding * 2, padding, client.right - padding, state->captionBand};
  ::DrawTextW(dc, state->text.c_str(), static_cast<int>(state->text.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void PaintSentence(HDC dc, const RECT& client, const PictureViewState* state) {
  FillColour(dc, client, ::GetSysColor(COLOR_WINDOW));
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  const int padding = state->metrics.captionPadding;
  RECT text = {padding * 2, padding, client.right - padding * 2, client.bottom};
  ::DrawTextW(dc, state->text.c_str(), static_cast<int>(state->text.size()), &text,
              DT_WORDBREAK | DT_NOPREFIX);
}

// The window colour behind and around the picture, as 0x00RRGGBB.
std::uint32_t BackgroundPixel() {
  const COLORREF colour = ::GetSysColor(COLOR_WINDOW);
  return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
         static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

// The picture's pixels through the composer, a band of rows at a time.
void PaintComposed(HDC dc, const RECT& dirty, const PictureLayout& layout, const PixelSource& source) {
  const int left = static_cast<int>(dirty.left);
  const int width = static_cast<int>(dirty.right - dirty.left);
  const int first = std::max(static_cast<int>(dirty.top), layout.areaTop);
  if (width <= 0 || first >= dirty.bottom) return;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -kBandRows;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP band = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (band == nullptr) return;
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ previous = ::SelectObject(memory, band);
  const std::uint32_t background = BackgroundPixel();
  for (int top = first; top < dirty.bottom; top += kBandRows) {
    const int rows = std::min<int>(kBandRows, dirty.bottom - top);
    ::GdiFlush();  // the section's bits are written by hand
    ComposeBand(source, layout, left, top, width, rows, background, static_cast<std::uint32_t*>(pixels));
    ::BitBlt(dc, left, top, width, rows, memory, 0, 0, SRCCOPY);
  }
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
  ::DeleteObject(band);
}

// A header GDI can take for the DIB's bits: the 40-byte kind, its masks or
// its colour table copied beside it (at most 1 KiB); the bits stay where
// they are in the snapshot.
struct GdiDibHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colours[kDibMaxColorTableEntries];
};

void FillGdiHeader(const DibDescription& dib, const std::uint8_t* snapshot, GdiDibHeader* out) {
  *out = {};
  out->header.biSize = sizeof(BITMAPINFOHEADER);
  out->header.biWidth = static_cast<LONG>(dib.width);
  out->header.biHeight = dib.topDown ? -static_cast<LONG>(dib.height) : static_cast<LONG>(dib.height);
  out->header.biPlanes = 1;
  out->header.biBitCount = static_cast<WORD>(dib.bitCount);
  out->header.biCompression = dib.compression == kDibBitfields ? BI_BITFIELDS : BI_RGB;
  if (dib.compression == kDibBitfields) {
    const DWORD masks[3] = {dib.redMask, dib.greenMask, dib.blueMask};
    std::memcpy(out->colours, masks, sizeof(masks));
  } else if (dib.bitCount <= 8) {
    out->header.biClrUsed = dib.colorTableEntries;
    std::memcpy(out->colours, snapshot + dib.colorTableOffset, 4u * dib.colorTableEntries);
  }
}

// An opaque DIB: one StretchDIBits of the part of it that shows.
void PaintOpaqueDib(HDC dc, const RECT& client, const PictureLayout& layout, const PictureViewState* state) {
  GdiDibHeader header;
  FillGdiHeader(state->dib, state->bytes, &header);
  const RECT area = {0, layout.areaTop, client.right, client.bottom};
  const SourceSpan xs = VisibleSpan(layout.left, layout.drawn.width, state->width, area.left, area.right);
  const SourceSpan ys = VisibleSpan(layout.top, layout.drawn.height, state->height, area.top, area.bottom);
  if (xs.count == 0 || ys.count == 0) return;
  // StretchDIBits counts a bottom-up DIB's source rows from its last row.
  const std::uint32_t sourceY = state->dib.topDown ? ys.first : state->height - ys.first - ys.count;
  ::SetStretchBltMode(dc, COLORONCOLOR);
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  ::StretchDIBits(dc, static_cast<int>(xs.destStart), static_cast<int>(ys.destStart),
                  static_cast<int>(xs.destLength), static_cast<int>(ys.destLength),
                  static_cast<int>(xs.first), static_cast<int>(sourceY), static_cast<int>(xs.count),
                  static_cast<int>(ys.count), state->bytes + state->dib.bitsOffset,
                  reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, SRCCOPY);
  ::RestoreDC(dc, saved);
}

// The window colour around an opaque picture.
void PaintAround(HDC dc, const RECT& client, const PictureLayout& layout) {
  const COLORREF colour = ::GetSysColor(COLOR_WINDOW);
  const auto clampX = [&](std::int64_t x) {
    return static_cast<LONG>(std::clamp<std::int64_t>(x, 0, client.right));
  };
  const auto clampY = [&](std::int64_t y) {
    return static_cast<LONG>(std::clamp<std::int64_t>(y, layout.areaTop, client.bottom));
  };
  const LONG pictureTop = clampY(layout.top);
  const LONG pictureBottom = clampY(layout.top + layout.drawn.height);
  FillColour(dc, RECT{0, layout.areaTop, client.right, pictureTop}, colour);
  FillColour(dc, RECT{0, pictureBottom, client.right, client.bottom}, colour);
  FillColour(dc, RECT{0, pictureTop, clampX(layout.left), pictureBottom}, colour);
  FillColour(dc, RECT{clampX(layout.left + layout.drawn.width), pictureTop, client.right, pictureBottom},
             colour);
}

PixelSource DecodedSource(const DecodedPicture& decoded) {
  PixelSource source = {};
  source.layout = PixelSource::Layout::PremultipliedBgra32;
  source.bits = decoded.pixels.data();
  source.width = decoded.width;
  source.height = decoded.height;
  source.stride = decoded.width * 4;
  source.topDown = true;
  return source;
}

bool DibNeedsComposing(const DibDescription& dib) { return dib.hasAlpha(); }

void PaintPicture(HDC dc, const RECT& client, const RECT& dirty, const PictureViewState* state) {
  const PictureLayout layout = LayoutInClient(client, state);
  if (state->decoded != nullptr) {
    PaintComposed(dc, dirty, layout, DecodedSource(*state->decoded));
  } else if (DibNeedsComposing(state->dib)) {
    PaintComposed(dc, dirty, layout, PixelSourceOfDib(state->dib, state->bytes));
  } else {
    PaintAround(dc, client, layout);
    PaintOpaqueDib(dc, client, layout, state);
  }
}

void OnPaint(HWND window, PictureViewState* state) {
  PAINTSTRUCT paint = {};
  HDC dc = ::BeginPaint(window, &paint);
  RECT client = {};
  ::GetClientRect(window, &client);
  HGDIOBJ previousFont = ::SelectObject(dc, state->font);
  if (state->hasPicture) {
    PaintCaption(dc, client, state);
    PaintPicture(dc, client, paint.rcPaint, state);
  } else {
    PaintSentence(dc, client, state);
  }
  ::SelectObject(dc, previousFont);
  ::EndPaint(window, &paint);
}

// --- zoom and scrolling -----------------------------------------------------

void OnZoom(HWND window, PictureViewState* state, WPARAM how) {
  if (!state->hasPicture) return;
  const PictureLayout before = CurrentLayout(window, state);
  switch (how) {
    case PVZOOM_IN:
      state->zoom = ZoomedIn(state->zoom, state->width, state->height, before.areaWidth, before.areaHeight);
      break;
    case PVZOOM_OUT:
      state->zoom = ZoomedOut(state->zoom, state->width, state->height, before.areaWidth, before.areaHeight);
      break;
    default:
      state->zoom = PictureZoom{};
      break;
  }
  const DrawnSize after =
      DrawnSizeOf(state->zoom, state->width, state->height, before.areaWidth, before.areaHeight);
  state->scrollX = ScrollKeepingCentre(before.scrollX, before.drawn.width, after.width, before.areaWidth);
  state->scrollY = ScrollKeepingCentre(before.scrollY, before.drawn.height, after.height, before.areaHeight);
  Refresh(window, state);
}

// The new position for a scroll bar request, before clamping.
std::int64_t ScrollTarget(HWND window, int bar, WPARAM request, std::uint32_t position, int page, int line) {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  ::GetScrollInfo(window, bar, &info);
  switch (LOWORD(request)) {
    case SB_LINEUP:
      return static_cast<std::int64_t>(position) - line;
    case SB_LINEDOWN:
      return static_cast<std::int64_t>(position) + line;
    case SB_PAGEUP:
      return static_cast<std::int64_t>(position) - page;
    case SB_PAGEDOWN:
      return static_cast<std::int64_t>(position) + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      return info.nTrackPos;
    case SB_TOP:
      return 0;
    case SB_BOTTOM:
      return 0x7FFFFFFF;
    default:
      return position;
  }
}

void ScrollTo(HWND window, PictureViewState* state, int bar, std::int64_t target) {
  const auto position = static_cast<std::uint32_t>(std::clamp<std::int64_t>(target, 0, 0x7FFFFFFF));
  (bar == SB_HORZ ? state->scrollX : state->scrollY) = position;
  Refresh(window, state);
}

void OnScroll(HWND window, PictureViewState* state, int bar, WPARAM request) {
  if (!state->hasPicture) return;
  const PictureLayout layout = CurrentLayout(window, state);
  const std::uint32_t position = bar == SB_HORZ ? layout.scrollX : layout.scrollY;
  const int page = bar == SB_HORZ ? layout.areaWidth : layout.areaHeight;
  ScrollTo(window, state, bar, ScrollTarget(window, bar, request, position, page, state->metrics.keyStep));
}

void OnWheel(HWND window, PictureViewState* state, WPARAM wParam) {
  const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
  if (notches == 0) return;
  if ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0) {
    OnZoom(window, state, notches > 0 ? PVZOOM_IN : PVZOOM_OUT);
    return;
  }
  if (state->hasPicture) {
    ScrollTo(window, state, SB_VERT,
             static_cast<std::int64_t>(state->scrollY) - notches * state->metrics.wheelStep);
  }
}

// Arrows and pages scroll. The frame's shortcuts (zoom, Bytes and Picture,
// Whole Data) reach the frame before the view sees them.
void OnKeyDown(HWND window, PictureViewState* state, WPARAM key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      OnScroll(window, state, SB_HORZ, key == VK_LEFT ? SB_LINEUP : SB_LINEDOWN);
      return;
    case VK_UP:
    case VK_DOWN:
      OnScroll(window, state, SB_VERT, key == VK_UP ? SB_LINEUP : SB_LINEDOWN);
      return;
    case VK_PRIOR:
    case VK_NEXT:
      OnScroll(window, state, SB_VERT, key == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN);
      return;
    default:
      return;
  }
}

LRESULT OnGetPictureRect(HWND window, const PictureViewState* state, RECT* out) {
  if (!state->hasPicture || out == nullptr) return 0;
  const PictureLayout layout = CurrentLayout(window, state);
  out->left = static_cast<LONG>(layout.left);
  out->top = static_cast<LONG>(layout.top);
  out->right = static_cast<LONG>(layout.left + layout.drawn.width);
  out->bottom = static_cast<LONG>(layout.top + layout.drawn.height);
  return 1;
}

// The system's message font, which the system measures at its own
// resolution, made in proportion for the monitor's.
HFONT CreateCaptionFont(std::uint32_t dpi) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  metrics.lfMessageFont.lfHeight = ScaleBetweenDpi(metrics.lfMessageFont.lfHeight, SystemDpi(), dpi);
  return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

int TextHeight(HWND window, HFONT font) {
  HDC dc = ::GetDC(window);
  HGDIOBJ previous = ::SelectObject(dc, font);
  TEXTMETRICW text = {};
  ::GetTextMetricsW(dc, &text);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  return text.tmHeight;
}

// The font, the caption line, the checkerboard and the scroll steps for a
// resolution; the picture is laid out and drawn again with them.
LRESULT OnSetDpi(HWND window, PictureViewState* state, std::uint32_t dpi) {
  if (dpi != 0 && dpi != state->dpi) {
    HFONT font = CreateCaptionFont(dpi);
    if (font != nullptr) {
      if (state->font != nullptr) ::DeleteObject(state->font);
      state->font = font;
      state->dpi = dpi;
      state->metrics = PictureMetricsForDpi(dpi);
      state->captionBand = CaptionBandHeight(TextHeight(window, font), state->metrics.captionPadding);
      Refresh(window, state);
    }
  }
  return state->captionBand;
}

void OnCreate(HWND window) {
  auto* state = new PictureViewState;
  ::SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));
  OnSetDpi(window, state, WindowDpi(window));
  OnSetPicture(window, state, nullptr);
}

void OnNcDestroy(HWND window, PictureViewState* state) {
  // A decode still running for this window must not post to it; a result
  // it left, or leaves later, is freed by the mailbox.
  state->latestDecode->store(state->generation + 1);
  state->mailbox->Close();
  ::DeleteObject(state->font);
  delete state;
  ::SetWindowLongPtrA(window, 0, 0);
}

// The sentence when even building the memory sentence fails.
constexpr wchar_t kNoMemoryText[] = L"There is not enough memory to show the picture.";

// A failed allocation while handling a message: the view says so and shows
// no picture; the state it keeps stays usable for the next snapshot.
void ShowOutOfMemory(HWND window, PictureViewState* state) noexcept {
  state->hasPicture = false;
  state->width = state->height = 0;
  state->decoded.reset();
  try {
    SetText(window, state, NotEnoughMemorySentence(state->kind));
  } catch (const std::exception&) {
    state->text.clear();
    ::SetWindowTextW(window, kNoMemoryText);
  }
  ::InvalidateRect(window, nullptr, FALSE);
}

LRESULT Dispatch(HWND window, PictureViewState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PVM_SETPICTURE:
      OnSetPicture(window, state, reinterpret_cast<const PictureRecord*>(lParam));
      return 0;
    case PVM_DECODED:
      OnDecoded(window, state);
      return 0;
    case PVM_ZOOM:
      OnZoom(window, state, wParam);
      return 0;
    case PVM_GETPICTURERECT:
      return OnGetPictureRect(window, state, reinterpret_cast<RECT*>(lParam));
    case PVM_SETDPI:
      return OnSetDpi(window, state, static_cast<std::uint32_t>(wParam));
    case WM_SIZE:
      Refresh(window, state);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_PAINT:
      OnPaint(window, state);
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      OnScroll(window, state, message == WM_HSCROLL ? SB_HORZ : SB_VERT, wParam);
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(window, state, wParam);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(window, state, wParam);
      return 0;
    case WM_LBUTTONDOWN:
      ::SetFocus(window);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_NCDESTROY:
      OnNcDestroy(window, state);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PictureViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_CREATE) {
      OnCreate(window);
      return 0;
    }
    PictureViewState* state = StateOf(window);
    if (state == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    return Dispatch(window, state, message, wParam, lParam);
  } catch (const std::exception&) {
    // Only allocations throw here: the view says so instead of ending the
    // program. A view that could not even make its state is not created.
    PictureViewState* state = StateOf(window);
    if (message == WM_CREATE) return -1;
    if (state != nullptr) ShowOutOfMemory(window, state);
    return 0;
  }
}
