#include "dumpview/viewstate.h"

#include <cstdlib>
#include <cstring>

#include "app/dpiscale.h"

namespace {

DumpViewStateAllocator g_allocator = nullptr;

std::uint32_t ClampFontHeight(std::uint64_t height) {
  if (height < kMinFontHeight) return kMinFontHeight;
  if (height > kMaxFontHeight) return kMaxFontHeight;
  return static_cast<std::uint32_t>(height);
}

void InitScrollRecord(ScrollRecord& record, std::int32_t lastPosition) {
  record = ScrollRecord{sizeof(ScrollRecord), kScrollRecordMask, 0, lastPosition, 0, 0, 0};
}

}  // namespace

std::uint32_t FontHeightFromCreateParam(std::uintptr_t createParam, std::int32_t twelvePointHeight) {
  if (createParam != 0) return ClampFontHeight(createParam);
  // MulDiv answers -1 when it fails.
  return ClampFontHeight(twelvePointHeight < 0 ? 0 : static_cast<std::uint64_t>(twelvePointHeight));
}

std::uint32_t FontHeightForDpi(const DumpViewState& state, std::uint32_t dpi) {
  const int scaled = ScaleBetweenDpi(static_cast<int>(state.baseFontHeight), state.baseDpi, dpi);
  return ClampFontHeight(scaled < 0 ? 0 : static_cast<std::uint64_t>(scaled));
}

void InitDumpViewState(DumpViewState& state, std::uint32_t fontHeight, const DefaultColors& colors,
                       bool ntPlatform) {
  state.fontHeight = fontHeight;
  state.baseFontHeight = fontHeight;
  InitScrollRecord(state.hScroll, static_cast<std::int32_t>(kLastGridColumn));
  InitScrollRecord(state.vScroll, 0);
  state.data = nullptr;
  state.dataLength = 0;
  state.codePage = kDefaultCodePage;
  state.caret = 0;
  state.flags = 0;
  state.backColor = colors.back;
  state.textColor = colors.text;
  state.headerBackColor = colors.headerBack;
  state.headerTextColor = colors.headerText;
  state.selBackColor = colors.selBack;
  state.selTextColor = colors.selText;
  if (ntPlatform) {
    state.scrollFlags = static_cast<std::uint8_t>(state.scrollFlags | WheelFromSystem);
  } else {
    state.scrollFlags = static_cast<std::uint8_t>(state.scrollFlags & ~WheelFromSystem);
  }
}

DumpViewState* AllocateDumpViewState() {
  void* memory = g_allocator ? g_allocator(sizeof(DumpViewState)) : std::malloc(sizeof(DumpViewState));
  if (memory == nullptr) return nullptr;
  std::memset(memory, 0, sizeof(DumpViewState));
  return static_cast<DumpViewState*>(memory);
}

void FreeDumpViewState(DumpViewState* state) { std::free(state); }

void SetDumpViewStateAllocator(DumpViewStateAllocator allocator) { g_allocator = allocator; }
