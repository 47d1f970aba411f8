#include "dumpframe/viewswitch_win32.h"

#include <initializer_list>

#include "app/resource.h"
#include "dumpframe/viewcommands.h"
#include "picture/pictureview.h"

HWND CreatePictureView(HWND frame) {
  return ::CreateWindowExA(WS_EX_CLIENTEDGE, PICTUREVIEW_CLASS_NAME, nullptr,
                           WS_CHILD | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0, frame, nullptr,
                           reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(frame, GWLP_HINSTANCE)), nullptr);
}

void CheckViewChoice(HMENU menu, bool picture) {
  ::CheckMenuRadioItem(menu, ID_VIEW_BYTES, ID_VIEW_PICTURE, picture ? ID_VIEW_PICTURE : ID_VIEW_BYTES,
                       MF_BYCOMMAND);
}

void GiveSnapshotToPicture(const FrameContext& context) {
  if (!context.choices.picture || context.pictureView == nullptr) return;
  const PictureRecord record = {context.snapshot,
                                context.snapshotLength,
                                context.format,
                                context.formatText != nullptr ? context.formatText : "",
                                context.facts->registeredName.c_str(),
                                context.facts->kind};
  ::SendMessageA(context.pictureView, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
}

bool ChooseView(FrameState& state, const FrameContext& context, bool picture) {
  CheckViewChoice(::GetMenu(context.frame), picture);
  if (picture == state.choices.picture) return false;
  state.choices.picture = picture;
  FrameContext chosen = context;
  chosen.choices.picture = picture;
  if (picture) {
    GiveSnapshotToPicture(chosen);
  } else if (context.pictureView != nullptr) {
    ::SendMessageA(context.pictureView, PVM_SETPICTURE, 0, 0);
  }
  return true;
}

void ZoomPicture(const FrameContext& context, std::uint32_t command) {
  const std::uint32_t zoom = ZoomRequestOfCommand(command);
  if (zoom != 0 && context.choices.picture && context.pictureView != nullptr)
    ::SendMessageA(context.pictureView, PVM_ZOOM, zoom, 0);
}

bool CommandIdleInThisView(std::uint32_t command, bool picture) {
  return picture ? CommandActsOnBytes(command) : IsZoomCommand(command);
}

void GreyMenuForView(HMENU menu, bool picture) {
  const auto set = [menu](std::uint32_t command, bool enabled) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  for (std::uint32_t command = ID_COPY; command <= ID_VIEW_ZOOM_FIT; ++command) {
    if (CommandIdleInThisView(command, picture)) set(command, false);
  }
  // Under the bytes, these are always on (the frame decides the other Edit
  // items by the selection and the last search).
  if (!picture) {
    for (std::uint32_t command : {ID_EDIT_FIND, ID_EDIT_GOTO}) set(command, true);
    for (std::uint32_t command = ID_ENCODING_CP1252; command <= ID_ENCODING_UTF8; ++command)
      set(command, true);
  } else {
    for (std::uint32_t command = ID_VIEW_ZOOM_IN; command <= ID_VIEW_ZOOM_FIT; ++command) set(command, true);
  }
  ::EnableMenuItem(::GetSubMenu(menu, kViewMenuPosition), kEncodingMenuPosition,
                   MF_BYPOSITION | (picture ? MF_GRAYED : MF_ENABLED));
}

bool ForwardWheelToPicture(const FrameContext& context, WPARAM wParam, LPARAM lParam) {
  if (!context.choices.picture || context.pictureView == nullptr) return false;
  ::SendMessageA(context.pictureView, WM_MOUSEWHEEL, wParam, lParam);
  return true;
}
