#include "dumpframe/viewswitch_win32.h"

#include <initializer_list>

#include "app/resource.h"
#include "dumpframe/framedetails_win32.h"
#include "dumpframe/viewcommands.h"
#include "picture/pictureview.h"

// Module state: one frame at a time, and the choice outlives it.
static bool g_pictureChosen;
static HWND g_pictureView;

void CreatePictureView(HWND frame, const ViewPlacement& place) {
  g_pictureView =
      ::CreateWindowExA(WS_EX_CLIENTEDGE, PICTUREVIEW_CLASS_NAME, nullptr, WS_CHILD | WS_HSCROLL | WS_VSCROLL,
                        place.x, place.y, place.width, place.height, frame, nullptr,
                        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(frame, GWLP_HINSTANCE)), nullptr);
}

void MovePictureView(const ViewPlacement& place) {
  if (g_pictureView != nullptr)
    ::MoveWindow(g_pictureView, place.x, place.y, place.width, place.height, TRUE);
}

void SetPictureViewDpi(std::uint32_t dpi) {
  if (g_pictureView != nullptr) ::SendMessageA(g_pictureView, PVM_SETDPI, dpi, 0);
}

void ForgetPictureView() { g_pictureView = nullptr; }

void ApplyViewChoice(HWND frame, HWND dumpView) {
  HWND shown = g_pictureChosen ? g_pictureView : dumpView;
  HWND hidden = g_pictureChosen ? dumpView : g_pictureView;
  // The focus follows into the view now shown, so that its keys keep working.
  const bool hadFocus = hidden != nullptr && ::GetFocus() == hidden;
  if (shown != nullptr) ::ShowWindow(shown, SW_SHOWNORMAL);
  if (hidden != nullptr) ::ShowWindow(hidden, SW_HIDE);
  if (hadFocus && shown != nullptr) ::SetFocus(shown);
  ::CheckMenuRadioItem(::GetMenu(frame), ID_VIEW_BYTES, ID_VIEW_PICTURE,
                       g_pictureChosen ? ID_VIEW_PICTURE : ID_VIEW_BYTES, MF_BYCOMMAND);
}

void GiveSnapshotToPicture(const FrameContext& context) {
  if (!g_pictureChosen || g_pictureView == nullptr) return;
  const PictureRecord record = {context.snapshot,
                                context.snapshotLength,
                                context.format,
                                context.formatText != nullptr ? context.formatText : "",
                                context.facts.registeredName.c_str(),
                                context.facts.kind};
  ::SendMessageA(g_pictureView, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
}

bool PictureShown() { return g_pictureChosen; }

bool RunViewCommand(const FrameContext& context, std::uint32_t command) {
  if (command == ID_VIEW_BYTES || command == ID_VIEW_PICTURE) {
    const bool picture = command == ID_VIEW_PICTURE;
    const bool changed = picture != g_pictureChosen;
    g_pictureChosen = picture;
    // The Picture view is given the snapshot only while it is shown; a
    // hidden one keeps no decoded bitmap.
    if (changed) {
      if (picture) {
        GiveSnapshotToPicture(context);
      } else if (g_pictureView != nullptr) {
        ::SendMessageA(g_pictureView, PVM_SETPICTURE, 0, 0);
      }
      // "At the caret" belongs to the bytes: the pane drops or regains it.
      FrameDetailsSnapshot(context, !picture);
    }
    ApplyViewChoice(context.frame, context.dumpView);
    return true;
  }
  const std::uint32_t zoom = ZoomRequestOfCommand(command);
  if (zoom == 0) return false;
  if (g_pictureChosen && g_pictureView != nullptr) ::SendMessageA(g_pictureView, PVM_ZOOM, zoom, 0);
  return true;
}

bool CommandIdleInThisView(std::uint32_t command) {
  return g_pictureChosen ? CommandActsOnBytes(command) : IsZoomCommand(command);
}

void GreyMenuForView(HMENU menu) {
  const auto set = [menu](std::uint32_t command, bool enabled) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  for (std::uint32_t command = ID_COPY; command <= ID_VIEW_ZOOM_FIT; ++command) {
    if (CommandIdleInThisView(command)) set(command, false);
  }
  // Under the bytes, these are always on (the frame decides the other Edit
  // items by the selection and the last search).
  if (!g_pictureChosen) {
    for (std::uint32_t command : {ID_EDIT_FIND, ID_EDIT_GOTO}) set(command, true);
    for (std::uint32_t command = ID_ENCODING_CP1252; command <= ID_ENCODING_UTF8; ++command)
      set(command, true);
  } else {
    for (std::uint32_t command = ID_VIEW_ZOOM_IN; command <= ID_VIEW_ZOOM_FIT; ++command) set(command, true);
  }
  ::EnableMenuItem(::GetSubMenu(menu, kViewMenuPosition), kEncodingMenuPosition,
                   MF_BYPOSITION | (g_pictureChosen ? MF_GRAYED : MF_ENABLED));
}

bool ForwardWheelToPicture(WPARAM wParam, LPARAM lParam) {
  if (!g_pictureChosen || g_pictureView == nullptr) return false;
  ::SendMessageA(g_pictureView, WM_MOUSEWHEEL, wParam, lParam);
  return true;
}
