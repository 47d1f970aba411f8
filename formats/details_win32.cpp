#include "formats/details_win32.h"

#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "app/dpi_win32.h"
#include "app/widetext_win32.h"
#include "browser/formatnames.h"
#include "formats/formatport_win32.h"

namespace {

// A standard format's own name without the number that the list adds; a
// registered one's as the read saw it.
std::string FormatNameOf(std::uint32_t format, const std::string& registeredName) {
  if (const char* standard = StandardFormatName(format)) {
    const std::string text(standard);
    return text.substr(0, text.find(" ("));
  }
  return registeredName;
}

constexpr UINT_PTR kCaretTimer = 1;
// The edit control's messages, EM_GETSEL and after.
constexpr UINT kFirstEditMessage = 0x00B0;
constexpr UINT kLastEditMessage = 0x00FF;
constexpr int kPanePoints = 10;
// Said in place of the details when their text did not fit in memory.
constexpr wchar_t kOutOfMemoryText[] = L"There is not enough memory to show this snapshot's details.";

// What the pane keeps: the snapshot it was given, the caret it was told of,
// and the text built from them. The sections above and below "At the
// caret" are built once a snapshot; the caret's section each time it moved.
struct PaneState {
  WNDPROC editProc = nullptr;
  HFONT font = nullptr;
  std::uint32_t dpi = 96;
  std::size_t face = 0;  // which of kPaneFaces the font is
  const std::uint8_t* data = nullptr;
  SnapshotDescription snapshot;
  bool withCaret = false;
  CaretFacts caret{};
  bool sectionsBuilt = false;
  std::wstring before;      // the Snapshot section and a blank line
  std::wstring after;       // the format's own section
  bool textCurrent = true;  // the window text is the build of all the above
  bool timerSet = false;
  bool building = false;
  DWORD caretStart = 0;  // where the caret's section lies in the text, in UTF-16 units
  DWORD caretUnits = 0;
};

PaneState* StateOf(HWND pane) {
  return reinterpret_cast<PaneState*>(::GetWindowLongPtrW(pane, GWLP_USERDATA));
}

bool CtrlDown() { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// The faces the pane may take, in order. A Latin face first, so that a
// backslash shows as one (the Japanese faces draw it as a yen sign). Where
// the text holds characters that it lacks (where no font links supply
// them, as under Wine, they would show as boxes), the Japanese faces of the
// system's interface, and last the dump's own cell face.
constexpr const wchar_t* kPaneFaces[] = {L"Segoe UI", L"Meiryo UI", L"MS UI Gothic", L"MS Gothic"};
constexpr std::size_t kPaneFaceCount = std::size(kPaneFaces);

HFONT CreatePaneFont(std::size_t face, std::uint32_t dpi) {
  LOGFONTW font = {};
  font.lfHeight = -::MulDiv(kPanePoints, static_cast<int>(dpi), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  ::lstrcpynW(font.lfFaceName, kPaneFaces[face], LF_FACESIZE);
  return ::CreateFontIndirectW(&font);
}

// Each printable UTF-16 unit of text once, in the order met: a pane of
// thousands of lines holds a few hundred distinct characters at most.
std::wstring DistinctCharacters(const std::wstring& text) {
  std::vector<bool> seen(0x10000, false);
  std::wstring distinct;
  for (const wchar_t unit : text) {
    const auto code = static_cast<std::uint16_t>(unit);
    if (code < 0x20 || seen[code]) continue;
    seen[code] = true;
    distinct.push_back(unit);
  }
  return distinct;
}

// How many of the characters the font has no glyph for.
std::size_t MissingGlyphs(HDC dc, HFONT font, const std::wstring& characters) {
  if (characters.empty()) return 0;
  std::vector<WORD> glyphs(characters.size());
  const HGDIOBJ old = ::SelectObject(dc, font);
  const DWORD found = ::GetGlyphIndicesW(dc, characters.c_str(), static_cast<int>(characters.size()),
                                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  ::SelectObject(dc, old);
  if (found == GDI_ERROR) return characters.size();
  std::size_t missing = 0;
  for (const WORD glyph : glyphs) missing += glyph == 0xFFFF ? 1 : 0;
  return missing;
}

// The first face from `from` on that has every character of text; where
// none has them all, the one that lacks the fewest.
std::size_t FaceForText(const std::wstring& text, std::size_t from, std::uint32_t dpi) {
  const std::wstring characters = DistinctCharacters(text);
  HDC dc = ::CreateCompatibleDC(nullptr);
  if (dc == nullptr) return from;
  std::size_t best = from;
  std::size_t fewest = characters.size() + 1;
  for (std::size_t face = from; face < kPaneFaceCount && fewest != 0; ++face) {
    HFONT font = CreatePaneFont(face, dpi);
    if (font == nullptr) continue;
    const std::size_t missing = MissingGlyphs(dc, font, characters);
    ::DeleteObject(font);
    if (missing < fewest) {
      best = face;
      fewest = missing;
    }
  }
  ::DeleteDC(dc);
  return best;
}

void SetPaneFont(HWND pane, PaneState& state, std::size_t face, std::uint32_t dpi) {
  HFONT font = CreatePaneFont(face, dpi);
  if (font == nullptr) return;
  ::CallWindowProcW(state.editProc, pane, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (state.font != nullptr) ::DeleteObject(state.font);
  state.font = font;
  state.face = face;
  state.dpi = dpi;
}

// A new snapshot's text starts again from the Latin face; the caret's
// section may only take the pane further down the list, so that the face
// does not change back and forth as the caret passes over characters.
void FitFaceToText(HWND pane, PaneState& state, const std::wstring& text, bool sectionsNew) {
  const std::size_t face = FaceForText(text, sectionsNew ? 0 : state.face, state.dpi);
  if (face != state.face) SetPaneFont(pane, state, face, state.dpi);
}

std::wstring CaretText(const PaneState& state) {
  if (!state.withCaret) return {};
  return WideOfUtf8(JoinLines(CaretSection(state.data, state.snapshot.length, state.caret)) + "\r\n");
}

void BuildSections(PaneState& state) {
  SystemFormatPort port;
  Lines lines = SnapshotSection(state.snapshot, state.data);
  AddText(lines, "");
  state.before = WideOfUtf8(JoinLines(lines));
  state.after = WideOfUtf8(JoinLines(FormatSection(state.snapshot, state.data, port)));
  state.sectionsBuilt = true;
}

// The whole text, set at once: it is always one build, never a section
// patched into another's. Where only the caret's section changed, the lines
// below it stay where the reader scrolled them and the reader's own
// selection moves with its text.
void SetText(HWND pane, PaneState& state, bool sectionsNew) {
  const std::wstring caret = CaretText(state);
  const std::wstring text = state.before + caret + state.after;
  DWORD selStart = 0;
  DWORD selEnd = 0;
  ::SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const LRESULT firstLine = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
  const DWORD start = state.caretStart;
  const DWORD oldEnd = start + state.caretUnits;
  const auto shift = [&](DWORD at) -> DWORD {
    if (at < oldEnd) return at < start ? at : start;
    return at - oldEnd + start + static_cast<DWORD>(caret.size());
  };
  ::SendMessageW(pane, WM_SETREDRAW, FALSE, 0);
  FitFaceToText(pane, state, sectionsNew ? text : caret, sectionsNew);
  ::CallWindowProcW(state.editProc, pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  state.caretStart = static_cast<DWORD>(state.before.size());
  state.caretUnits = static_cast<DWORD>(caret.size());
  if (!sectionsNew) {
    ::SendMessageW(pane, EM_SETSEL, shift(selStart), shift(selEnd));
    ::SendMessageW(pane, EM_LINESCROLL, 0, firstLine - ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  ::SendMessageW(pane, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(pane, nullptr, TRUE);
}

void SayOutOfMemory(HWND pane, PaneState& state) {
  state.sectionsBuilt = false;
  state.before.clear();
  state.after.clear();
  state.caretStart = state.caretUnits = 0;
  ::CallWindowProcW(state.editProc, pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kOutOfMemoryText));
}

// Brings the text up to what the pane was last told.
void BringUpToDate(HWND pane, PaneState& state) {
  if (state.textCurrent || state.building) return;
  state.building = true;
  try {
    const bool sectionsNew = !state.sectionsBuilt;
    if (sectionsNew) BuildSections(state);
    SetText(pane, state, sectionsNew);
  } catch (...) {
    SayOutOfMemory(pane, state);
  }
  state.textCurrent = true;
  state.building = false;
}

// The rebuild waits for a timer, which comes only when no key or other
// message is waiting: a burst of caret moves costs one rebuild, after it. A
// hidden pane builds when it is shown again.
void Outdate(HWND pane, PaneState& state) {
  state.textCurrent = false;
  if (state.timerSet || !::IsWindowVisible(pane)) return;
  state.timerSet = ::SetTimer(pane, kCaretTimer, USER_TIMER_MINIMUM, nullptr) != 0;
}

bool SameCaret(const CaretFacts& a, const CaretFacts& b) {
  return a.caret == b.caret && a.hasSelection == b.hasSelection && a.selectionFirst == b.selectionFirst &&
         a.selectionLast == b.selectionLast;
}

void OnSetSnapshot(HWND pane, PaneState& state, const DetailsSnapshot* given) {
  state.data = nullptr;
  state.sectionsBuilt = false;
  state.snapshot = SnapshotDescription{};
  if (given != nullptr) {
    state.data = given->length != 0 ? given->bytes : nullptr;
    state.snapshot.length = state.data != nullptr ? given->length : 0;
    if (given->facts != nullptr) {
      const SnapshotFacts& facts = *given->facts;
      DescribeFormat(given->format, facts.registeredName, &state.snapshot);
      DescribeOwner(facts.owner, &state.snapshot);
      state.snapshot.sequenceNumber = facts.sequenceNumber;
      state.snapshot.kind = facts.kind;
      state.snapshot.blockSize = facts.blockSize;
      state.snapshot.blockSizeKnown = facts.kind != SnapshotKind::HandleValue;
      if (facts.clipboardBusy) state.snapshot.readProblems.push_back(HeldClipboardProblem(facts.holder));
      if (!facts.leftUnreadFor.empty())
        state.snapshot.readProblems.push_back(LeftUnreadProblem(facts.leftUnreadFor));
    }
  }
  state.caret = CaretFacts{};
  Outdate(pane, state);
}

void OnSetCaret(HWND pane, PaneState& state, const CaretFacts* caret) {
  const bool withCaret = caret != nullptr;
  if (withCaret == state.withCaret && (!withCaret || SameCaret(*caret, state.caret))) return;
  state.withCaret = withCaret;
  if (withCaret) state.caret = *caret;
  Outdate(pane, state);
}

LRESULT OnNcCreate(HWND pane, WPARAM wParam, LPARAM lParam) {
  const WNDPROC editProc = EditControlClass().lpfnWndProc;
  if (editProc == nullptr) return FALSE;
  auto* state = new (std::nothrow) PaneState;
  if (state == nullptr) return FALSE;
  state->editProc = editProc;
  ::SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  return ::CallWindowProcW(state->editProc, pane, WM_NCCREATE, wParam, lParam);
}

LRESULT OnCreate(HWND pane, PaneState& state, WPARAM wParam, LPARAM lParam) {
  const LRESULT created = ::CallWindowProcW(state.editProc, pane, WM_CREATE, wParam, lParam);
  if (created == -1) return -1;
  SetPaneFont(pane, state, 0, WindowDpi(pane));
  // The text of a long list is far beyond the default 30,000 characters.
  ::SendMessageW(pane, EM_SETLIMITTEXT, 0, 0);
  return created;
}

void OnNcDestroy(HWND pane, PaneState* state, WPARAM wParam, LPARAM lParam) {
  const WNDPROC editProc = state->editProc;
  if (state->font != nullptr) ::DeleteObject(state->font);
  ::SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
  delete state;
  ::CallWindowProcW(editProc, pane, WM_NCDESTROY, wParam, lParam);
}

// The pane's own messages and keys; handled turns false for the edit
// control's.
LRESULT OnPaneMessage(HWND pane, PaneState& state, UINT message, WPARAM wParam, LPARAM lParam,
                      bool& handled) {
  switch (message) {
    case DPM_SETSNAPSHOT:
      OnSetSnapshot(pane, state, reinterpret_cast<const DetailsSnapshot*>(lParam));
      return 0;
    case DPM_SETCARET:
      OnSetCaret(pane, state, reinterpret_cast<const CaretFacts*>(lParam));
      return 0;
    case DPM_SETDPI:
      if (wParam != 0) SetPaneFont(pane, state, state.face, static_cast<std::uint32_t>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam != kCaretTimer) break;
      ::KillTimer(pane, kCaretTimer);
      state.timerSet = false;
      if (::IsWindowVisible(pane)) BringUpToDate(pane, state);
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (!state.textCurrent && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0)
        Outdate(pane, state);
      break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      // Whoever reads the text reads what the pane was last told.
      BringUpToDate(pane, state);
      break;
    default:
      // And whoever reads or moves in it through the edit control's messages.
      if (message >= kFirstEditMessage && message <= kLastEditMessage) BringUpToDate(pane, state);
      break;
    case WM_KEYDOWN:
      // An edit control has no Select All key of its own.
      if (CtrlDown() && wParam == 'A') {
        ::SendMessageW(pane, EM_SETSEL, 0, -1);
        return 0;
      }
      break;
    case WM_CHAR:
      // The control character of Ctrl+A would only beep.
      if (wParam == 0x01) return 0;
      break;
  }
  handled = false;
  return 0;
}

LRESULT PaneMessage(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) return OnNcCreate(pane, wParam, lParam);
  PaneState* state = StateOf(pane);
  if (state == nullptr) return ::DefWindowProcW(pane, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    OnNcDestroy(pane, state, wParam, lParam);
    return 0;
  }
  if (message == WM_CREATE) return OnCreate(pane, *state, wParam, lParam);
  bool handled = true;
  const LRESULT result = OnPaneMessage(pane, *state, message, wParam, lParam, handled);
  if (handled) return result;
  return ::CallWindowProcW(state->editProc, pane, message, wParam, lParam);
}

}  // namespace

void DescribeOwner(const ClipboardWindow& owner, SnapshotDescription* snapshot) {
  snapshot->ownerWindow = owner.window;
  snapshot->ownerClass = owner.windowClass;
  snapshot->ownerProcessId = owner.processId;
  snapshot->ownerExecutable = owner.executable;
}

void DescribeFormat(std::uint32_t format, const std::string& registeredName, SnapshotDescription* snapshot) {
  snapshot->format = format;
  snapshot->name = FormatNameOf(format, registeredName);
}

const WNDCLASSEXW& EditControlClass() {
  static const WNDCLASSEXW edit = [] {
    WNDCLASSEXW found = {};
    found.cbSize = sizeof(found);
    if (!::GetClassInfoExW(nullptr, L"EDIT", &found)) found.lpfnWndProc = nullptr;
    return found;
  }();
  return edit;
}

LRESULT CALLBACK DetailsPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  // A failed allocation anywhere in the pane's own work ends in its
  // sentence, never past the window procedure.
  try {
    return PaneMessage(pane, message, wParam, lParam);
  } catch (...) {
    if (PaneState* state = StateOf(pane)) SayOutOfMemory(pane, *state);
    return 0;
  }
}
