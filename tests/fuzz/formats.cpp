// Every interpreter of formats/ over hostile bytes: the data is a heap block
// of exactly its length, so a read past it faults. Each input goes through
// every interpreter, the dispatcher and the caret section, and the lines
// must stay lines: valid UTF-8, no line break inside, problems and only
// problems starting with "! ", and a bounded count however long the data;
// the format's section within the pane's bound.
#include <string>

#include "encoding/unicode.h"
#include "formats/caret.h"
#include "formats/details.h"
#include "formats/dib.h"
#include "formats/html.h"
#include "formats/idlist.h"
#include "formats/locale.h"
#include "formats/png.h"
#include "formats/rtf.h"
#include "formats/shell.h"
#include "formats/text.h"
#include "formats/textdecode.h"
#include "formatsport.h"
#include "fuzztarget.h"

namespace {

// The longest list: 1,001 item lists of a heading and 33 item lines each.
constexpr std::size_t kMaxLines = 35 * kMaxListedItems;

void CheckLines(const Lines& lines) {
  FUZZ_CHECK(lines.size() <= kMaxLines);
  for (const Line& line : lines) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.text.data());
    const auto size = static_cast<std::uint32_t>(line.text.size());
    FUZZ_CHECK(ValidUtf8Length(bytes, size) == size);
    FUZZ_CHECK(line.text.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(line.problem == (line.text.rfind("! ", 0) == 0));
  }
}

}  // namespace

KELVANE_FUZZ_TARGET(formats) {
  fuzz::Input in(data, size);
  CaretFacts caret{in.U32(), in.Bit(), in.U32(), in.U32()};
  const std::uint32_t format = in.U16();
  const fuzz::ExactBytes block(in.rest(), in.restSize());
  const std::uint8_t* bytes = block.data();
  const auto length = static_cast<std::uint32_t>(block.size());
  ByteMapFormatPort port;

  CheckLines(InterpretText(bytes, length, TextUnit::Byte, port));
  CheckLines(InterpretText(bytes, length, TextUnit::Utf16, port));
  CheckLines(InterpretLocale(bytes, length, port));
  CheckLines(InterpretDropFiles(bytes, length, port));
  CheckLines(InterpretDropEffect(bytes, length));
  CheckLines(InterpretFileGroupDescriptor(bytes, length, false, port));
  CheckLines(InterpretFileGroupDescriptor(bytes, length, true, port));
  CheckLines(InterpretUrl(bytes, length, false, port));
  CheckLines(InterpretUrl(bytes, length, true, port));
  CheckLines(InterpretIdListArray(bytes, length, port));
  CheckLines(InterpretHtml(bytes, length));
  CheckLines(InterpretRtf(bytes, length, port));
  CheckLines(InterpretPng(bytes, length));
  CheckLines(InterpretDib(bytes, length));

  // The caret anywhere, also past the data: the section keeps its shape.
  caret.caret %= length + 2;
  const Lines atCaret = CaretSection(bytes, length, caret);
  CheckLines(atCaret);
  static const std::size_t kCaretLines = CaretSection(nullptr, 0, CaretFacts{}).size();
  FUZZ_CHECK(atCaret.size() == kCaretLines);

  SnapshotDescription snapshot;
  snapshot.format = format;
  snapshot.length = length;
  snapshot.kind = SnapshotKind::WholeData;
  CheckLines(SnapshotSection(snapshot, bytes));
  const Lines section = FormatSection(snapshot, bytes, port);
  CheckLines(section);
  // The pane's bound, and its last line that says what was left out.
  FUZZ_CHECK(JoinLines(section).size() <= kMaxSectionTextBytes + 200);
}
