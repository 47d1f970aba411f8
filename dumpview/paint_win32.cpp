// The dump view's paint and erase on a real window: a canvas over a device
// context that the portable paint and erase plans draw through.
#include "dumpview/paint_win32.h"

#include "dumpview/canvas.h"
#include "dumpview/paint.h"
#include "encoding/cp932_win32.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 code units go to TextOutW unchanged");

void GdiCanvas::SetTextColor(ColorRef color) { ::SetTextColor(dc_, color); }
void GdiCanvas::SetBackColor(ColorRef color) { ::SetBkColor(dc_, color); }

namespace {

// Advances are handed to ExtTextOut in pieces of this many characters.
constexpr std::uint32_t kAdvanceRun = 64;

int AdvanceOf(HDC dc, UINT character) {
  INT advance = 0;
  if (!::GetCharWidth32W(dc, character, character, &advance)) return 0;
  return advance;
}

}  // namespace

GdiCanvas::GdiCanvas(HDC dc, std::uint32_t cellWidth)
    : dc_(dc),
      cellWidth_(static_cast<int>(cellWidth)),
      fitToCells_(cellWidth != 0 && AdvanceOf(dc, L'0') != static_cast<int>(cellWidth)) {}

int GdiCanvas::CellsOf(char16_t unit) const { return 2 * AdvanceOf(dc_, unit) >= 3 * cellWidth_ ? 2 : 1; }

void GdiCanvas::TextNarrow(std::int32_t x, std::int32_t y, const char* text, std::uint32_t count) {
  if (!fitToCells_) {
    ::TextOutA(dc_, x, y, text, static_cast<int>(count));
    return;
  }
  // The narrow texts are spaces and the header: one cell a character.
  INT advances[kAdvanceRun];
  for (std::uint32_t done = 0; done < count; done += kAdvanceRun) {
    const std::uint32_t run = count - done < kAdvanceRun ? count - done : kAdvanceRun;
    for (std::uint32_t n = 0; n < run; ++n) advances[n] = cellWidth_;
    ::ExtTextOutA(dc_, x + static_cast<int>(done) * cellWidth_, y, 0, nullptr, text + done,
                  static_cast<UINT>(run), advances);
  }
}

void GdiCanvas::TextWide(std::int32_t x, std::int32_t y, const char16_t* text, std::uint32_t count) {
  const wchar_t* units = reinterpret_cast<const wchar_t*>(text);
  if (!fitToCells_) {
    ::TextOutW(dc_, x, y, units, static_cast<int>(count));
    return;
  }
  INT advances[kAdvanceRun];
  for (std::uint32_t done = 0; done < count; done += kAdvanceRun) {
    const std::uint32_t run = count - done < kAdvanceRun ? count - done : kAdvanceRun;
    int width = 0;
    for (std::uint32_t n = 0; n < run; ++n) {
      advances[n] = CellsOf(text[done + n]) * cellWidth_;
      width += advances[n];
    }
    ::ExtTextOutW(dc_, x, y, 0, nullptr, units + done, static_cast<UINT>(run), advances);
    x += width;
  }
}

CanvasBrush* GdiCanvas::CreateBrush(ColorRef color) {
  return reinterpret_cast<CanvasBrush*>(::CreateSolidBrush(color));
}

void GdiCanvas::ReleaseBrush(CanvasBrush* brush) { ::DeleteObject(reinterpret_cast<HBRUSH>(brush)); }

// FillRect copies the brush whatever the mix mode; a region fill combines
// with the pixels by the mix mode, which the cell flip's XOR needs. Both would
// fill an inverted rectangle as if its corners were swapped; the canvas
// covers nothing then (such rectangles only arise for columns scrolled out of
// the client).
void GdiCanvas::Fill(const CanvasRect& rect, CanvasBrush* brush) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  HBRUSH solid = reinterpret_cast<HBRUSH>(brush);
  if (mode_ == MixMode::Copy) {
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &r, solid);
    return;
  }
  HRGN region = ::CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
  if (region == nullptr) return;
  ::FillRgn(dc_, region, solid);
  ::DeleteObject(region);
}

void GdiCanvas::SetMixMode(MixMode mode) {
  mode_ = mode;
  ::SetROP2(dc_, mode == MixMode::Xor ? R2_XORPEN : R2_COPYPEN);
}

// Through the system's table, which Copy as Text and the search read too; a
// byte or pair that it does not define shows the undefined character.
char16_t GdiCanvas::ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) {
  const SystemCp932* cp932 = SystemCp932Conversion();
  if (cp932 == nullptr) return kCp932Undefined;
  const char16_t unit =
      count == 2 ? cp932->decoded.pair[bytes[0] * 256u + bytes[1]] : cp932->decoded.single[bytes[0]];
  return unit == kReplacementChar ? kCp932Undefined : unit;
}

namespace {

ClientSize ClientSizeOf(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return ClientSize{static_cast<std::uint32_t>(client.right > 0 ? client.right : 0),
                    static_cast<std::uint32_t>(client.bottom > 0 ? client.bottom : 0)};
}

}  // namespace

void PaintDumpViewWindow(HWND window, const DumpViewState& state) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window, &ps);
  if (dc == nullptr) return;
  // Without a font of its own (CreateFontA failed) the context's default
  // font draws the cells.
  HGDIOBJ previousFont = nullptr;
  if (state.font != nullptr) previousFont = ::SelectObject(dc, static_cast<HFONT>(state.font));
  GdiCanvas canvas(dc, GeometryOf(state).cellWidth);
  PaintDumpView(canvas, state, ClientSizeOf(window));
  if (previousFont != nullptr) ::SelectObject(dc, previousFont);
  ::EndPaint(window, &ps);
}

bool EraseDumpViewWindow(HWND window, const DumpViewState& state, HDC dc) {
  GdiCanvas canvas(dc, GeometryOf(state).cellWidth);
  return EraseDumpView(canvas, state, ClientSizeOf(window));
}
