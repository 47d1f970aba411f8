#include "dumpframe/framelayout.h"

#include "app/resource.h"

std::uint16_t CodePageOfEncodingCommand(std::uint32_t command) {
  switch (command) {
    case ID_ENCODING_CP1252:
      return 1252;  // one character per byte
    case ID_ENCODING_SHIFT_JIS:
      return 932;
    case ID_ENCODING_EUC_JP:
      return 51932;
    case ID_ENCODING_UTF16LE:
      return 1200;
    case ID_ENCODING_UTF8:
      return 65001;
    default:
      return 0;
  }
}

ViewPlacement ViewPlacementOf(int clientWidth, int clientHeight, int statusBarHeight) {
  const int width = clientWidth > 0 ? clientWidth : 0;
  const int height = clientHeight > statusBarHeight ? clientHeight - statusBarHeight : 0;
  return ViewPlacement{0, 0, width, height};
}

FrameLayout FrameLayoutOf(int clientWidth, int clientHeight, int statusBarHeight) {
  const ViewPlacement view = ViewPlacementOf(clientWidth, clientHeight, statusBarHeight);
  return FrameLayout{view, view};
}

const char* SaveWriteErrorText(bool writeSucceeded, std::uint32_t written, std::uint32_t length) {
  if (writeSucceeded && written == length) return nullptr;
  return kFileWriteErrorText;
}
