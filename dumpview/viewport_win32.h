// The dump view's port on a real window: the system caret, the standard
// scroll bars, repaints, scroll messages the control sends itself, and the
// keyboard state, focus, mouse capture and timers of input.
#pragma once

#include <windows.h>

#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

class Win32DumpViewPort final : public DumpViewPort {
 public:
  Win32DumpViewPort(HWND window, DumpViewState& state) : window_(window), state_(state) {}

  void SetCaretPos(std::int32_t x, std::int32_t y) override;
  void ShowCaret() override;
  void HideCaret() override;
  void CreateCaret(std::int32_t width, std::int32_t height) override;
  void DestroyCaret() override;
  void PublishScrollInfo(ScrollBar bar, const ScrollRecord& record) override;
  void Redraw(std::uint32_t flags) override;
  void SendScroll(ScrollBar bar, std::uint32_t code, std::uint32_t position) override;
  bool ShiftDown() override;
  void TakeFocus() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void StartTimer(std::uint32_t id, std::uint32_t milliseconds) override;
  void StopTimer(std::uint32_t id) override;
  ClientSize ClientArea() override;
  std::uint32_t WheelScrollLines() override;

 private:
  HWND window_;
  DumpViewState& state_;
};

// The record of a dump view window, or null before WM_CREATE and after
// WM_NCDESTROY.
DumpViewState* DumpViewStateOf(HWND window);
