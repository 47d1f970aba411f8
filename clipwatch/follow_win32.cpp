// Follow the Clipboard: while it is on, each change refreshes the format
// browser's available list as Analyze would fill it, keeps the selected
// format selected while it is still there, and has an open dump window read
// its format again. It reads no other format, and nothing at all from a
// clipboard that asks monitors to leave it alone.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/clipboardformats.h"
#include "app/resource.h"
#include "browser/formatbrowser_win32.h"
#include "browser/formatnames.h"
#include "clipwatch/refreshpacing.h"
#include "clipwatch/watch_win32.h"
#include "clipwatch/watchcommands.h"
#include "dumpframe/dumpframe.h"

namespace {

HWND g_dialog = nullptr;
bool g_follow = false;
RefreshPacing g_pacing;
ClipboardListing g_latest;  // the latest listing the listener handed over
bool g_haveLatest = false;

// A timer fires to the millisecond at best: a refresh this close to its
// time is not put off again.
constexpr std::uint64_t kTimerSlackMs = 2;

std::uint64_t NowMs() { return ::GetTickCount64(); }

void ScheduleRefresh() {
  HWND listener = ClipboardListenerWindow();
  const std::optional<std::uint64_t> due = RefreshDueAt(g_pacing);
  if (listener == nullptr || !due.has_value()) return;
  const std::uint64_t now = NowMs();
  const std::uint64_t wait = *due > now ? *due - now : 0;
  ::SetTimer(listener, kFollowTimer, static_cast<UINT>(wait < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : wait),
             nullptr);
}

int AvailableItemOfFormat(std::uint32_t format) {
  const int count = static_cast<int>(::SendMessageA(g_availableList, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    if (ListItemFormat(g_availableList, item) == format) return item;
  }
  return -1;
}

void SelectAvailableItem(int item) {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(g_availableList, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&state));
  ::SendMessageA(g_availableList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

// The names Analyze would give come from the registered list; a registered
// format it does not list yet makes it scan the range again.
void RescanRegisteredListForNewNames(const ClipboardListing& listing) {
  for (const std::uint32_t format : listing.formats) {
    if (IsRegisteredFormat(format) && !IsListedAsRegistered(format)) {
      RescanRegisteredList();
      return;
    }
  }
}

// The clipboard carries a marker format: the dump window does not read, and
// holds no snapshot, its Details pane naming the first marker.
void LeaveFrameUnreadForMarkers(HWND frame, std::uint32_t format, const std::string& statusText,
                                const std::vector<std::string>& markers) {
  const DumpLeftUnread unread = {statusText.c_str(), markers.front().c_str()};
  ::SendMessageA(frame, DFM_LEAVEUNREAD, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&unread));
}

// The dump window shows the selected format. Still there, it reads it again;
// gone, the same request fails to read and leaves the window without a
// snapshot, and asks no owner to render, as the format is not on the
// clipboard.
void RereadInFrame(std::uint32_t format, const std::string& listText, const ClipboardListing& listing) {
  const std::string statusText = FrameStatusText(listText);
  const std::vector<std::string> markers = MonitorMarkersOf(listing);
  if (!markers.empty()) {
    LeaveFrameUnreadForMarkers(g_dumpFrame, format, statusText, markers);
    return;
  }
  ::SendMessageA(g_dumpFrame, DFM_SHOWFORMAT, static_cast<WPARAM>(format),
                 reinterpret_cast<LPARAM>(statusText.c_str()));
}

// Set for as long as it lives, a failed allocation on the way included.
class RefillingLists {
 public:
  RefillingLists() { g_refillingLists = true; }
  ~RefillingLists() { g_refillingLists = false; }
  RefillingLists(const RefillingLists&) = delete;
  RefillingLists& operator=(const RefillingLists&) = delete;
};

void RefreshLists(const ClipboardListing& listing) {
  RescanRegisteredListForNewNames(listing);
  const int selected = g_selectedIndex;
  const std::uint32_t selectedFormat = selected != -1 ? ListItemFormat(g_availableList, selected) : 0;
  std::string listText = selected != -1 ? ListItemColumn1Text(g_availableList, selected) : std::string();

  // The selection tracking must not take the refill's deletions and
  // insertions for the user's doing.
  int item = -1;
  {
    const RefillingLists refilling;
    RefillAvailableList(listing.formats);
    item = selected != -1 ? AvailableItemOfFormat(selectedFormat) : -1;
    if (item != -1) SelectAvailableItem(item);
  }
  g_selectedIndex = item;

  if (selected == -1) return;
  if (item != -1) listText = ListItemColumn1Text(g_availableList, item);
  if (g_dumpFrame != nullptr) {
    RereadInFrame(selectedFormat, listText, listing);
  } else if (item == -1) {
    // As when the user clears the selection: B opens nothing now.
    ::EnableWindow(::GetDlgItem(g_dialog, IDC_DUMP_TOGGLE), FALSE);
  }
}

void CheckFollowItem() {
  ::CheckMenuItem(::GetSystemMenu(g_dialog, FALSE), kFollowCommand,
                  MF_BYCOMMAND | (g_follow ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void ResetFollow(HWND dialog) {
  g_dialog = dialog;
  g_follow = false;
  g_pacing = RefreshPacing();
  g_latest = ClipboardListing();
  g_haveLatest = false;
}

bool FollowOn() { return g_follow; }

// Switched on, the lists catch up at once with the latest change.
void SetFollow(bool on) {
  g_follow = on;
  CheckFollowItem();
  if (!on) {
    g_pacing.pending = false;
    if (HWND listener = ClipboardListenerWindow()) ::KillTimer(listener, kFollowTimer);
    return;
  }
  if (!g_haveLatest) return;
  NoteClipboardChange(&g_pacing, NowMs());
  ScheduleRefresh();
}

void FollowClipboardChange(const ClipboardListing& listing) {
  g_latest = listing;
  g_haveLatest = true;
  if (!g_follow) return;
  NoteClipboardChange(&g_pacing, NowMs());
  ScheduleRefresh();
}

void OnFollowTimer() {
  HWND listener = ClipboardListenerWindow();
  if (listener != nullptr) ::KillTimer(listener, kFollowTimer);
  const std::optional<std::uint64_t> due = RefreshDueAt(g_pacing);
  if (!g_follow || !due.has_value()) return;
  const std::uint64_t now = NowMs();
  if (*due > now + kTimerSlackMs) {
    ScheduleRefresh();
    return;
  }
  NoteRefresh(&g_pacing, now);
  RefreshLists(g_latest);
}
