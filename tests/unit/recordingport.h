// A DumpViewPort for the unit tests that records every platform call in
// order, as one readable line each, and behaves like the real window where
// the logic depends on it: SendScroll re-enters the control's scroll handler
// before it returns, exactly as SendMessageA does, with the position cut to
// the 16-bit word of the message and the wide position armed beside it.
//
// Lines:
//   SetCaretPos x y | ShowCaret | HideCaret | CreateCaret w h | DestroyCaret
//   SetScrollInfo V|H min max page pos
//   Redraw INVALIDATE|ERASE|UPDATENOW|FRAME   (the flags given, in this order)
//   Send WM_VSCROLL|WM_HSCROLL code word      (word: the message's high word)
//   SetFocus | SetCapture | ReleaseCapture | SetTimer id period | KillTimer id
//
// SetFocus runs the control's focus handler when the control lacks the focus,
// as the real call does. Shift, the client size and the wheel setting are
// what the test sets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dumpview/caret.h"
#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"
#include "dumpview/scrolling.h"
#include "dumpview/viewstate.h"

using Lines = std::vector<std::string>;

class RecordingPort : public DumpViewPort {
 public:
  // state: the record the re-entered scroll handler works on (null: sends
  // are only recorded).
  explicit RecordingPort(DumpViewState* state = nullptr) : state_(state) {}

  Lines lines;
  bool shift = false;
  ClientSize client{640, 400};
  std::uint32_t wheelLines = 3;
  // Called after a SetScrollInfo is recorded, as the system may resize the
  // window when it shows or hides a scroll bar (nested WM_SIZE).
  std::function<void(ScrollBar)> onPublish;

  void Clear() { lines.clear(); }

  // Only the lines that start with prefix.
  Lines Only(const std::string& prefix) const {
    Lines out;
    for (const std::string& line : lines) {
      if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    }
    return out;
  }

  void SetCaretPos(std::int32_t x, std::int32_t y) override {
    lines.push_back("SetCaretPos " + std::to_string(x) + " " + std::to_string(y));
  }
  void ShowCaret() override { lines.push_back("ShowCaret"); }
  void HideCaret() override { lines.push_back("HideCaret"); }
  void CreateCaret(std::int32_t width, std::int32_t height) override {
    lines.push_back("CreateCaret " + std::to_string(width) + " " + std::to_string(height));
  }
  void DestroyCaret() override { lines.push_back("DestroyCaret"); }

  void PublishScrollInfo(ScrollBar bar, const ScrollRecord& record) override {
    lines.push_back(std::string("SetScrollInfo ") + (bar == ScrollBar::Vertical ? "V " : "H ") +
                    std::to_string(record.nMin) + " " + std::to_string(record.nMax) + " " +
                    std::to_string(record.nPage) + " " + std::to_string(record.nPos));
    if (onPublish) onPublish(bar);
  }

  void Redraw(std::uint32_t flags) override {
    std::string line = "Redraw";
    if (flags & RedrawInvalidate) line += " INVALIDATE";
    if (flags & RedrawErase) line += " ERASE";
    if (flags & RedrawUpdateNow) line += " UPDATENOW";
    if (flags & RedrawFrame) line += " FRAME";
    lines.push_back(line);
  }

  void SendScroll(ScrollBar bar, std::uint32_t code, std::uint32_t position) override {
    const auto word = static_cast<std::uint16_t>(position & 0xFFFFu);
    lines.push_back(std::string("Send ") + (bar == ScrollBar::Vertical ? "WM_VSCROLL " : "WM_HSCROLL ") +
                    std::to_string(code) + " " + std::to_string(word));
    if (state_ == nullptr) return;
    if (code == ScrollThumbTrack) ArmWideThumbTrack(*state_, bar, position);
    OnScrollMessage(*this, *state_, bar, code, word, nullptr);
    DisarmWideThumbTrack(*state_);
  }

  bool ShiftDown() override { return shift; }
  void TakeFocus() override {
    lines.push_back("SetFocus");
    if (state_ != nullptr && (state_->flags & HasFocus) == 0) GainFocus(*this, *state_);
  }
  void CaptureMouse() override { lines.push_back("SetCapture"); }
  void ReleaseMouse() override { lines.push_back("ReleaseCapture"); }
  void StartTimer(std::uint32_t id, std::uint32_t milliseconds) override {
    lines.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(milliseconds));
  }
  void StopTimer(std::uint32_t id) override { lines.push_back("KillTimer " + std::to_string(id)); }
  ClientSize ClientArea() override { return client; }
  std::uint32_t WheelScrollLines() override { return wheelLines; }

 private:
  DumpViewState* state_;
};

// A record as WM_CREATE leaves it, for font height M.
inline DumpViewState MakeViewState(std::uint32_t fontHeight = 16) {
  DumpViewState state{};
  DefaultColors colors{0xFFFFFF, 0x000000, 0xC0C0C0, 0x101010, 0x800000, 0xFEFEFE};
  InitDumpViewState(state, fontHeight, colors, true);
  return state;
}

// A focusless view of font height 16 (cells 8 x 18 pixels, header band 24)
// showing length bytes in a client area of whole columns and rows, with the
// port's record cleared. The bytes are never read by the input logic.
struct RecordedView {
  DumpViewState state = MakeViewState(16);
  RecordingPort port{&state};

  RecordedView(std::uint32_t length, std::uint32_t columns, std::uint32_t rows) {
    static const std::uint8_t kByte = 0;
    port.client = ClientSize{8 * columns, 24 + 18 * rows};
    HandleSetData(port, state, &kByte, length, port.client.width, port.client.height);
    port.Clear();
  }
  void Focus() {
    GainFocus(port, state);
    port.Clear();
  }
};
