// The dump view's search over hostile bytes, patterns and ranges:
//
//  - FindBytesForward and FindBytesBackward, and each scan method of
//    dumpview/bytescan.h on its own, against a plain byte-by-byte search
//    written from the rules (any difference is a fault). The data is the
//    input itself, or a piece of it repeated up to 8 KiB with a few bytes
//    changed, so that short inputs reach the scans' costly cases (runs of
//    near matches); the pattern is a slice of the data, maybe with one byte
//    changed, or bytes of the input.
//  - ShiftJisToEucJp into an output buffer of exactly the input's size.
//  - The pattern of a text in each code page, through glibc's iconv in place
//    of the system's conversions, and the text search with it.
//
// Every buffer handed over is a heap block of exactly its length.
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dumpview/bytescan.h"
#include "dumpview/decoders.h"
#include "dumpview/dumpview.h"
#include "dumpview/scrolling.h"
#include "dumpview/search.h"
#include "dumpview/viewstate.h"
#include "encoding/eucjp.h"
#include "fuzzport.h"
#include "fuzztarget.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- reference

bool MatchesAt(const std::uint8_t* data, std::uint32_t p, const std::uint8_t* pattern, std::uint32_t length) {
  return length != 0 && std::memcmp(data + p, pattern, length) == 0;
}

SearchResult PlainForward(const std::uint8_t* data, std::uint32_t dataLength, std::uint32_t start,
                          std::uint32_t end, const std::uint8_t* pattern, std::uint32_t length) {
  if (end < start) return {kNoIndex, DV_ERROR_BAD_REQUEST};
  const std::uint64_t limit = std::min(end, dataLength);
  for (std::uint64_t p = start; p + length <= limit; ++p) {
    if (MatchesAt(data, static_cast<std::uint32_t>(p), pattern, length))
      return {static_cast<std::uint32_t>(p), 0};
  }
  return {kNoIndex, 0};
}

SearchResult PlainBackward(const std::uint8_t* data, std::uint32_t dataLength, std::uint32_t start,
                           std::uint32_t end, const std::uint8_t* pattern, std::uint32_t length) {
  if (end < start) return {kNoIndex, DV_ERROR_BAD_REQUEST};
  if (length > dataLength) return {kNoIndex, 0};
  for (std::int64_t p = std::min(end, dataLength - length); p >= static_cast<std::int64_t>(start); --p) {
    if (MatchesAt(data, static_cast<std::uint32_t>(p), pattern, length))
      return {static_cast<std::uint32_t>(p), 0};
  }
  return {kNoIndex, 0};
}

std::uint32_t PlainScan(bool backward, const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                        const std::uint8_t* pattern, std::uint32_t length) {
  for (std::uint32_t n = 0; n <= last - first; ++n) {
    const std::uint32_t p = backward ? last - n : first + n;
    if (MatchesAt(data, p, pattern, length)) return p;
  }
  return kNoIndex;
}

// ------------------------------------------------------------------- inputs

// How the data and the pattern are made, read before the payload.
struct Shape {
  bool repeat;             // a piece of the payload repeated, not the payload
  std::uint32_t total;     // the repeated data's length
  std::uint16_t marks[3];  // bytes changed in the repeated data (0: none)
  std::uint8_t how;        // the pattern: cut from the data or taken from the payload
  std::uint32_t length;    // the pattern's length
  std::uint32_t at;        // where it is cut
  std::uint16_t change;    // which byte of a cut pattern changes, and how
};

Shape ReadShape(fuzz::Input& in) {
  Shape shape{};
  shape.repeat = in.Bit();
  // Mostly up to 2 KiB, a quarter of the time up to 8 KiB: enough for the
  // scans to give up on a pass drowned in near matches.
  const std::uint16_t total = in.U16();
  shape.total = total % ((total & 0xC000) == 0xC000 ? 8 * 1024 + 1 : 2 * 1024 + 1);
  for (std::uint16_t& mark : shape.marks) mark = in.U16();
  shape.how = in.U8();
  shape.length = shape.how < 200 ? in.U8() % 80 : in.U16() % 320;
  shape.at = in.U32();
  shape.change = in.U16();
  return shape;
}

// The bytes searched: the payload, or a piece of it repeated with changes.
Bytes MakeData(const Shape& shape, const std::uint8_t* payload, std::size_t size) {
  if (!shape.repeat || size == 0) return Bytes(payload, payload + size);
  Bytes data(shape.total);
  for (std::uint32_t i = 0; i < shape.total; ++i) data[i] = payload[i % size];
  for (std::uint16_t mark : shape.marks) {
    if (mark != 0 && shape.total != 0) data[mark * 31u % shape.total] ^= 0x5A;
  }
  return data;
}

// A pattern cut from the data (sometimes changed in one byte), or taken from
// the front of the payload, which the data then follows.
Bytes MakePattern(const Shape& shape, const std::uint8_t*& payload, std::size_t& size) {
  const std::size_t taken = std::min<std::size_t>(shape.length, size);
  Bytes pattern(payload, payload + taken);
  payload += taken;
  size -= taken;
  return pattern;
}

Bytes CutPattern(const Shape& shape, const Bytes& data) {
  if (data.empty()) return Bytes();
  const std::uint32_t from = shape.at % static_cast<std::uint32_t>(data.size());
  const std::uint32_t taken =
      std::min<std::uint32_t>(shape.length, static_cast<std::uint32_t>(data.size()) - from);
  Bytes pattern(data.begin() + from, data.begin() + from + taken);
  if (shape.how % 4 == 2 && taken != 0) {
    pattern[shape.change % taken] ^= static_cast<std::uint8_t>(1 + (shape.change >> 8) % 255);
  }
  return pattern;
}

// A range bound around 0..length: mostly inside, sometimes just past, or any.
std::uint32_t BoundAround(std::uint8_t how, std::uint32_t raw, std::uint32_t length) {
  if (how < 176) return static_cast<std::uint32_t>(raw % (static_cast<std::uint64_t>(length) + 1));
  if (how < 240) return length + raw % 8 - 4;
  return raw;
}

// ------------------------------------------------------------ byte searches

void CheckByteSearches(fuzz::Input& in) {
  std::uint32_t start = in.U32(), end = in.U32();
  const std::uint8_t pick = in.U8();
  const std::uint32_t firstPick = in.U32(), lastPick = in.U32();
  const std::uint8_t endHow = in.U8();
  const std::uint32_t endRaw = in.U32();
  const Shape shape = ReadShape(in);
  const std::uint8_t* payload = in.rest();
  std::size_t size = in.restSize();
  const bool fromPayload = shape.how % 4 == 3;
  Bytes patternBytes = fromPayload ? MakePattern(shape, payload, size) : Bytes();
  const Bytes data = MakeData(shape, payload, size);
  if (!fromPayload) patternBytes = CutPattern(shape, data);
  const fuzz::ExactBytes exact(data.data(), data.size());
  const fuzz::ExactBytes pattern(patternBytes.data(), patternBytes.size());
  const auto dataLength = static_cast<std::uint32_t>(exact.size());
  const auto length = static_cast<std::uint32_t>(pattern.size());
  // Mostly a range around the data; sometimes any two numbers.
  if (pick % 2 == 0) {
    start = start % (dataLength + 1ull);
    end = BoundAround(endHow, endRaw, dataLength);
  }

  DumpViewState state{};
  state.data = exact.data();
  state.dataLength = dataLength;
  const SearchResult forward = FindBytesForward(state, start, end, pattern.data(), length);
  const SearchResult expectedForward =
      PlainForward(exact.data(), dataLength, start, end, pattern.data(), length);
  FUZZ_CHECK(forward.index == expectedForward.index && forward.lastError == expectedForward.lastError);
  const SearchResult backward = FindBytesBackward(state, start, end, pattern.data(), length);
  const SearchResult expectedBackward =
      PlainBackward(exact.data(), dataLength, start, end, pattern.data(), length);
  FUZZ_CHECK(backward.index == expectedBackward.index && backward.lastError == expectedBackward.lastError);

  // Each method on its own, over candidates first..last that the data holds.
  if (length == 0 || length > dataLength) return;
  const std::uint32_t lastCandidate = dataLength - length;
  std::uint32_t first = firstPick % (lastCandidate + 1);
  std::uint32_t last = lastPick % (lastCandidate + 1);
  if (first > last) std::swap(first, last);
  if (pick & 2) first = 0, last = lastCandidate;
  for (bool isBackward : {false, true}) {
    const std::uint32_t expected = PlainScan(isBackward, exact.data(), first, last, pattern.data(), length);
    for (ScanMethod method :
         {ScanMethod::VectorFilter, ScanMethod::WordsFilter, ScanMethod::ShiftAnd, ScanMethod::TwoWay}) {
      if (!HasScanMethod(method)) continue;
      FUZZ_CHECK(ScanWith(method, isBackward, exact.data(), first, last, pattern.data(), length) == expected);
    }
  }
}

// -------------------------------------------------------------- Shift_JIS

bool IsJisLead(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF); }
bool IsJisTrail(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The output fits a buffer of the input's size and reads as the input: bytes
// copied one for one, and pairs of the JIS X 0208 grid that the EUC-JP
// column turns back into the same Shift_JIS pair.
void CheckShiftJisToEucJp(fuzz::Input& in) {
  Bytes text(in.rest(), in.rest() + in.restSize());
  text.push_back(0);
  const fuzz::ExactBytes sjis(text.data(), text.size());
  fuzz::ExactBytes euc(text.data(), text.size());  // the contents don't matter
  const std::size_t written = ShiftJisToEucJp(sjis.data(), euc.data());
  const std::size_t textLength = std::strlen(reinterpret_cast<const char*>(sjis.data()));
  FUZZ_CHECK(written <= textLength && euc.data()[written] == 0);
  std::size_t i = 0, o = 0;
  const std::uint8_t* s = sjis.data();
  const std::uint8_t* e = euc.data();
  while (i < textLength) {
    const std::uint8_t s1 = s[i];
    const bool lead = (s1 >= 0x81 && s1 <= 0x9F) || (s1 >= 0xE0 && s1 <= 0xFE);
    if (!lead || s[i + 1] == 0) {
      FUZZ_CHECK(e[o] == s1);
      ++i, ++o;
      continue;
    }
    if (IsJisLead(s1) && IsJisTrail(s[i + 1])) {
      FUZZ_CHECK(e[o] >= 0xA1 && e[o] <= 0xFE && e[o + 1] >= 0xA1 && e[o + 1] <= 0xFE);
      const ShiftJisPair back = ShiftJisPairOfEucJp(e[o], e[o + 1]);
      FUZZ_CHECK(back.lead == s1 && back.trail == s[i + 1]);
    }
    i += 2, o += 2;
  }
  FUZZ_CHECK(o == written);
}

// ------------------------------------------------------------ text patterns

// glibc's iconv in place of the system's conversions, with an ANSI code
// page of 1252. The conversion descriptors live as long as the process.
class IconvEncoder final : public TextEncoder {
 public:
  bool Encode(NarrowCodePage target, const char16_t* text, std::size_t count, Bytes& bytes) override {
    return Convert(target == NarrowCodePage::ShiftJis ? cp932_ : cp1252_, text, 2 * count, bytes);
  }
  bool Utf8(const char16_t* text, std::size_t count, Bytes& bytes) {
    return Convert(utf8_, text, 2 * count, bytes);
  }

  static IconvEncoder& Shared() {
    static IconvEncoder encoder;
    return encoder;
  }

 private:
  IconvEncoder()
      : cp932_(iconv_open("CP932", "UTF-16LE")),
        cp1252_(iconv_open("CP1252", "UTF-16LE")),
        utf8_(iconv_open("UTF-8", "UTF-16LE")) {
    FUZZ_CHECK(cp932_ != kFailed && cp1252_ != kFailed && utf8_ != kFailed);
  }

  static bool Convert(iconv_t cd, const void* input, std::size_t size, Bytes& output) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t start = output.size();
    output.resize(start + 4 * size + 4);
    char* in = const_cast<char*>(static_cast<const char*>(input));
    char* out = reinterpret_cast<char*>(output.data() + start);
    std::size_t inLeft = size, outLeft = output.size() - start;
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    output.resize(output.size() - outLeft);
    return ok;
  }

  static inline const iconv_t kFailed = reinterpret_cast<iconv_t>(-1);
  iconv_t cp932_, cp1252_, utf8_;
};

// UTF-16 code units, mostly from ranges that the code pages hold: ASCII,
// Latin-1, kana, kanji, full-width forms, half-width katakana, symbols of the
// extensions, surrogates; sometimes any unit.
char16_t PickUnit(std::uint8_t range, std::uint16_t value) {
  static constexpr struct {
    char16_t base;
    std::uint16_t span;
  } kRanges[] = {{0x20, 0x5F},   {0xA0, 0x60},    {0x3000, 0x100}, {0x4E00, 0x5200}, {0xFF01, 0x9F},
                 {0x2460, 0x40}, {0xE000, 0x800}, {0xD800, 0x800}, {0x2010, 0x60},   {0x0391, 0x470}};
  const std::size_t which = range % 12;
  if (which >= sizeof(kRanges) / sizeof(kRanges[0])) return static_cast<char16_t>(value == 0 ? 1 : value);
  return static_cast<char16_t>(kRanges[which].base + value % kRanges[which].span);
}

constexpr std::uint16_t kCodePages[] = {932, 51932, 1200, 65001, 1252, 437};

// The EUC-JP column reads the 51932 pattern back as the 932 one: every byte
// 0xA1-0xFE pairs with the next, which the column maps back by rows; every
// other byte stands for itself.
void CheckEucJpReadsBack(const Bytes& euc, const Bytes& sjis) {
  Bytes back;
  for (std::size_t i = 0; i < euc.size(); ++i) {
    if (euc[i] >= 0xA1 && euc[i] <= 0xFE && i + 1 < euc.size()) {
      const ShiftJisPair pair = ShiftJisPairOfEucJp(euc[i], euc[i + 1]);
      back.push_back(pair.lead);
      back.push_back(pair.trail);
      ++i;
    } else {
      back.push_back(euc[i]);
    }
  }
  FUZZ_CHECK(back == sjis);
}

void CheckPattern(IconvEncoder& encoder, std::uint16_t codePage, const std::u16string& text, bool expressible,
                  const Bytes& pattern) {
  Bytes expected;
  switch (codePage) {
    case 1200:
      FUZZ_CHECK(expressible && pattern.size() == 2 * text.size());
      for (std::size_t i = 0; i < text.size(); ++i) {
        FUZZ_CHECK(pattern[2 * i] == (text[i] & 0xFF) && pattern[2 * i + 1] == (text[i] >> 8));
      }
      break;
    case 65001:
      FUZZ_CHECK(expressible == (text.empty() || encoder.Utf8(text.data(), text.size(), expected)));
      if (expressible) FUZZ_CHECK(pattern == expected);
      break;
    case 51932:
      if (expressible) {
        Bytes sjis;
        FUZZ_CHECK(TextPattern(encoder, 932, text.c_str(), sjis));
        CheckEucJpReadsBack(pattern, sjis);
      }
      break;
    default:
      break;
  }
}

void CheckTextSearch(fuzz::Input& in) {
  const std::uint16_t codePage = kCodePages[in.U8() % (sizeof(kCodePages) / sizeof(kCodePages[0]))];
  const std::uint32_t flags = in.U8() & (DVFIND_BACKWARD | DVFIND_SELECT);
  const std::uint32_t units = in.U8() % 12;
  std::u16string text;
  for (std::uint32_t n = 0; n < units; ++n) {
    const std::uint8_t range = in.U8();
    text.push_back(PickUnit(range, in.U16()));
  }
  const std::uint32_t insertAt = in.U32();
  const std::uint32_t startPick = in.U32();
  const std::uint8_t endPick = in.U8();
  const std::uint32_t endRaw = in.U32();

  IconvEncoder& encoder = IconvEncoder::Shared();
  Bytes pattern{0xEE};
  const bool expressible = TextPattern(encoder, codePage, text.c_str(), pattern);
  CheckPattern(encoder, codePage, text, expressible, pattern);
  if (!expressible) pattern.clear();

  // The data: the rest of the input with the pattern put in somewhere.
  Bytes bytes(in.rest(), in.rest() + in.restSize());
  const std::size_t at = bytes.empty() ? 0 : insertAt % (bytes.size() + 1);
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), pattern.begin(), pattern.end());
  const fuzz::ExactBytes data(bytes.data(), bytes.size());
  const auto dataLength = static_cast<std::uint32_t>(data.size());

  DumpViewState state{};
  InitDumpViewState(state, 16, DefaultColors{0xFFFFFF, 0, 0xC0C0C0, 0x101010, 0x804000, 0xFFFF30}, true);
  state.codePage = codePage;
  fuzz::CheckingPort port(state);
  port.client = ClientSize{640, 400};
  HandleSetData(port, state, data.data(), dataLength, port.client.width, port.client.height);
  const std::uint32_t start = startPick % (dataLength + 1ull);
  const std::uint32_t end = BoundAround(endPick, endRaw, dataLength);
  state.anchor = 3;
  state.flags = static_cast<std::uint8_t>(state.flags | Selecting);
  const DumpViewState before = state;

  const SearchResult found = FindText(port, state, encoder, text.c_str(), start, end, flags);
  const auto length = static_cast<std::uint32_t>(pattern.size());
  const SearchResult expected =
      !expressible ? SearchResult{kNoIndex, 0}
      : (flags & DVFIND_BACKWARD) != 0
          ? PlainBackward(data.data(), dataLength, start, end, pattern.data(), length)
          : PlainForward(data.data(), dataLength, start, end, pattern.data(), length);
  FUZZ_CHECK(found.index == expected.index && found.lastError == expected.lastError);
  if (!expressible || (flags & DVFIND_SELECT) == 0) {
    FUZZ_CHECK(state.caret == before.caret && state.anchor == before.anchor && state.flags == before.flags);
  } else if (found.index == kNoIndex) {
    FUZZ_CHECK((state.flags & Selecting) == 0);
  } else {
    FUZZ_CHECK(state.anchor == found.index && state.caret == found.index + length &&
               (state.flags & Selecting) != 0);
  }
}

}  // namespace

KELVANE_FUZZ_TARGET(search) {
  fuzz::Input in(data, size);
  switch (in.U8() % 4) {
    case 0:
    case 1:
      CheckByteSearches(in);
      break;
    case 2:
      CheckShiftJisToEucJp(in);
      break;
    default:
      CheckTextSearch(in);
      break;
  }
}
