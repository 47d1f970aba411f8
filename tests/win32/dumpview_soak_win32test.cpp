// A seeded soak of the real dump view: random keys (with a real Shift state),
// clicks, drags with autoscroll ticks and the pointer outside the window, the
// wheel, focus changes, resizes down to nothing, new data of 0 bytes to 2 MiB,
// code pages, selections, carets and searches, well-formed and not, sent to a
// view in a real parent. After every message the caret, the selection and the
// scroll bars must agree with the data and the client size; every so often
// the header band must repaint in a new colour. The messages go in equal
// rounds, and the process's GDI and USER objects must not grow in every one.
//
// KELVANE_SOAK_MESSAGES (default 3000) and KELVANE_SOAK_SEED (default 1) set
// the run; scripts/soak.sh runs 100,000. A failure names the seed, the
// message and the messages before it, which the same seed sends again.
//
// DVM_SETCARET holds a caret past the data to the data's end. The soak sends
// such a caret now and then, goes on with up to seven random messages while
// checking only what no caret can touch (page sizes, the horizontal
// position, the code page, painting), then puts the caret back with a
// DVM_SETSEL inside the data and checks everything again.
//
// The autoscroll timers' ticks are sent as WM_TIMER 500-503 at random while a
// drag holds the capture; the ticks of the real timers are dropped, so that a
// seed always sends the same messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dumpview/dumpview.h"
#include "dumpview_host.h"
#include "objectcounts.h"
#include "testsupport.h"

namespace {

using dumpviewtest::ViewHost;
using testsupport::Random;
using Bytes = std::vector<std::uint8_t>;

constexpr unsigned kMessagesPerView = 2500;  // then a new view, with another font height
constexpr unsigned kPaintEvery = 50;
constexpr unsigned kPumpEvery = 20;
constexpr std::size_t kLogLength = 24;
constexpr int kCachedDcs = 4;
constexpr std::uint32_t kMiB = 1u << 20;

// Font heights of the views after the first: the smallest the control
// takes, odd ones, and 0 for 12 points at the screen's resolution.
constexpr std::uintptr_t kFontParams[] = {0, 2, 3, 5, 9, 12, 16, 16, 24, 33};
constexpr UINT kCodePages[] = {932, 51932, 1200, 65001, 1252, 0, 437, 0x1FDE9, 0xFFFF, 50220};
constexpr WPARAM kKeys[] = {VK_HOME,  VK_END,  VK_LEFT,   VK_RIGHT, VK_UP, VK_DOWN,
                            VK_PRIOR, VK_NEXT, VK_INSERT, 'A',      VK_F5, VK_SHIFT};

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// The geometry of a font height, as the control lays itself out.
struct Geometry {
  std::uint32_t cellWidth, rowGap, rowPitch, headerBand;
  explicit Geometry(std::uint32_t m)
      : cellWidth(m / 2), rowGap(m / 8), rowPitch(m + m / 8), headerBand(3 * m / 2) {}
};

// Bytes of every kind: random, with runs of ASCII words now and then so
// that the searches find something.
Bytes MakeBytes(Random& random, std::uint32_t size) {
  Bytes bytes(size);
  for (std::uint32_t i = 0; i < size; i += 8) {
    std::uint64_t word = random.Next();
    for (std::uint32_t n = i; n < size && n < i + 8; ++n, word >>= 8)
      bytes[n] = static_cast<std::uint8_t>(word);
  }
  static const char kWords[] = "Kelvane dump soak ";
  for (std::uint32_t runs = size == 0 ? 0 : random.Below(8); runs > 0; --runs) {
    const std::uint32_t at = random.Below(size);
    for (std::uint32_t n = 0; at + n < size && n < sizeof(kWords) - 1; ++n) bytes[at + n] = kWords[n];
  }
  return bytes;
}

// A data size: empty, a few bytes, up to 64 KiB, up to 1 MiB, or past 1 MiB
// (more rows than a 16-bit scroll position holds).
std::uint32_t DataSize(Random& random) {
  const std::uint32_t kind = random.Below(100);
  if (kind < 8) return 0;
  if (kind < 35) return 1 + random.Below(64);
  if (kind < 75) return 1 + random.Below(65536);
  if (kind < 93) return 1 + random.Below(kMiB);
  return kMiB + 1 + random.Below(kMiB);
}

class Soak {
 public:
  explicit Soak(std::uint64_t seed) : random_(seed), seed_(seed) {}
  ~Soak() { SetShift(false); }

  // Runs count more messages, in a new view after Close; false (with a test
  // failure) at the first broken invariant.
  bool Run(unsigned count) {
    const unsigned end = sent_ + count;
    for (unsigned n = sent_; n < end; ++n) {
      sent_ = n;
      if (n % kMessagesPerView == 0 || host_ == nullptr)
        NewView(n == 0 ? 16 : kFontParams[random_.Below(std::size(kFontParams))]);
      if (n % kPumpEvery == kPumpEvery - 1) Pump();
      SendOne();
      if (!Check(wildLeft_ == 0)) return false;
      if (n % kPaintEvery == kPaintEvery - 1 && !CheckPaints()) return false;
    }
    sent_ = end;
    return CheckPaints();
  }

  void Close() {
    host_.reset();
    bytes_.clear();
    bytes_.shrink_to_fit();
  }

  unsigned sent() const { return sent_; }
  unsigned views() const { return views_; }
  std::uint32_t largest() const { return largest_; }
  unsigned matches() const { return matches_; }
  unsigned searches() const { return searches_; }

 private:
  // ------------------------------------------------------------ messages

  void Note(const std::string& what) {
    log_.push_back(std::to_string(sent_) + ": " + what);
    if (trace_) std::printf("%s\n", log_.back().c_str()), std::fflush(stdout);
    if (log_.size() > kLogLength) log_.pop_front();
  }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(host_->view(), message, wParam, lParam);
  }

  static void SetShift(bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
  }

  std::uint32_t Length() const { return static_cast<std::uint32_t>(bytes_.size()); }
  bool HoldsCapture() const { return ::GetCapture() == host_->view(); }

  // A position: mostly within the data, sometimes at its end, past it or
  // anywhere.
  std::uint32_t Position() {
    switch (random_.Below(8)) {
      case 0:
        return Length();
      case 1:
        return Length() + 1;
      case 2:
        return 0xFFFFFFFFu;
      case 3:
        return static_cast<std::uint32_t>(random_.Next());
      default:
        return random_.Below(Length() + 1);
    }
  }

  // A client point: mostly inside, sometimes around the window or anywhere a
  // signed 16-bit coordinate reaches.
  POINT Point() {
    const RECT client = host_->Client();
    const int reach = 8 * static_cast<int>(Geometry(fontHeight_).headerBand) + 64;
    const auto pick = [&](int size) {
      switch (random_.Below(6)) {
        case 0:
          return static_cast<int>(random_.Below(2 * reach + size + 1)) - reach;
        case 1:
          return static_cast<int>(static_cast<std::int16_t>(random_.Below(65536)));
        default:
          return size > 0 ? static_cast<int>(random_.Below(static_cast<std::uint32_t>(size))) : 0;
      }
    };
    return POINT{pick(client.right), pick(client.bottom)};
  }

  void NewView(std::uintptr_t fontParam) {
    host_.reset();
    host_ = std::make_unique<ViewHost>(400 + static_cast<int>(random_.Below(400)),
                                       200 + static_cast<int>(random_.Below(400)), fontParam);
    ++views_;
    codePage_ = 1252;
    wildLeft_ = 0;
    fontHeight_ = fontParam != 0 ? static_cast<std::uint32_t>(fontParam) : TwelvePoints();
    Note("new view, font parameter " + std::to_string(fontParam));
    SetData(MakeBytes(random_, DataSize(random_)));
  }

  static std::uint32_t TwelvePoints() {
    HDC dc = ::GetDC(nullptr);
    const int height = ::MulDiv(12, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, dc);
    return static_cast<std::uint32_t>(height);
  }

  // The old bytes stay alive until the view has the new ones.
  void SetData(Bytes next) {
    const bool none = next.empty() && random_.OneIn(2);
    Note("DVM_SETDATA " + std::to_string(next.size()) + (none ? " (null)" : ""));
    Send(DVM_SETDATA, none ? 0 : reinterpret_cast<WPARAM>(next.data()), static_cast<LPARAM>(next.size()));
    bytes_.swap(next);
    if (Length() > largest_) largest_ = Length();
    wildLeft_ = 0;
  }

  void Key() {
    const bool shift = random_.OneIn(2);
    const WPARAM key = kKeys[random_.Below(std::size(kKeys))];
    Note(std::string(shift ? "Shift+" : "") + "key " + Hex(key));
    SetShift(shift);
    Send(WM_KEYDOWN, key, 1);
    if (random_.OneIn(2)) Send(WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    if (random_.OneIn(8)) Send(WM_CHAR, 'a', 1);
  }

  void Button() {
    const POINT p = Point();
    const LPARAM at = MAKELPARAM(p.x, p.y);
    const bool shift = random_.OneIn(3);
    switch (random_.Below(6)) {
      case 0:
        Note("WM_LBUTTONUP " + std::to_string(p.x) + "," + std::to_string(p.y));
        Send(WM_LBUTTONUP, 0, at);
        return;
      case 1: {
        // Inside the client: a right-button release elsewhere would reach the
        // parent's default handling as a click on its caption, whose system
        // menu would wait for the user.
        const RECT client = host_->Client();
        const LPARAM inside = MAKELPARAM(random_.Below(static_cast<std::uint32_t>(client.right) + 1),
                                         random_.Below(static_cast<std::uint32_t>(client.bottom) + 1));
        static constexpr UINT kOthers[] = {WM_RBUTTONDOWN,   WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP,
                                           WM_LBUTTONDBLCLK, WM_XBUTTONDOWN, WM_XBUTTONUP};
        const UINT message = kOthers[random_.Below(std::size(kOthers))];
        Note("button message " + Hex(message) + " " + std::to_string(LOWORD(inside)) + "," +
             std::to_string(HIWORD(inside)));
        Send(message, 0, inside);
        return;
      }
      default:
        Note(std::string(shift ? "Shift+" : "") + "WM_LBUTTONDOWN " + std::to_string(p.x) + "," +
             std::to_string(p.y));
        Send(WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), at);
        if (random_.OneIn(3)) {
          Note("WM_LBUTTONUP at the same point");
          Send(WM_LBUTTONUP, 0, at);
        }
    }
  }

  void Drag() {
    if (HoldsCapture() && random_.OneIn(2)) {
      const WPARAM id = random_.OneIn(16) ? 7 : 500 + random_.Below(4);
      Note("WM_TIMER " + std::to_string(id));
      Send(WM_TIMER, id, 0);
      return;
    }
    const POINT p = Point();
    Note("WM_MOUSEMOVE " + std::to_string(p.x) + "," + std::to_string(p.y));
    Send(WM_MOUSEMOVE, HoldsCapture() ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
  }

  void Wheel() {
    static constexpr short kDeltas[] = {120, -120, 240, -240, 30, -30, 0};
    const short delta = kDeltas[random_.Below(std::size(kDeltas))];
    const WPARAM keys = random_.OneIn(2) ? MK_SHIFT : 0;
    Note(std::string(keys != 0 ? "Shift+" : "") + "wheel " + std::to_string(delta));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), MAKELPARAM(100, 100));
  }

  void Focus() {
    const std::uint32_t which = random_.Below(3);
    Note(which == 0 ? "focus to the view" : which == 1 ? "focus to the parent" : "focus to no window");
    ::SetFocus(which == 0 ? host_->view() : which == 1 ? host_->parent() : nullptr);
  }

  void Resize() {
    int width = 0;
    int height = 0;
    switch (random_.Below(5)) {
      case 0:
        break;  // nothing at all
      case 1:
        width = static_cast<int>(random_.Below(24));
        height = static_cast<int>(random_.Below(48));
        break;
      default:
        width = static_cast<int>(random_.Below(900));
        height = static_cast<int>(random_.Below(700));
    }
    Note("resize to " + std::to_string(width) + "x" + std::to_string(height));
    host_->ResizeView(width, height);
  }

  void CodePage() {
    const UINT codePage = random_.OneIn(8) ? static_cast<UINT>(random_.Next())
                                           : kCodePages[random_.Below(std::size(kCodePages))];
    Note("DVM_SETCODEPAGE " + std::to_string(codePage));
    Send(DVM_SETCODEPAGE, codePage, 0);
    codePage_ = codePage & 0xFFFFu;
  }

  void Selection() {
    const std::uint32_t caret = Position();
    const std::uint32_t anchor =
        random_.OneIn(2) ? Position() : random_.Below(caret == 0xFFFFFFFFu ? 1 : caret + 1);
    Note("DVM_SETSEL " + Hex(caret) + ", " + Hex(anchor));
    Send(DVM_SETSEL, caret, anchor);
  }

  void Caret() {
    if (random_.OneIn(3)) {
      const std::uint32_t wild = random_.OneIn(2) ? 0xFFFFFFFFu : Length() + 1 + random_.Below(0x7FFFFFFF);
      Note("DVM_SETCARET outside the data " + Hex(wild));
      Send(DVM_SETCARET, wild, 0);
      wildLeft_ = 1 + random_.Below(8);
      return;
    }
    const std::uint32_t caret = random_.Below(Length() + 1);
    Note("DVM_SETCARET " + Hex(caret));
    Send(DVM_SETCARET, caret, 0);
  }

  // After a caret outside the data: a selection inside it.
  void PutCaretBack() {
    const std::uint32_t caret = random_.Below(Length() + 1);
    const std::uint32_t anchor = random_.Below(caret + 1);
    Note("DVM_SETSEL back inside " + Hex(caret) + ", " + Hex(anchor));
    Send(DVM_SETSEL, caret, anchor);
  }

  // A pattern: a piece of the data (so that it is found), or random bytes.
  Bytes Pattern() {
    const std::uint32_t length = random_.Below(9);
    if (Length() > 0 && random_.OneIn(2)) {
      const std::uint32_t at = random_.Below(Length());
      const std::uint32_t end = at + length < Length() ? at + length : Length();
      return Bytes(bytes_.begin() + at, bytes_.begin() + end);
    }
    return MakeBytes(random_, length);
  }

  WPARAM SearchFlags() { return random_.Below(4) | (random_.OneIn(8) ? 0xFFF0u : 0u); }

  void FindBytes() {
    Bytes pattern = Pattern();
    DumpFindBytes find{sizeof(DumpFindBytes), pattern.data(), static_cast<UINT>(pattern.size()), Position(),
                       Position()};
    if (pattern.empty()) find.pattern = reinterpret_cast<const BYTE*>("");
    const WPARAM flags = SearchFlags();
    LPARAM record = reinterpret_cast<LPARAM>(&find);
    switch (random_.Below(12)) {
      case 0:
        record = 0;
        break;
      case 1:
        find.pattern = nullptr;
        break;
      case 2:
        find.size = random_.Below(64);
        break;
      default:
        break;
    }
    Note("DVM_FINDBYTES flags " + Hex(flags) + ", " + std::to_string(pattern.size()) + " bytes, " +
         Hex(find.start) + ".." + Hex(find.end) + (record == 0 ? ", no record" : "") +
         (find.pattern == nullptr ? ", no pattern" : "") + ", size " + std::to_string(find.size));
    const auto index = static_cast<std::uint32_t>(Send(DVM_FINDBYTES, flags, record));
    ++searches_;
    if (index == 0xFFFFFFFFu) return;
    ++matches_;
    // A match is a match, and lies where the range allows.
    const bool backward = (flags & DVFIND_BACKWARD) != 0;
    const bool inRange =
        backward ? index >= find.start && index <= find.end
                 : index >= find.start && static_cast<std::uint64_t>(index) + find.length <= find.end;
    if (static_cast<std::uint64_t>(index) + pattern.size() > Length() || pattern.empty() || !inRange ||
        std::memcmp(bytes_.data() + index, pattern.data(), pattern.size()) != 0) {
      failure_ = "DVM_FINDBYTES answered " + Hex(index) + ", which is no match in the range";
    }
  }

  void FindText() {
    static const char* const kTexts[] = {"Kelvane",  "soak",      "k",        "",    "dump soak Kelvane",
                                         "\x82\xA0", "\xE9t\xE9", "\x81\x40", "\x8D"};
    const char* text = kTexts[random_.Below(std::size(kTexts))];
    DumpFindText find{sizeof(DumpFindText), text, Position(), Position()};
    const WPARAM flags = SearchFlags();
    LPARAM record = reinterpret_cast<LPARAM>(&find);
    switch (random_.Below(12)) {
      case 0:
        record = 0;
        break;
      case 1:
        find.text = nullptr;
        break;
      case 2:
        find.size = random_.Below(64);
        break;
      default:
        break;
    }
    Note("DVM_FINDTEXT flags " + Hex(flags) + ", text of " + std::to_string(std::strlen(text)) + " bytes, " +
         Hex(find.start) + ".." + Hex(find.end) + (record == 0 ? ", no record" : "") +
         (find.text == nullptr ? ", no text" : "") + ", size " + std::to_string(find.size));
    ++searches_;
    if (static_cast<std::uint32_t>(Send(DVM_FINDTEXT, flags, record)) != 0xFFFFFFFFu) ++matches_;
  }

  void Color() {
    const WPARAM index = random_.Below(8);
    if (random_.OneIn(2)) {
      Note("DVM_GETCOLOR " + std::to_string(index));
      Send(DVM_GETCOLOR, index, 0);
      return;
    }
    const COLORREF color = static_cast<COLORREF>(random_.Next() & 0xFFFFFF);
    Note("DVM_SETCOLOR " + std::to_string(index) + ", " + Hex(color));
    Send(DVM_SETCOLOR, index, static_cast<LPARAM>(color));
  }

  // Dispatches what has arrived, the real autoscroll ticks aside.
  void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd == host_->view()) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }

  void SendOne() {
    if (wildLeft_ > 0 && --wildLeft_ == 0) {
      PutCaretBack();
      return;
    }
    const std::uint32_t pick = random_.Below(100);
    if (pick < 22) return Key();
    if (pick < 34) return Button();
    if (pick < 50) return Drag();
    if (pick < 57) return Wheel();
    if (pick < 61) return Focus();
    if (pick < 66) return Resize();
    if (pick < 70) return SetData(MakeBytes(random_, DataSize(random_)));
    if (pick < 74) return CodePage();
    if (pick < 80) return Selection();
    if (pick < 86) return Caret();
    if (pick < 92) return FindBytes();
    if (pick < 96) return FindText();
    return Color();
  }

  // ---------------------------------------------------------- invariants

  bool Fail(const std::string& what) {
    std::string recent;
    for (const std::string& line : log_) recent += "  " + line + "\n";
    ADD_FAILURE() << what << "\nafter message " << sent_ << " of seed " << seed_ << ", font height "
                  << fontHeight_ << ", " << Length() << " bytes; the last messages:\n"
                  << recent;
    return false;
  }

  // What the view tells through its messages and scroll bars. With full set,
  // the caret, the selection and the vertical position must lie within the
  // data too.
  bool Check(bool full) {
    if (!failure_.empty()) return Fail(failure_);
    const HWND view = host_->view();
    if (!::IsWindow(view)) return Fail("the view is gone");
    const DumpViewState& s = host_->state();
    const RECT client = host_->Client();
    const SCROLLINFO v = host_->ScrollInfo(SB_VERT);
    const SCROLLINFO h = host_->ScrollInfo(SB_HORZ);
    const std::uint32_t lastRow = Length() / 16;
    const Pages pages = PagesOf(client.right, client.bottom);

    if (s.fontHeight != fontHeight_) return Fail("font height " + std::to_string(s.fontHeight));
    if (Send(DVM_GETCODEPAGE, 0, 0) != static_cast<LRESULT>(codePage_)) return Fail("the code page changed");
    if (v.nMin != 0 || static_cast<std::uint32_t>(v.nMax) != lastRow)
      return Fail("vertical range " + std::to_string(v.nMin) + ".." + std::to_string(v.nMax));
    if (h.nMin != 0 || h.nMax != 78)
      return Fail("horizontal range " + std::to_string(h.nMin) + ".." + std::to_string(h.nMax));
    if ((v.nPage != pages.rows || h.nPage != pages.columns) && !UnsettledBarsExplain(v.nPage, h.nPage)) {
      return Fail("pages " + std::to_string(v.nPage) + " x " + std::to_string(h.nPage) + " in a client of " +
                  std::to_string(client.right) + " x " + std::to_string(client.bottom) + " pixels, not " +
                  std::to_string(pages.rows) + " x " + std::to_string(pages.columns));
    }
    const auto leftColumn = static_cast<std::uint32_t>(s.hScroll.nPos);
    if (static_cast<std::uint64_t>(leftColumn) + h.nPage > 79)
      return Fail("leftColumn " + std::to_string(leftColumn) + " with " + std::to_string(h.nPage) +
                  " columns");
    if (s.vScroll.nPage != v.nPage || s.hScroll.nPage != h.nPage)
      return Fail("the scroll bars were not told the pages");
    // No autoscroll timer outlives the drag.
    if ((s.flags & ::Dragging) == 0 && (s.scrollFlags & (VAutoSpeedMask | HAutoScroll)) != 0)
      return Fail("autoscroll flags " + Hex(s.scrollFlags) + " without a drag");
    if (!full) return true;

    const auto caret = static_cast<std::uint32_t>(Send(DVM_GETCARET, 0, 0));
    if (caret > Length()) return Fail("caret " + Hex(caret));
    UINT first = 7, last = 7;
    const LRESULT any = Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    if (any != 0 ? (first > last || last >= Length()) : (first != 0 || last != 0))
      return Fail("selection " + std::to_string(any) + ": " + Hex(first) + ".." + Hex(last));
    // The system clamps the position it shows; the control's own is read.
    const auto topRow = static_cast<std::uint32_t>(s.vScroll.nPos);
    if (topRow > lastRow)
      return Fail("topRow " + std::to_string(topRow) + " past lastRow " + std::to_string(lastRow));
    return true;
  }

  // The pages of a client area and the scroll bars that the system shows for
  // them (a bar that can't scroll is hidden).
  struct Pages {
    std::uint32_t rows, columns;
    bool vBar, hBar;
  };
  Pages PagesOf(LONG width, LONG height) const {
    const Geometry g(fontHeight_);
    const std::uint32_t lastRow = Length() / 16;
    // Unsigned on purpose: a client lower than the header band shows every row.
    const std::uint32_t rows = (static_cast<std::uint32_t>(height) - g.headerBand) / g.rowPitch;
    const std::uint32_t columns = static_cast<std::uint32_t>(width) / g.cellWidth;
    Pages pages;
    pages.rows = rows > lastRow ? lastRow + 1 : rows;
    pages.columns = columns > 78 ? 79 : columns;
    pages.vBar = lastRow > 0 && pages.rows <= lastRow;
    pages.hBar = pages.columns <= 78;
    return pages;
  }

  // In a window too low for the header band, a row and a scroll bar, it may
  // be that no arrangement of the two scroll bars leaves a client whose pages
  // ask for that same arrangement: each bar shown takes the room that hides
  // the other. Then the pages may be those of an arrangement the bars have
  // just left. Answers whether that explains the pages given.
  bool UnsettledBarsExplain(std::uint32_t rows, std::uint32_t columns) const {
    RECT window = {};
    ::GetWindowRect(host_->view(), &window);
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const LONG barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    bool rowsFit = false;
    bool columnsFit = false;
    for (const bool vBar : {false, true}) {
      for (const bool hBar : {false, true}) {
        const Pages pages = PagesOf(std::max(0L, width - (vBar ? barWidth : 0)),
                                    std::max(0L, height - (hBar ? barHeight : 0)));
        if (pages.vBar == vBar && pages.hBar == hBar) return false;  // the bars can settle
        rowsFit = rowsFit || pages.rows == rows;
        columnsFit = columnsFit || pages.columns == columns;
      }
    }
    return rowsFit && columnsFit;
  }

  // A new header colour must reach the screen at the next repaint.
  bool CheckPaints() {
    const RECT client = host_->Client();
    const Geometry g(fontHeight_);
    if (client.right < 2 || client.bottom < static_cast<LONG>(g.headerBand)) return true;
    const COLORREF color = RGB(random_.Below(256), random_.Below(256), ++paints_ & 0xFF);
    Send(DVM_SETCOLOR, DVC_HEADERBACK, static_cast<LPARAM>(color));
    ::UpdateWindow(host_->view());
    HDC dc = ::GetDC(host_->view());
    // The strip between the header text and the first row is header background.
    const COLORREF shown = ::GetPixel(dc, 1, static_cast<int>(g.headerBand) - 1);
    ::ReleaseDC(host_->view(), dc);
    if (shown != color) return Fail("the header band shows " + Hex(shown) + " instead of " + Hex(color));
    return true;
  }

  Random random_;
  std::uint64_t seed_;
  std::unique_ptr<ViewHost> host_;
  Bytes bytes_;
  std::uint32_t fontHeight_ = 16;
  std::uint32_t codePage_ = 1252;
  unsigned wildLeft_ = 0;
  unsigned sent_ = 0;
  unsigned views_ = 0;
  unsigned paints_ = 0;
  unsigned searches_ = 0;
  unsigned matches_ = 0;
  std::uint32_t largest_ = 0;
  std::string failure_;
  std::deque<std::string> log_;
  bool trace_ = testsupport::EnvCount("KELVANE_SOAK_TRACE", 0) != 0;
};

// The system keeps the device contexts that GetDC hands out and reuses them,
// making one more (with a region) whenever all it keeps are in use at once;
// the most ever in use at once stay. The caret blinks on a timer of its own
// and draws through one, so how many the soak needs at once depends on the
// moment. Holding more at once before the counts are taken makes the cache as
// large as the soak can need.
void FillDcCache(HWND window) {
  HDC dcs[kCachedDcs];
  for (HDC& dc : dcs) dc = ::GetDC(window);
  for (HDC dc : dcs) ::ReleaseDC(window, dc);
}

// What the system makes on first use and keeps is made before the counts are
// taken: the shared parent, the scroll bars' arrows (both bars shown), a
// caret of each shape, the window DCs, and whatever a few random messages
// need.
void WarmUp(std::uint64_t seed) {
  Soak random(seed + 1000);
  random.Run(kPaintEvery);
  random.Close();
  const ViewHost host(100, 100);
  const Bytes bytes(5000);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  ::SetFocus(host.view());
  host.Send(WM_KEYDOWN, VK_INSERT, 1);
  ::UpdateWindow(host.view());
  host.Send(WM_KEYDOWN, VK_INSERT, 1);
  ::SetFocus(host.parent());
  FillDcCache(host.view());
}

struct Objects {
  std::uint32_t gdi;
  std::uint32_t user;
  std::string gdiKinds;
};

// The counts once pending paints and messages are through: the system makes
// and drops regions of its own while windows repaint.
Objects SettledObjects() {
  Objects now{0, 0, {}};
  for (int round = 0; round < 5; ++round) {
    testsupport::PumpMessages(20);
    const Objects next{testsupport::GdiObjects(), testsupport::UserObjects(), testsupport::GdiObjectKinds()};
    if (round > 0 && next.gdi == now.gdi && next.user == now.user) break;
    now = next;
  }
  return now;
}

}  // namespace

// The messages go in equal rounds, each ending with the view closed: a leak
// grows the counts in every round.
constexpr unsigned kRounds = 3;

TEST(DumpViewSoak, SeededRandomMessagesKeepTheViewConsistent) {
  const unsigned count = testsupport::EnvCount("KELVANE_SOAK_MESSAGES", 3000);
  const unsigned seed = testsupport::EnvCount("KELVANE_SOAK_SEED", 1);
  ::SetCursorPos(1270, 1010);  // away from the view: Wine moves the pointer there when a capture ends
  WarmUp(seed);
  Soak soak(seed);
  const DWORD start = ::GetTickCount();
  std::vector<Objects> rounds;
  std::string printed;
  for (unsigned round = 0; round < kRounds; ++round) {
    const bool passed = soak.Run((count + kRounds - 1) / kRounds);
    soak.Close();
    rounds.push_back(SettledObjects());
    printed += (round == 0 ? "" : " -> ") + std::to_string(rounds.back().gdi) + "/" +
               std::to_string(rounds.back().user);
    if (!passed) break;
  }
  const double seconds = (::GetTickCount() - start) / 1000.0;

  std::printf(
      "soak: %u of %u messages (seed %u) in %.1f s over %u views, largest data %u bytes, %u searches "
      "(%u found); GDI/USER objects after each of %u rounds: %s\n",
      soak.sent(), count, seed, seconds, soak.views(), soak.largest(), soak.searches(), soak.matches(),
      kRounds, printed.c_str());
  std::vector<double> gdi, user;
  for (const Objects& now : rounds) {
    gdi.push_back(now.gdi);
    user.push_back(now.user);
  }
  EXPECT_LE(testsupport::SmallestGrowth(gdi), 0)
      << rounds.front().gdiKinds << " -> " << rounds.back().gdiKinds;
  EXPECT_LE(testsupport::SmallestGrowth(user), 0);
}
