// Copy and Copy as Text of the dump window: the selected bytes of the frame's
// snapshot go to the clipboard as hexadecimal text or as decoded text. The
// clipboard is open only while the block is placed, and closed on every
// path; the snapshot itself is not touched.
#include "app/clipboardcopy_win32.h"
#include "dumpframe/editcommands.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpview/dumpview.h"
#include "encoding/cp932_win32.h"
#include "encoding/textdecode.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

namespace {

struct Selection {
  std::uint32_t first;
  std::uint32_t count;
};

// The selected bytes, when there are any and they lie inside the snapshot.
bool SelectedBytes(HWND view, std::uint32_t length, Selection* selection) {
  UINT first = 0;
  UINT last = 0;
  if (!::SendMessageA(view, DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last))) {
    return false;
  }
  if (first > last || last >= length) return false;
  *selection = Selection{first, last - first + 1};
  return true;
}

HGLOBAL HexTextBlock(const std::uint8_t* bytes, std::uint32_t count) {
  const std::size_t size = HexTextSize(count);
  void* memory = nullptr;
  HGLOBAL block = size != 0 ? AllocateLockedBlock(size, &memory) : nullptr;
  if (block == nullptr) return nullptr;
  WriteHexText(bytes, count, static_cast<char*>(memory));
  ::GlobalUnlock(block);
  return block;
}

// The decoded text and its terminator. No code page decodes to more code
// units than bytes, so the block is made that large and then cut to the
// text's size.
HGLOBAL DecodedTextBlock(const std::uint8_t* bytes, Selection selection, std::uint16_t codePage) {
  const SystemCp932* cp932 = SystemCp932Conversion();
  if (cp932 == nullptr) return nullptr;
  const std::uint64_t capacity = (static_cast<std::uint64_t>(selection.count) + 1) * sizeof(char16_t);
  if (capacity > static_cast<std::uint64_t>(static_cast<SIZE_T>(-1))) return nullptr;
  void* memory = nullptr;
  HGLOBAL block = AllocateLockedBlock(static_cast<std::size_t>(capacity), &memory);
  if (block == nullptr) return nullptr;
  auto* text = static_cast<char16_t*>(memory);
  const std::size_t units =
      DecodeText(bytes + selection.first, selection.count, selection.first, codePage, cp932->decoded, text);
  text[units] = 0;
  ::GlobalUnlock(block);
  // A block that can't shrink keeps its zeros after the terminator.
  if (HGLOBAL cut = ::GlobalReAlloc(block, (units + 1) * sizeof(char16_t), GMEM_MOVEABLE)) block = cut;
  return block;
}

// Places block on the clipboard, which then owns it; on failure the block is
// freed and the user told why.
void PlaceOnClipboard(HWND frame, HGLOBAL block, UINT format) {
  if (const char* failure = PlaceBlockOnClipboard(frame, format, block)) {
    ::GlobalFree(block);
    ShowCopyWarning(frame, failure);
  }
}

}  // namespace

void CopySelection(const FrameContext& context, bool asText) {
  Selection selection = {};
  if (context.snapshot == nullptr || !SelectedBytes(context.dumpView, context.snapshotLength, &selection)) {
    return;
  }
  HGLOBAL block = asText ? DecodedTextBlock(context.snapshot, selection, context.codePage)
                         : HexTextBlock(context.snapshot + selection.first, selection.count);
  if (block == nullptr) {
    ShowCopyWarning(context.frame, kCopyAllocateErrorText);
    return;
  }
  PlaceOnClipboard(context.frame, block, asText ? CF_UNICODETEXT : CF_TEXT);
}

void SelectAll(const FrameContext& context) {
  // The caret goes after the last byte, so that every byte is selected.
  if (context.snapshotLength != 0) ::SendMessageA(context.dumpView, DVM_SETSEL, context.snapshotLength, 0);
}
