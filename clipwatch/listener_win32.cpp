// The clipboard listener: a message-only window told of every change of the
// clipboard. For each new sequence number it logs the owner and the formats
// the clipboard enumerates, and hands the listing to Follow. It never asks
// for data, so no owner is ever made to render for the log.
//
// Under Wine 8 WM_CLIPBOARDUPDATE carries nothing (wParam and lParam are 0).
// It is posted once per change, when the changing program closes the
// clipboard, never while it is still open. The sequence number grows with
// every EmptyClipboard and SetClipboardData and again at the close (by four
// for one CF_TEXT put); ten changes made before the listener runs bring ten
// notifications that all read the same, latest number.
#include <windows.h>

#include <string>
#include <vector>

#include "app/clipboardformats.h"
#include "app/widetext_win32.h"
#include "clipwatch/watch_win32.h"
#include "snapshot/clipboardwindow_win32.h"

namespace {

constexpr wchar_t kListenerClass[] = L"Kelvane Clipboard Listener";
// While another window holds the clipboard open, the listing is tried again
// this often until it opens.
constexpr UINT_PTR kListingRetryTimer = 1;
constexpr UINT kListingRetryMs = 20;
// Any atom name fits in 255 characters.
constexpr int kFormatNameBuffer = 256;

ClipboardLog g_log;
HWND g_listener = nullptr;
bool g_awaitingListing = false;
std::uint32_t g_awaitingSequence = 0;

// What one opening of the clipboard saw.
struct ClipboardLook {
  bool opened = false;
  std::uint32_t sequence = 0;
  HWND owner = nullptr;
  ClipboardListing listing;
};

// Closes the clipboard on every way out, a failed allocation included.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND window) : opened_(::OpenClipboard(window) != FALSE) {}
  ~OpenedClipboard() {
    if (opened_) ::CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool opened() const { return opened_; }

 private:
  bool opened_;
};

void NameRegisteredFormats(ClipboardListing* listing) {
  for (const std::uint32_t format : listing->formats) {
    if (!IsRegisteredFormat(format)) continue;
    wchar_t name[kFormatNameBuffer] = L"";
    const int units = ::GetClipboardFormatNameW(format, name, kFormatNameBuffer);
    if (units > 0) listing->names.push_back({format, Utf8OfWide(name, units)});
  }
}

// Holds the clipboard open only to read its number, owner and formats; the
// names are asked for after it is closed again.
ClipboardLook LookAtClipboard(HWND listener) {
  ClipboardLook look;
  {
    OpenedClipboard clipboard(listener);
    if (!clipboard.opened()) return look;
    look.opened = true;
    look.sequence = ::GetClipboardSequenceNumber();
    look.owner = ::GetClipboardOwner();
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
      look.listing.formats.push_back(format);
    }
  }
  NameRegisteredFormats(&look.listing);
  return look;
}

LogTime LocalTimeNow() {
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  return {now.wYear,
          static_cast<std::uint8_t>(now.wMonth),
          static_cast<std::uint8_t>(now.wDay),
          static_cast<std::uint8_t>(now.wHour),
          static_cast<std::uint8_t>(now.wMinute),
          static_cast<std::uint8_t>(now.wSecond),
          now.wMilliseconds};
}

// The change as the look saw it, or, when the clipboard was held open, as
// far as it can be known without opening it.
ClipboardChange ChangeOf(ClipboardLook&& look) {
  ClipboardChange change;
  change.time = LocalTimeNow();
  if (look.opened) {
    change.sequence = look.sequence;
    change.owner = DescribeClipboardWindow(look.owner);
    change.listing = std::move(look.listing);
  } else {
    change.sequence = ::GetClipboardSequenceNumber();
    change.owner = DescribeClipboardWindow(::GetClipboardOwner());
    change.heldOpen = true;
    change.holder = DescribeClipboardWindow(::GetOpenClipboardWindow());
  }
  change.ownChange = IsKelvaneChange(change.owner, ::GetCurrentProcessId());
  return change;
}

void LogChange(HWND listener, ClipboardLook&& look) {
  const ClipboardChange change = ChangeOf(std::move(look));
  if (!g_log.Append(change)) return;
  if (change.heldOpen) {
    g_awaitingListing = true;
    g_awaitingSequence = change.sequence;
    ::SetTimer(listener, kListingRetryTimer, kListingRetryMs, nullptr);
  }
  ShowLogChanges();
  if (!change.heldOpen) FollowClipboardChange(change.listing);
}

void OnClipboardUpdate(HWND listener) {
  // A repeated notification costs no opening of the clipboard.
  if (!g_log.IsNewChange(::GetClipboardSequenceNumber())) return;
  LogChange(listener, LookAtClipboard(listener));
}

void OnListingRetry(HWND listener) {
  ClipboardLook look = LookAtClipboard(listener);
  if (!look.opened) return;  // still held: the timer goes on
  ::KillTimer(listener, kListingRetryTimer);
  g_awaitingListing = false;
  if (look.sequence == g_awaitingSequence && g_log.CompleteListing(look.sequence, look.listing)) {
    ShowLogChanges(true);
    FollowClipboardChange(look.listing);
    return;
  }
  // The holder changed the clipboard: that change has a row of its own.
  if (g_log.IsNewChange(look.sequence)) LogChange(listener, std::move(look));
}

void OnTimer(HWND listener, UINT_PTR timer) {
  if (timer == kListingRetryTimer) {
    OnListingRetry(listener);
  } else if (timer == kFollowTimer) {
    OnFollowTimer();
  }
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Whatever another program put on the clipboard, a failed allocation only
  // costs the row it was for.
  try {
    switch (message) {
      case WM_CLIPBOARDUPDATE:
        OnClipboardUpdate(window);
        return 0;
      case WM_TIMER:
        OnTimer(window, wParam);
        return 0;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

WNDCLASSEXW WatchClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  return wc;
}

bool RegisterWatchClass(const WNDCLASSEXW& wc) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  return ::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing) || ::RegisterClassExW(&wc) != 0;
}

ClipboardLog& TheClipboardLog() { return g_log; }

HWND ClipboardListenerWindow() { return g_listener; }

void StartClipboardListener() {
  g_log = ClipboardLog();
  g_awaitingListing = false;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!RegisterWatchClass(WatchClass(instance, ListenerProc, kListenerClass))) return;
  g_listener =
      ::CreateWindowExW(0, kListenerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (g_listener != nullptr) ::AddClipboardFormatListener(g_listener);
}

void StopClipboardListener() {
  if (g_listener == nullptr) return;
  ::RemoveClipboardFormatListener(g_listener);
  ::DestroyWindow(g_listener);
  g_listener = nullptr;
}
