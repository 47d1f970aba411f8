#include "dumpframe/viewcommands.h"

#include "app/resource.h"
#include "app/virtualkeys.h"

std::uint32_t ViewCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  if (!ctrl || alt) return 0;
  // Plus needs Shift on many layouts and none on others: take it either way.
  switch (virtualKey) {
    case KeyPlus:
    case KeyPadPlus:
      return ID_VIEW_ZOOM_IN;
    case KeyMinus:
    case KeyPadMinus:
      return ID_VIEW_ZOOM_OUT;
    default:
      break;
  }
  if (shift) return 0;
  switch (virtualKey) {
    case '1':
      return ID_VIEW_BYTES;
    case '2':
      return ID_VIEW_PICTURE;
    case '0':
    case KeyPadZero:
      return ID_VIEW_ZOOM_FIT;
    default:
      return 0;
  }
}

bool CommandActsOnBytes(std::uint32_t command) {
  return (command >= ID_ENCODING_CP1252 && command <= ID_ENCODING_UTF8) ||
         (command >= ID_EDIT_COPY && command <= ID_EDIT_GOTO);
}

bool IsZoomCommand(std::uint32_t command) { return ZoomRequestOfCommand(command) != 0; }

std::uint32_t ZoomRequestOfCommand(std::uint32_t command) {
  switch (command) {
    case ID_VIEW_ZOOM_IN:
      return 1;
    case ID_VIEW_ZOOM_OUT:
      return 2;
    case ID_VIEW_ZOOM_FIT:
      return 3;
    default:
      return 0;
  }
}
