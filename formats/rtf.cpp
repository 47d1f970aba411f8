#include "formats/rtf.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/unicode.h"
#include "formats/textdecode.h"

namespace {

// Groups deeper than this are still counted, but share the state of the
// deepest one kept: a run of millions of '{' costs no memory.
constexpr std::size_t kMaxKeptDepth = 1024;
constexpr std::uint32_t kDefaultCodePage = 1252;
constexpr std::uint32_t kMaxFonts = 1000;
constexpr std::size_t kMaxFontNameBytes = 256;

// Destinations whose text is not the document's visible text.
constexpr std::string_view kSkippedDestinations[] = {"fonttbl",
                                                     "colortbl",
                                                     "stylesheet",
                                                     "info",
                                                     "pict",
                                                     "object",
                                                     "header",
                                                     "footer",
                                                     "headerl",
                                                     "headerr",
                                                     "headerf",
                                                     "footerl",
                                                     "footerr",
                                                     "footerf",
                                                     "footnote",
                                                     "fldinst",
                                                     "themedata",
                                                     "colorschememapping",
                                                     "latentstyles",
                                                     "datastore",
                                                     "xmlnstbl",
                                                     "listtable",
                                                     "listoverridetable",
                                                     "rsidtbl",
                                                     "generator",
                                                     "filetbl",
                                                     "revtbl",
                                                     "pgdsctbl",
                                                     "listtext",
                                                     "pntext",
                                                     "pntxta",
                                                     "pntxtb",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "nonshppict",
                                                     "shpinst",
                                                     "template",
                                                     "userprops",
                                                     "docvar",
                                                     "annotation",
                                                     "atnid",
                                                     "atnauthor"};

struct Group {
  bool skip = false;
  bool fontTable = false;
  bool inFont = false;            // a font's own group inside the table
  bool fontDetail = false;        // a group inside a font's group ({\*\panose ...})
  std::uint32_t unicodeSkip = 1;  // \ucN: bytes that stand in for each \uN
};

struct Font {
  std::string name;
  std::optional<std::int64_t> charset;
};

// A fault that may recur once a byte: the first and the last place and how
// many, so that a run of them gives two lines, not one line a byte.
struct RecurringFault {
  std::uint64_t count = 0;
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  void Note(std::uint32_t at) {
    if (count++ == 0) first = at;
    last = at;
  }
  // "<what> at byte <first> <is>", then "<n> more <what> <are>, the last at
  // byte <last>".
  void Report(Lines& lines, const std::string& what, const std::string& is, const std::string& are) const {
    if (count == 0) return;
    AddProblem(lines, what + " at byte " + Decimal(first) + " " + is);
    if (count > 1) {
      AddProblem(lines,
                 Decimal(count - 1) + " more " + what + " " + are + ", the last at byte " + Decimal(last));
    }
  }
};

struct ControlWord {
  std::string_view word;
  bool hasParameter = false;
  std::int64_t parameter = 0;
};

class RtfReader {
 public:
  RtfReader(const std::uint8_t* data, std::uint32_t length, FormatPort& port)
      : data_(data), length_(length), port_(port) {}

  Lines Read();

 private:
  // Bytes that wait to be decoded count too, so that a run of them stops
  // the read as soon as it could fill the text shown.
  bool TextFull() const { return text_.size() + pendingBytes_.size() >= kRtfTextShownBytes; }
  Group& Top() { return groups_.back(); }
  bool Skipping() { return Top().skip; }

  void OpenGroup();
  void CloseGroup(std::uint32_t at);
  void OnControl(std::uint32_t at);
  void OnControlWord(const ControlWord& cw);
  void OnHexByte(std::uint32_t at);
  void OnCharacter(std::uint8_t byte);
  void AddToFontName(std::uint8_t byte);
  void Emit(const std::string& utf8);
  void EmitCodePoint(std::uint32_t cp);
  void FlushBytes();
  void OnUnicode(std::int64_t value);
  void SkipStandIns();

  const std::uint8_t* data_;
  std::uint32_t length_;
  FormatPort& port_;
  std::uint32_t at_ = 0;
  std::vector<Group> groups_;     // [0] is outside every group
  std::uint64_t depth_ = 0;       // open groups, counted past kMaxKeptDepth too
  bool destinationNext_ = false;  // \* was seen: the group is optional
  bool groupStart_ = false;       // no control word yet since the last '{'

  std::optional<std::int64_t> version_;
  std::optional<std::int64_t> ansiCodePage_;
  std::optional<std::int64_t> defaultFont_;
  std::map<std::int64_t, Font> fonts_;
  std::int64_t currentFont_ = -1;

  std::vector<std::uint8_t> pendingBytes_;  // \'hh bytes, decoded together
  std::uint32_t pendingHighSurrogate_ = 0;
  std::string text_;
  Lines problems_;
  RecurringFault strayCloses_;
  RecurringFault badHexBytes_;
  std::uint32_t documentEnd_ = 0;  // after the '}' that closes the outermost group
};

void RtfReader::OpenGroup() {
  ++depth_;
  Group next = groups_.empty() ? Group{} : Top();
  if (groups_.size() < kMaxKeptDepth) {
    next.inFont = Top().fontTable && !Top().inFont && !Top().fontDetail;
    next.fontDetail = Top().fontTable && (Top().inFont || Top().fontDetail);
    groups_.push_back(next);
  }
  groupStart_ = true;
}

void RtfReader::CloseGroup(std::uint32_t at) {
  FlushBytes();
  if (depth_ == 0) {
    strayCloses_.Note(at);
    return;
  }
  // Groups past kMaxKeptDepth have no entry of their own.
  if (groups_.size() == depth_ + 1) groups_.pop_back();
  --depth_;
  groupStart_ = false;
  if (depth_ == 0) documentEnd_ = at + 1;
}

bool IsSkippedDestination(std::string_view word) {
  return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
         std::end(kSkippedDestinations);
}

void RtfReader::OnControlWord(const ControlWord& cw) {
  const std::string_view w = cw.word;
  const bool first = groupStart_;
  groupStart_ = false;
  if (first && (destinationNext_ || IsSkippedDestination(w))) {
    if (w == "fonttbl") {
      Top().fontTable = true;
    }
    Top().skip = true;
  }
  destinationNext_ = false;
  if (w == "rtf" && !version_) version_ = cw.hasParameter ? cw.parameter : 0;
  if (w == "ansicpg" && cw.hasParameter && !ansiCodePage_) ansiCodePage_ = cw.parameter;
  if (w == "deff" && cw.hasParameter && !defaultFont_) defaultFont_ = cw.parameter;
  if (w == "uc" && cw.hasParameter) {
    Top().unicodeSkip = static_cast<std::uint32_t>(std::clamp<std::int64_t>(cw.parameter, 0, 16));
  }
  if (Top().fontTable) {
    if (w == "f" && cw.hasParameter && (fonts_.size() < kMaxFonts || fonts_.count(cw.parameter) != 0)) {
      currentFont_ = cw.parameter;
      fonts_[currentFont_];
    }
    if (w == "fcharset" && cw.hasParameter && currentFont_ >= 0) fonts_[currentFont_].charset = cw.parameter;
    return;
  }
  if (Skipping()) return;
  if (w == "u" && cw.hasParameter) {
    OnUnicode(cw.parameter);
    return;
  }
  if (w == "par" || w == "line" || w == "row" || w == "sect" || w == "page") Emit("\n");
  if (w == "tab" || w == "cell") Emit("\t");
  if (w == "emdash") Emit("\xE2\x80\x94");
  if (w == "endash") Emit("\xE2\x80\x93");
  if (w == "bullet") Emit("\xE2\x80\xA2");
  if (w == "lquote") Emit("\xE2\x80\x98");
  if (w == "rquote") Emit("\xE2\x80\x99");
  if (w == "ldblquote") Emit("\xE2\x80\x9C");
  if (w == "rdblquote") Emit("\xE2\x80\x9D");
}

int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void RtfReader::OnHexByte(std::uint32_t at) {
  // at is the byte after "\'".
  const int high = at < length_ ? HexValue(data_[at]) : -1;
  const int low = at + 1 < length_ ? HexValue(data_[at + 1]) : -1;
  if (high < 0 || low < 0) {
    badHexBytes_.Note(at - 2);
    at_ = std::min(at + 2, length_);
    return;
  }
  at_ = at + 2;
  const auto byte = static_cast<std::uint8_t>(high * 16 + low);
  if (Top().fontTable) {
    if (!Top().fontDetail && currentFont_ >= 0) AddToFontName(byte);
    return;
  }
  if (!Skipping()) pendingBytes_.push_back(byte);
}

// Text bytes of the document's code page wait until a run of them ends, so
// that the two bytes of a double-byte character are decoded together.
void RtfReader::FlushBytes() {
  if (pendingBytes_.empty()) return;
  const std::uint32_t codePage =
      ansiCodePage_ ? static_cast<std::uint32_t>(*ansiCodePage_) : kDefaultCodePage;
  const auto count = static_cast<std::uint32_t>(pendingBytes_.size());
  text_ += codePage == kUtf8CodePage ? Utf8OfUtf8Bytes(pendingBytes_.data(), count)
                                     : port_.TextInCodePage(codePage, pendingBytes_.data(), count);
  pendingBytes_.clear();
}

void RtfReader::Emit(const std::string& utf8) {
  FlushBytes();
  if (pendingHighSurrogate_ != 0) {
    pendingHighSurrogate_ = 0;
    text_ += "\xEF\xBF\xBD";
  }
  text_ += utf8;
}

void RtfReader::EmitCodePoint(std::uint32_t cp) {
  const std::uint8_t units[2] = {static_cast<std::uint8_t>(cp & 0xFF), static_cast<std::uint8_t>(cp >> 8)};
  Emit(Utf8OfUtf16Units(units, 1));
}

// \uN gives a UTF-16 unit as a signed 16-bit number; a pair of them gives a
// character outside the BMP.
void RtfReader::OnUnicode(std::int64_t value) {
  const auto unit = static_cast<std::uint32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
  if (IsLowSurrogate(static_cast<char16_t>(unit)) && pendingHighSurrogate_ != 0) {
    FlushBytes();
    const std::uint8_t units[4] = {static_cast<std::uint8_t>(pendingHighSurrogate_ & 0xFF),
                                   static_cast<std::uint8_t>(pendingHighSurrogate_ >> 8),
                                   static_cast<std::uint8_t>(unit & 0xFF),
                                   static_cast<std::uint8_t>(unit >> 8)};
    pendingHighSurrogate_ = 0;
    text_ += Utf8OfUtf16Units(units, 2);
  } else if (IsHighSurrogate(static_cast<char16_t>(unit))) {
    Emit("");
    pendingHighSurrogate_ = unit;
  } else {
    EmitCodePoint(unit);
  }
  SkipStandIns();
}

// After \uN come \ucN characters for readers that know no Unicode: a plain
// byte or a \'hh each. A brace or another control word ends them early.
void RtfReader::SkipStandIns() {
  for (std::uint32_t n = Top().unicodeSkip; n > 0 && at_ < length_; --n) {
    const std::uint8_t c = data_[at_];
    if (c == '{' || c == '}') return;
    if (c == '\\') {
      if (at_ + 1 < length_ && data_[at_ + 1] == '\'') {
        at_ = std::min(at_ + 4, length_);
        continue;
      }
      return;
    }
    ++at_;
  }
}

// A font's name is kept to its first kMaxFontNameBytes bytes, however they
// are written.
void RtfReader::AddToFontName(std::uint8_t byte) {
  std::string& name = fonts_[currentFont_].name;
  if (name.size() < kMaxFontNameBytes) name += static_cast<char>(byte);
}

void RtfReader::OnCharacter(std::uint8_t byte) {
  destinationNext_ = false;
  groupStart_ = false;
  if (Top().fontTable) {
    if (Top().fontDetail) return;
    if (byte == ';') {
      currentFont_ = -1;
    } else if (currentFont_ >= 0) {
      AddToFontName(byte);
    }
    return;
  }
  if (Skipping() || byte == '\r' || byte == '\n') return;
  if (byte < 0x80) {
    const char c = static_cast<char>(byte);
    Emit(std::string(1, c));
  } else {
    pendingBytes_.push_back(byte);  // an 8-bit byte written as is
  }
}

bool IsLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void RtfReader::OnControl(std::uint32_t at) {
  // at is the backslash.
  const std::uint32_t next = at + 1;
  if (next >= length_) {
    at_ = length_;
    return;
  }
  const std::uint8_t c = data_[next];
  if (!IsLetter(c)) {
    at_ = next + 1;
    if (c == '\'') {
      OnHexByte(next + 1);
      return;
    }
    if (c == '*') {
      destinationNext_ = true;
      return;
    }
    if (c == '\\' || c == '{' || c == '}') {
      OnCharacter(c);
    } else if (c == '~' && !Skipping() && !Top().fontTable) {
      Emit("\xC2\xA0");
    } else if (c == '_' && !Skipping() && !Top().fontTable) {
      Emit("-");
    } else if ((c == '\n' || c == '\r') && !Skipping() && !Top().fontTable) {
      Emit("\n");
    }
    return;
  }
  std::uint32_t end = next;
  while (end < length_ && end - next < 32 && IsLetter(data_[end])) ++end;
  ControlWord cw;
  cw.word = std::string_view(reinterpret_cast<const char*>(data_ + next), end - next);
  std::uint32_t p = end;
  const bool negative = p < length_ && data_[p] == '-';
  if (negative) ++p;
  const std::uint32_t digits = p;
  std::int64_t value = 0;
  while (p < length_ && p - digits < 10 && data_[p] >= '0' && data_[p] <= '9')
    value = value * 10 + (data_[p++] - '0');
  if (p > digits) {
    cw.hasParameter = true;
    cw.parameter = negative ? -value : value;
  } else {
    p = end;
  }
  if (p < length_ && data_[p] == ' ') ++p;  // the delimiter belongs to the word
  at_ = p;
  if (cw.word == "bin" && cw.hasParameter) {
    // Binary data of the given length follows, which may hold any bytes.
    const std::uint64_t skip = cw.parameter > 0 ? static_cast<std::uint64_t>(cw.parameter) : 0;
    at_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(at_ + skip, length_));
    return;
  }
  if (cw.word != "u" && cw.word != "uc") FlushBytes();
  OnControlWord(cw);
}

Lines RtfReader::Read() {
  Lines lines;
  groups_.push_back(Group{});
  static constexpr std::string_view kStart = "{\\rtf";
  if (length_ < kStart.size() || !std::equal(kStart.begin(), kStart.end(), data_)) {
    AddProblem(problems_, "the data does not start with {\\rtf");
  }
  // The version, the code page and the font table come before the text.
  while (at_ < length_ && !TextFull() && documentEnd_ == 0) {
    const std::uint32_t at = at_;
    const std::uint8_t c = data_[at];
    if (c == '{') {
      FlushBytes();
      OpenGroup();
      at_ = at + 1;
    } else if (c == '}') {
      CloseGroup(at);
      at_ = at + 1;
    } else if (c == '\\') {
      OnControl(at);
    } else {
      OnCharacter(c);
      at_ = at + 1;
    }
  }
  Emit("");  // decodes what waits, and ends a high surrogate left alone
  const bool stoppedEarly = at_ < length_ && documentEnd_ == 0;
  AddField(lines, "RTF version", version_ ? std::to_string(*version_) : "(none)");
  AddField(lines, "ANSI code page", ansiCodePage_ ? std::to_string(*ansiCodePage_) : "(none; 1252 assumed)");
  // A font's name is bytes of the document's code page, like its text.
  const auto nameOf = [this](const Font& font) {
    std::string name = WithoutControls(
        port_.TextInCodePage(ansiCodePage_ ? static_cast<std::uint32_t>(*ansiCodePage_) : kDefaultCodePage,
                             reinterpret_cast<const std::uint8_t*>(font.name.data()),
                             static_cast<std::uint32_t>(font.name.size())));
    name.erase(0, name.find_first_not_of(' '));
    return name;
  };
  std::string defaultFont = defaultFont_ ? std::to_string(*defaultFont_) : "(none)";
  if (defaultFont_ && fonts_.count(*defaultFont_) != 0)
    defaultFont += " (" + nameOf(fonts_[*defaultFont_]) + ")";
  AddField(lines, "Default font", defaultFont);
  for (auto& [number, font] : fonts_) {
    std::string value = nameOf(font);
    if (font.charset) value += " (charset " + std::to_string(*font.charset) + ")";
    AddField(lines, "Font " + std::to_string(number), value);
  }
  strayCloses_.Report(problems_, "}", "closes no group", "close no group");
  badHexBytes_.Report(problems_, "\\'", "is followed by no pair of hex digits",
                      "are followed by no pair of hex digits");
  if (!stoppedEarly && depth_ != 0) {
    AddProblem(problems_, std::to_string(depth_) + " group" + (depth_ == 1 ? "" : "s") +
                              " still open at the end of the data (" + Bytes(length_) + ")");
  }
  const std::uint32_t shown = Utf8PrefixLength(reinterpret_cast<const std::uint8_t*>(text_.data()),
                                               static_cast<std::uint32_t>(text_.size()), kRtfTextShownBytes);
  AddField(lines, "Text", stoppedEarly || shown < text_.size() ? "the first " + Bytes(shown) : Bytes(shown));
  AddTextBlock(lines, text_.substr(0, shown));
  if (documentEnd_ != 0 && documentEnd_ < length_) {
    AddField(lines, "Bytes after the document", Decimal(length_ - documentEnd_));
  }
  AppendLines(lines, problems_);
  return lines;
}

}  // namespace

Lines InterpretRtf(const std::uint8_t* data, std::uint32_t length, FormatPort& port) {
  return RtfReader(data, length, port).Read();
}
