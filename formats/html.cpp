#include "formats/html.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "formats/textdecode.h"

namespace {

// The header is a few short lines; one that never ends is no header.
constexpr std::uint32_t kMaxHeaderBytes = 64 * 1024;

constexpr std::string_view kStartMarker = "<!--StartFragment-->";
constexpr std::string_view kEndMarker = "<!--EndFragment-->";

enum Field {
  kVersion,
  kStartHtml,
  kEndHtml,
  kStartFragment,
  kEndFragment,
  kStartSelection,
  kEndSelection,
  kSourceUrl,
  kFieldCount
};
constexpr const char* kFieldNames[kFieldCount] = {"Version",       "StartHTML",   "EndHTML",
                                                  "StartFragment", "EndFragment", "StartSelection",
                                                  "EndSelection",  "SourceURL"};
// The fields a reader cannot do without.
constexpr bool kRequired[kFieldCount] = {true, true, true, true, true, false, false, false};

struct HeaderValue {
  bool present = false;
  std::string text;
  std::uint32_t at = 0;  // the value's first byte
};

struct Header {
  HeaderValue values[kFieldCount];
  Lines otherFields;
  std::uint32_t end = 0;  // the first byte after the header lines
};

bool IsNameChar(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Reads "Name:value" lines from the start. The header ends at the first line
// that is not one (the HTML itself begins with '<').
Header ReadHeader(const std::uint8_t* data, std::uint32_t length) {
  Header header;
  const std::uint32_t limit = std::min(length, kMaxHeaderBytes);
  std::uint32_t at = 0;
  while (at < limit) {
    std::uint32_t nameEnd = at;
    while (nameEnd < limit && IsNameChar(data[nameEnd])) ++nameEnd;
    if (nameEnd == at || nameEnd >= limit || data[nameEnd] != ':') break;
    std::uint32_t lineEnd = nameEnd + 1;
    while (lineEnd < limit && data[lineEnd] != '\r' && data[lineEnd] != '\n' && data[lineEnd] != 0) ++lineEnd;
    const std::string name(reinterpret_cast<const char*>(data + at), nameEnd - at);
    const std::uint32_t valueAt = nameEnd + 1;
    std::string value = WithoutControls(Utf8OfUtf8Bytes(data + valueAt, lineEnd - valueAt));
    const auto known = std::find(std::begin(kFieldNames), std::end(kFieldNames), name);
    if (known != std::end(kFieldNames)) {
      HeaderValue& field = header.values[known - std::begin(kFieldNames)];
      field = HeaderValue{true, std::move(value), valueAt};
    } else {
      AddField(header.otherFields, name, value);
    }
    at = lineEnd;
    if (at < limit && data[at] == '\r') ++at;
    if (at < limit && data[at] == '\n') ++at;
  }
  header.end = at;
  return header;
}

// A header number: decimal digits, or -1 ("no such part" for the HTML's
// bounds and the selection).
struct Number {
  bool valid = false;
  bool none = false;  // -1
  std::uint64_t value = 0;
};

Number ParseNumber(const std::string& text) {
  std::string_view digits = text;
  while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  if (digits == "-1") return Number{true, true, 0};
  if (digits.empty() || digits.size() > 12) return Number{};
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return Number{};
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return Number{true, false, value};
}

bool MarkerAt(const std::uint8_t* data, std::uint32_t length, std::uint64_t at, std::string_view marker) {
  return at <= length && marker.size() <= length - at &&
         std::equal(marker.begin(), marker.end(), data + at,
                    [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

std::uint32_t FindMarker(const std::uint8_t* data, std::uint32_t length, std::string_view marker) {
  const std::uint8_t* end = data + length;
  const std::uint8_t* found =
      std::search(data, end, marker.begin(), marker.end(),
                  [](std::uint8_t b, char m) { return static_cast<std::uint8_t>(m) == b; });
  return found == end ? kNoIndex : static_cast<std::uint32_t>(found - data);
}

struct Offsets {
  Number numbers[kFieldCount];
};

void CheckRangesAndOrder(Lines& lines, const Offsets& o, const Header& header, std::uint32_t length) {
  for (int f = kStartHtml; f <= kEndSelection; ++f) {
    const Number& n = o.numbers[f];
    if (!n.valid || n.none) continue;
    if (n.value > length) {
      AddProblem(lines, std::string(kFieldNames[f]) + " " + Decimal(n.value) + " points past the data (" +
                            Bytes(length) + ")");
    } else if (n.value < header.end) {
      AddProblem(lines, std::string(kFieldNames[f]) + " " + Decimal(n.value) +
                            " points into the header, which ends at byte " + Decimal(header.end));
    }
  }
  // Each pair in the order the parts nest: the HTML around the fragment
  // around the selection.
  const int order[][2] = {{kStartHtml, kEndHtml},           {kStartFragment, kEndFragment},
                          {kStartSelection, kEndSelection}, {kStartHtml, kStartFragment},
                          {kEndFragment, kEndHtml},         {kStartFragment, kStartSelection},
                          {kEndSelection, kEndFragment}};
  for (const auto& pair : order) {
    const Number& a = o.numbers[pair[0]];
    const Number& b = o.numbers[pair[1]];
    if (!a.valid || !b.valid || a.none || b.none || a.value <= b.value) continue;
    AddProblem(lines, std::string(kFieldNames[pair[0]]) + " " + Decimal(a.value) + " lies after " +
                          kFieldNames[pair[1]] + " " + Decimal(b.value));
  }
}

// Producers that build the header from the length of their strings in
// UTF-16 units (as .NET, Java and JavaScript count them) rather than from
// the UTF-8 bytes they write get every offset after the first character
// outside ASCII short by the extra bytes: the commonest fault of this header.
// An offset that misses its marker in bytes but meets it when counted in
// characters is reported as such.
void CheckMarker(Lines& lines, const std::uint8_t* data, std::uint32_t length, const Number& claimed,
                 const char* fieldName, std::string_view marker, bool markerEndsAtOffset) {
  if (!claimed.valid || claimed.none) return;
  const std::uint64_t expectedStart =
      markerEndsAtOffset ? claimed.value - std::min<std::uint64_t>(claimed.value, marker.size())
                         : claimed.value;
  const bool fits = !markerEndsAtOffset || claimed.value >= marker.size();
  if (fits && MarkerAt(data, length, expectedStart, marker)) return;
  const std::uint32_t found = FindMarker(data, length, marker);
  const std::string name(marker);
  if (found == kNoIndex) {
    AddProblem(lines, "no " + name + " in the data to confirm " + fieldName + " " + Decimal(claimed.value));
    return;
  }
  const std::uint32_t where = markerEndsAtOffset ? found + static_cast<std::uint32_t>(marker.size()) : found;
  const std::uint32_t asCharacters = ByteOffsetOfUtf16Index(data, length, claimed.value);
  if (asCharacters == where && where != claimed.value) {
    AddProblem(lines, std::string(fieldName) + " " + Decimal(claimed.value) +
                          " looks counted in characters, not bytes: the fragment " +
                          (markerEndsAtOffset ? "starts" : "ends") + " at byte " + Decimal(where) +
                          ", which is character " + Decimal(claimed.value));
    return;
  }
  AddProblem(lines, std::string(fieldName) + " " + Decimal(claimed.value) + " does not meet " + name +
                        ", which " + (markerEndsAtOffset ? "ends" : "starts") + " at byte " + Decimal(where));
}

// EndHTML should be where the HTML stops: the end of the data or its
// terminating zero.
void CheckEndHtml(Lines& lines, const std::uint8_t* data, std::uint32_t length, const Number& endHtml) {
  if (!endHtml.valid || endHtml.none || endHtml.value > length) return;
  const std::uint32_t zero = FindZeroByte(data, length, 0);
  const std::uint32_t htmlEnd = zero == kNoIndex ? length : zero;
  if (endHtml.value == htmlEnd) return;
  if (endHtml.value < htmlEnd && Utf16LengthOfUtf8(data, htmlEnd) == endHtml.value) {
    AddProblem(lines, "EndHTML " + Decimal(endHtml.value) +
                          " looks counted in characters, not bytes: the HTML ends at byte " +
                          Decimal(htmlEnd) + ", which is character " + Decimal(endHtml.value));
  } else if (endHtml.value < htmlEnd) {
    AddField(lines, "Bytes after EndHTML", Decimal(htmlEnd - endHtml.value));
  } else {
    AddProblem(lines, "EndHTML " + Decimal(endHtml.value) + " lies past the HTML's terminator at byte " +
                          Decimal(htmlEnd));
  }
}

void ShowFragment(Lines& lines, const std::uint8_t* data, std::uint32_t length, const Offsets& o) {
  const Number& start = o.numbers[kStartFragment];
  const Number& end = o.numbers[kEndFragment];
  if (!start.valid || !end.valid || start.none || end.none || start.value > end.value || end.value > length) {
    return;
  }
  const auto first = static_cast<std::uint32_t>(start.value);
  const auto count = static_cast<std::uint32_t>(end.value - start.value);
  const std::uint32_t shown = Utf8PrefixLength(data + first, count, kFragmentShownBytes);
  AddField(lines, "Fragment", Bytes(count));
  AddTextBlock(lines, Utf8OfUtf8Bytes(data + first, shown));
  if (shown < count) AddText(lines, MoreItemsText(count - shown, "bytes of the fragment"));
}

}  // namespace

Lines InterpretHtml(const std::uint8_t* data, std::uint32_t length) {
  Lines lines;
  const Header header = ReadHeader(data, length);
  Offsets o;
  for (int f = 0; f < kFieldCount; ++f) {
    const HeaderValue& v = header.values[f];
    if (!v.present) {
      if (kRequired[f]) {
        AddProblem(lines, std::string("no ") + kFieldNames[f] + " in the header");
      } else {
        AddField(lines, kFieldNames[f], "(absent)");
      }
      continue;
    }
    AddField(lines, kFieldNames[f], v.text);
    if (f == kVersion || f == kSourceUrl) continue;
    o.numbers[f] = ParseNumber(v.text);
    if (!o.numbers[f].valid) {
      AddProblem(lines, std::string(kFieldNames[f]) + " \"" + v.text + "\" at byte " + Decimal(v.at) +
                            " is no number");
    }
  }
  AppendLines(lines, header.otherFields);
  AddField(lines, "Header ends", "at byte " + Decimal(header.end));
  // Each check says so when it finds nothing wrong, so that a header that
  // passed can be told from one that was not checked.
  const std::size_t before = lines.size();
  CheckRangesAndOrder(lines, o, header, length);
  if (lines.size() == before) AddField(lines, "Offsets", "inside the data and in order");
  const std::size_t beforeMarkers = lines.size();
  CheckMarker(lines, data, length, o.numbers[kStartFragment], "StartFragment", kStartMarker, true);
  CheckMarker(lines, data, length, o.numbers[kEndFragment], "EndFragment", kEndMarker, false);
  const Number& start = o.numbers[kStartFragment];
  const Number& end = o.numbers[kEndFragment];
  if (lines.size() == beforeMarkers && start.valid && !start.none && end.valid && !end.none) {
    AddField(lines, "Fragment markers", "<!--StartFragment--> and <!--EndFragment--> at the offsets claimed");
  }
  CheckEndHtml(lines, data, length, o.numbers[kEndHtml]);
  ShowFragment(lines, data, length, o);
  return lines;
}
