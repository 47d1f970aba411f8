#include "formats/sniff.h"

#include <algorithm>
#include <string_view>

#include "formats/textdecode.h"
#include "picture/picturekind.h"

namespace {

// Text is judged on its first bytes only, so that the sniff costs the same
// for any length of data.
constexpr std::uint32_t kTextSample = 4096;

bool StartsWith(const std::uint8_t* data, std::uint32_t length, std::string_view prefix,
                std::uint32_t at = 0) {
  return at <= length && prefix.size() <= length - at &&
         std::equal(prefix.begin(), prefix.end(), data + at,
                    [](char p, std::uint8_t b) { return static_cast<std::uint8_t>(p) == b; });
}

struct Signature {
  std::string_view bytes;
  std::uint32_t at;
  const char* kind;
};

const Signature kSignatures[] = {
    {std::string_view("PK\x03\x04", 4), 0, "ZIP"},
    {"%PDF-", 0, "PDF"},
    {"{\\rtf", 0, "RTF"},
    {"<?xml", 0, "XML"},
    {"Version:", 0, "HTML Format (with its header)"},
    {"WEBP", 8, "WebP"},
    {"WAVE", 8, "WAV"},
    {std::string_view("\x1F\x8B", 2), 0, "GZIP"},
    {std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), 0, "an OLE compound file"},
};

bool LooksLikeHtml(const std::uint8_t* data, std::uint32_t length) {
  std::uint32_t at = 0;
  while (at < length && at < 64 &&
         (data[at] == ' ' || data[at] == '\t' || data[at] == '\r' || data[at] == '\n')) {
    ++at;
  }
  const std::uint32_t n = std::min<std::uint32_t>(length - at, 9);
  std::string head(reinterpret_cast<const char*>(data + at), n);
  for (char& c : head) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return head.rfind("<!doctype", 0) == 0 || head.rfind("<html", 0) == 0;
}

// Text without a byte-order mark: UTF-16 when most odd bytes are zero and
// the even ones are not; else 8-bit text when no control character but the
// usual white space and a final zero occurs.
std::string SniffText(const std::uint8_t* data, std::uint32_t length) {
  const std::uint32_t n = std::min(length, kTextSample);
  if (n < 2) return {};
  std::uint32_t oddZeros = 0;
  std::uint32_t evenZeros = 0;
  for (std::uint32_t i = 0; i + 1 < n; i += 2) {
    evenZeros += data[i] == 0;
    oddZeros += data[i + 1] == 0;
  }
  const std::uint32_t pairs = n / 2;
  if (oddZeros * 4 >= pairs * 3 && evenZeros * 4 < pairs) return "UTF-16 text";
  bool ascii = true;
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint8_t c = data[i];
    if (c == 0) {
      // Only zeros may follow a terminator.
      if (std::any_of(data + i, data + n, [](std::uint8_t b) { return b != 0; })) return {};
      break;
    }
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return {};
    if (c >= 0x80) ascii = false;
  }
  if (ascii) return "ASCII text";
  // The sample may cut the last character short.
  const std::uint32_t valid = ValidUtf8Length(data, n);
  return valid == n || (n == kTextSample && n - valid < 4) ? "UTF-8 text" : "8-bit text";
}

}  // namespace

std::string SniffContent(const std::uint8_t* data, std::uint32_t length) {
  // The pictures by the signatures the Picture view decodes them by.
  const PictureKind picture = SniffPictureKind(data, length);
  if (picture != PictureKind::None) return PictureKindName(picture);
  if (StartsWith(data, length, "\xEF\xBB\xBF")) return "UTF-8 text with BOM";
  if (StartsWith(data, length, "\xFF\xFE")) return "UTF-16 text with BOM";
  if (StartsWith(data, length, "\xFE\xFF")) return "UTF-16 big-endian text with BOM";
  for (const Signature& s : kSignatures) {
    if (StartsWith(data, length, s.bytes, s.at)) return s.kind;
  }
  if (LooksLikeHtml(data, length)) return "HTML";
  return SniffText(data, length);
}
