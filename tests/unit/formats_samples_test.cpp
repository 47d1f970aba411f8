// The interpreters of formats/ on real producers' data (tests/unit/samples,
// see its README): one table of samples, each with the lines its section
// must hold in order, and the same samples bent the ways producers get them
// wrong, each with the problem line it must give.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "formats/caret.h"
#include "formats/details.h"
#include "formats/text.h"
#include "formatsport.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

ByteVector Sample(const std::string& name) {
  std::ifstream in(std::string(KELVANE_FUZZ_DIR) + "/../unit/samples/" + name, std::ios::binary);
  return ByteVector((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The format's section as the pane shows it, read with Whole Data; the data
// is a heap block of exactly its length.
std::vector<std::string> SectionOf(const ByteVector& bytes, std::uint32_t format, const char* name,
                                   SnapshotKind kind = SnapshotKind::WholeData, std::uint32_t blockSize = 0) {
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  SnapshotDescription s;
  s.format = format;
  s.name = name;
  s.length = static_cast<std::uint32_t>(bytes.size());
  s.kind = kind;
  s.blockSize = blockSize;
  s.blockSizeKnown = blockSize != 0;
  IconvFormatPort port;
  std::vector<std::string> texts;
  for (const Line& line : FormatSection(s, exact.get(), port)) texts.push_back(line.text);
  return texts;
}

// Every expected line appears, in this order, among the section's lines.
void ExpectLinesInOrder(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  auto at = actual.begin();
  for (const std::string& line : expected) {
    at = std::find(at, actual.end(), line);
    ASSERT_NE(at, actual.end()) << "missing or out of order: " << line << "\nsection:\n"
                                << ::testing::PrintToString(actual);
  }
}

constexpr std::uint32_t kRegistered = 0xC123;  // any registered number

struct SampleCase {
  const char* file;
  std::uint32_t format;
  const char* name;
  std::vector<std::string> lines;
};

TEST(FormatSamples, EachInterpreterReadsItsRealProducers) {
  const SampleCase cases[] = {
      {"xclip_html_format.bin",
       kRegistered,
       "HTML Format",
       {"HTML Format", "Version: 0.9", "StartHTML: 0000000100", "EndHTML: 0000000219",
        "StartFragment: 0000000120", "EndFragment: 0000000201", "StartSelection: (absent)",
        "SourceURL: (absent)", "Header ends: at byte 100", "Offsets: inside the data and in order",
        "Fragment markers: <!--StartFragment--> and <!--EndFragment--> at the offsets claimed",
        "Fragment: 81 bytes", "  <html><body><p>Kelvane <b>prüft</b> das Format — 日本語</p></body></html>"}},
      {"xclip_urilist_hdrop.bin",
       15,
       "",
       {"Dropped files", "pFiles: 20", "pt: (0, 0)", "fNC: FALSE", "fWide: TRUE (UTF-16 names)", "Files: 2",
        "File 1: Z:\\tmp\\issue16cap\\page.html (at byte 20)",
        "File 2: Z:\\tmp\\issue16cap\\a b.txt (at byte 76)", "List ends: at byte 128"}},
      // An URI list ended by LF alone: Wine keeps it as one name.
      {"xclip_urilist_lf_hdrop.bin",
       15,
       "",
       {"Files: 1", "! file 1 holds a control character at byte 74: no file name can",
        "List ends: at byte 136"}},
      {"xclip_png.bin",
       kRegistered,
       "PNG",
       {"PNG", "Width: 3", "Height: 2", "Bit depth: 1", "Colour type: 3 (indexed)", "Interlace: 0 (none)",
        "Chunks: 10", "Chunk IHDR: at byte 8, 13 bytes, CRC ok", "Chunk PLTE: at byte 93, 6 bytes, CRC ok",
        "Chunk IEND: at byte 265, 0 bytes, CRC ok"}},
      {"xclip_text.bin",
       1,
       "",
       {"Text", "Bytes before the terminator: 32", "Terminator: at byte 32", "Bytes after the terminator: 0",
        "Lines: 2", "Line endings: CRLF", "Bytes outside ASCII: 3"}},
      {"xclip_emoji_unicodetext.bin",
       13,
       "",
       {"Characters before the terminator: 29 (30 UTF-16 units)", "Terminator: at byte 60", "Lines: 2",
        "Line endings: CRLF", "Characters outside ASCII: 3"}},
      {"notepad_unicodetext.bin",
       13,
       "",
       {"Characters before the terminator: 54 (55 UTF-16 units)", "Lines: 3", "Characters outside ASCII: 9"}},
      {"notepad_oemtext.bin",
       7,
       "",
       {"Bytes before the terminator: 55", "Lines: 3", "Bytes outside ASCII: 4"}},
      {"xclip_locale.bin",
       16,
       "",
       {"Locale", "LCID: 0x0409 (1033)", "Locale name: en-US", "ANSI code page: 1252", "OEM code page: 437"}},
      {"wordpad.rtf",
       kRegistered,
       "Rich Text Format",
       {"Rich Text Format", "RTF version: 1", "ANSI code page: 1252", "Default font: 0 (Times New Roman)",
        "Font 0: Times New Roman (charset 0)", "Text: 53 bytes", "  Grüße – naïve café",
        "  日本語 and 😀 here", "  end", "Bytes after the document: 2"}},
      {"xclip_bmp_dib.bin",
       8,
       "",
       {"DIB", "biSize: 40 (BITMAPINFOHEADER)", "biWidth: 5", "biHeight: 3 (bottom-up)", "biBitCount: 32",
        "biCompression: BI_RGB", "biSizeImage: 60",
        "Masks: red 0x00FF0000, green 0x0000FF00, blue 0x000000FF, alpha 0x00000000",
        "Colour table: at byte 40, 0 entries, 0 used", "Bits: at byte 40, 3 rows of 20 bytes, 60 bytes"}},
      {"xclip_bmp_dibv5.bin",
       17,
       "",
       {"biSize: 124 (BITMAPV5HEADER)", "bV5RedMask: 0x00000000", "bV5CSType: LCS_CALIBRATED_RGB",
        "bV5Intent: 0", "bV5ProfileSize: 0", "Bits: at byte 124, 3 rows of 20 bytes, 60 bytes"}},
  };
  for (const SampleCase& c : cases) {
    SCOPED_TRACE(c.file);
    ExpectLinesInOrder(SectionOf(Sample(c.file), c.format, c.name), c.lines);
  }
  // The first 256 bytes of the 100-byte block: its zero tail is no part of it.
  ByteVector window = Sample("xclip_bmp_dib.bin");
  window.resize(256);
  const std::vector<std::string> lines = SectionOf(window, 8, "", SnapshotKind::FixedWindow, 100);
  EXPECT_EQ(lines.back(), "Bits: at byte 40, 3 rows of 20 bytes, 60 bytes");
}

void Put32(ByteVector& b, std::size_t at, std::uint32_t value) { std::memcpy(&b[at], &value, 4); }

// The HTML sample's header rewritten with the given numbers.
void RewriteHtmlHeader(ByteVector& b, std::uint32_t endHtml, std::uint32_t startFragment,
                       std::uint32_t endFragment) {
  char header[101];
  std::snprintf(header, sizeof(header),
                "Version:0.9\nStartHTML:0000000100\nEndHTML:%010u\nStartFragment:%010u\nEndFragment:%010u\n",
                endHtml, startFragment, endFragment);
  std::memcpy(b.data(), header, 100);
}

struct FaultCase {
  const char* what;
  const char* file;
  std::uint32_t format;
  const char* name;
  std::function<void(ByteVector&)> bend;
  std::string problem;
};

TEST(FormatSamples, ProducersFaultsAreReportedWithTheirPlace) {
  const FaultCase cases[] = {
      // Counted in UTF-16 units, as string lengths are: "ü", "—" and three
      // kanji before EndFragment make it 9 short.
      {"html offsets in characters", "xclip_html_format.bin", kRegistered, "HTML Format",
       [](ByteVector& b) { RewriteHtmlHeader(b, 210, 120, 192); },
       "! EndFragment 192 looks counted in characters, not bytes: the fragment ends at byte 201, which is "
       "character 192"},
      {"html EndHTML in characters", "xclip_html_format.bin", kRegistered, "HTML Format",
       [](ByteVector& b) { RewriteHtmlHeader(b, 210, 120, 201); },
       "! EndHTML 210 looks counted in characters, not bytes: the HTML ends at byte 219, which is character "
       "210"},
      {"html past the data", "xclip_html_format.bin", kRegistered, "HTML Format",
       [](ByteVector& b) { RewriteHtmlHeader(b, 219, 120, 812); },
       "! EndFragment 812 points past the data (220 bytes)"},
      {"html out of order", "xclip_html_format.bin", kRegistered, "HTML Format",
       [](ByteVector& b) { RewriteHtmlHeader(b, 219, 201, 120); },
       "! StartFragment 201 lies after EndFragment 120"},
      {"html marker missed", "xclip_html_format.bin", kRegistered, "HTML Format",
       [](ByteVector& b) { RewriteHtmlHeader(b, 219, 100, 201); },
       "! StartFragment 100 does not meet <!--StartFragment-->, which ends at byte 120"},
      {"drop list past the data", "xclip_urilist_hdrop.bin", 15, "", [](ByteVector& b) { Put32(b, 0, 812); },
       "! pFiles 812 points past the data (130 bytes)"},
      {"drop list without its end", "xclip_urilist_hdrop.bin", 15, "", [](ByteVector& b) { b.resize(128); },
       "! the file list does not end: no empty name before the end of the data (128 bytes)"},
      {"drop list cut in a name", "xclip_urilist_hdrop.bin", 15, "", [](ByteVector& b) { b.resize(101); },
       "! the file list does not end: no empty name before the end of the data (101 bytes)"},
      {"png crc", "xclip_png.bin", kRegistered, "PNG", [](ByteVector& b) { b[155] ^= 1; },
       "! IDAT at byte 143: CRC 0x2734270A stored, 0xEB9E2794 computed"},
      {"png cut", "xclip_png.bin", kRegistered, "PNG", [](ByteVector& b) { b.resize(200); },
       "! tEXt at byte 167 claims 37 bytes, which with its CRC runs past the data (200 bytes)"},
      {"text without terminator", "xclip_text.bin", 1, "", [](ByteVector& b) { b.pop_back(); },
       "! no terminator in the data (32 bytes)"},
      {"lone surrogate", "xclip_emoji_unicodetext.bin", 13, "",
       [](ByteVector& b) {
         b[14] = 'A';
         b[15] = 0;
       },
       "! 1 unpaired surrogate, the first at byte 12"},
      {"rtf left open", "wordpad.rtf", kRegistered, "Rich Text Format", [](ByteVector& b) { b.resize(280); },
       "! 1 group still open at the end of the data (280 bytes)"},
      {"locale cut", "xclip_locale.bin", 16, "", [](ByteVector& b) { b.resize(3); },
       "! an LCID takes 4 bytes, the data has 3"},
      {"dib taller than its bits", "xclip_bmp_dib.bin", 8, "", [](ByteVector& b) { Put32(b, 8, 0x7FFFFFFF); },
       "! The DIB's 5 x 2147483647 pixels at 32 bits need more bytes than the data holds."},
      {"dibv5 cut in its header", "xclip_bmp_dibv5.bin", 17, "", [](ByteVector& b) { b.resize(100); },
       "! The data ends 100 bytes into the DIB's 124-byte header."},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.what);
    ByteVector bytes = Sample(c.file);
    c.bend(bytes);
    ExpectLinesInOrder(SectionOf(bytes, c.format, c.name), {c.problem});
  }
}

// Drop lists of 100,000 files show the first 1,000 and count the rest.
TEST(FormatSamples, LongListsAreCapped) {
  ByteVector drop(20, 0);
  Put32(drop, 0, 20);
  for (int i = 0; i < 100000; ++i) drop.insert(drop.end(), {'f', '\0'});
  drop.push_back(0);
  const std::vector<std::string> lines = SectionOf(drop, 15, "");
  ExpectLinesInOrder(lines, {"Files: 100000", "File 1000: f (at byte 2018)", "… and 99000 more files",
                             "List ends: at byte 200020"});
  EXPECT_LT(lines.size(), 1010u);
}

// Line endings, units outside ASCII, surrogates (a pair, a high and a low
// one alone) and the terminator at the edges of the chunks and batches the
// counting takes count as anywhere else, also in a text without a
// terminator (nothing past it is read).
TEST(TextStatistics, CountsTheSameAtEveryChunkEdge) {
  for (const TextUnit unit : {TextUnit::Byte, TextUnit::Utf16}) {
    const std::uint32_t w = unit == TextUnit::Utf16 ? 2 : 1;
    for (const std::uint32_t at : {0u, 24u, 30u, 31u, 62u, 63u, 64u, 4030u, 4031u, 262110u, 262111u}) {
      for (const bool terminated : {true, false}) {
        std::vector<std::uint16_t> units(at + 200, 'a');
        units[at] = units[at + 3] = '\r';
        units[at + 1] = units[at + 100] = '\n';
        units[at + 2] = 0xE9;
        if (w == 2) units[at + 4] = units[at + 7] = 0xD83D, units[at + 5] = units[at + 136] = 0xDE00;
        if (terminated) units.back() = 0;
        ByteVector bytes;
        bytes.reserve(units.size() * w);  // exactly: ASan sees the end
        for (const std::uint16_t u : units) {
          for (std::uint32_t b = 0; b < w; ++b) bytes.push_back(static_cast<std::uint8_t>(u >> (8 * b)));
        }
        SCOPED_TRACE(std::to_string(at) + " " + std::to_string(w) + (terminated ? "" : " unterminated"));
        const TextStatistics s = CountText(bytes.data(), static_cast<std::uint32_t>(bytes.size()), unit);
        EXPECT_EQ(std::vector<std::uint64_t>(
                      {s.crlf, s.cr, s.lf, s.outsideAscii, s.surrogatePairs, s.unpairedSurrogates, s.units}),
                  std::vector<std::uint64_t>(
                      {1, 1, 1, w == 2 ? 5u : 1u, w - 1, 2 * (w - 1), at + 200 - terminated}));
        EXPECT_EQ(s.terminated, terminated);
        EXPECT_EQ(s.firstUnpairedOffset, w == 2 ? 2 * (at + 7) : 0);
      }
    }
  }
}

TEST(AtTheCaret, ValuesDatesAndTheEndOfTheData) {
  // 2024-05-01 12:00:00 UTC as a FILETIME, then as Unix time at offset 8.
  const std::uint8_t bytes[] = {0x00, 0x60, 0xBA, 0x17, 0xBF, 0x9B, 0xDA,
                                0x01, 0xC0, 0x2E, 0x32, 0x66, 0xFF, 0xFE};
  const auto texts = [&](std::uint32_t caret, bool selection) {
    std::vector<std::string> t;
    for (const Line& line : InterpretAtCaret(bytes, sizeof(bytes), CaretFacts{caret, selection, 2, 5})) {
      t.push_back(line.text);
    }
    return t;
  };
  ExpectLinesInOrder(texts(0, true),
                     {"Offset: 0x00000000 (0)", "Selection: start 0x2 (2), end 0x6 (6), length 4",
                      "FILETIME: 2024-05-01 12:00:00 UTC"});
  ExpectLinesInOrder(texts(8, false), {"Selection: none", "Int32: LE 1714564800, BE -1070714266",
                                       "FILETIME: —", "Unix time: 2024-05-01 12:00:00 UTC"});
  ExpectLinesInOrder(texts(12, false),
                     {"Int8: -1", "UInt8: 255 (0xFF)", "Int16: LE -257, BE -2", "UInt16: LE 65279, BE 65534",
                      "Int32: —", "Float32: —", "Unix time: —"});
  ExpectLinesInOrder(texts(14, false), {"Offset: 0x0000000E (14)", "Int8: —", "UInt64: —"});
  EXPECT_EQ(texts(0, false).size(), texts(14, false).size());
}

}  // namespace
