// The interpreters of formats/ on real producers' data (tests/unit/samples,
// see its README) and on blocks built here where no producer at hand writes
// the case: one table of samples, each with every line its section must
// show, in order, as a person reading the bytes would write them; and the
// same samples bent the ways producers get them wrong, each with the
// problem line it must give.
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

// A snapshot of the bytes, read the given way; the data is a heap block of
// exactly its length.
struct Snapshot {
  Snapshot(const ByteVector& bytes, std::uint32_t format, const char* name, SnapshotKind kind,
           std::uint32_t blockSize = 0)
      : data(new std::uint8_t[bytes.size()]) {
    std::copy(bytes.begin(), bytes.end(), data.get());
    s.format = format;
    s.name = name;
    s.length = static_cast<std::uint32_t>(bytes.size());
    s.kind = kind;
    s.blockSize = blockSize;
    s.blockSizeKnown = blockSize != 0;
  }
  std::unique_ptr<std::uint8_t[]> data;
  SnapshotDescription s;
};

// The format's section as the pane shows it, read with Whole Data.
std::vector<std::string> SectionOf(const ByteVector& bytes, std::uint32_t format, const char* name,
                                   SnapshotKind kind = SnapshotKind::WholeData, std::uint32_t blockSize = 0) {
  const Snapshot snapshot(bytes, format, name, kind, blockSize);
  IconvFormatPort port;
  std::vector<std::string> texts;
  for (const Line& line : FormatSection(snapshot.s, snapshot.data.get(), port)) texts.push_back(line.text);
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

ByteVector Text(const std::string& s) { return ByteVector(s.begin(), s.end()); }
ByteVector& Put(ByteVector& b, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return b;
}
ByteVector& PutText(ByteVector& b, const std::string& s, bool wide = false) {
  for (const char c : s) Put(b, static_cast<std::uint8_t>(c), wide ? 2 : 1);
  return b;
}
ByteVector Le32(std::uint32_t value) {
  ByteVector b;
  return Put(b, value, 4);
}
template <class T>
std::vector<T> Join(std::vector<T> a, const std::vector<T>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// 2024-05-01 12:00:00.1234567 UTC as a FILETIME.
constexpr std::uint64_t kFileTime = 0x01DA9BBF17CD3687;

// One FILEDESCRIPTOR(W): flags, attributes, creation and write times, size,
// name; the other fields 0.
ByteVector FileDescriptor(std::uint32_t flags, std::uint32_t attributes, std::uint64_t written,
                          std::uint64_t size, const std::string& name, bool wide) {
  ByteVector b;
  Put(b, flags, 4).resize(36, 0);
  Put(Put(b, attributes, 4), kFileTime, 8);
  Put(Put(b, kFileTime - 1234567 + 123, 8), written, 8);  // accessed 123 intervals past the second
  Put(Put(b, size >> 32, 4), size & 0xFFFFFFFF, 4);
  PutText(b, name, wide).resize(72 + 260 * (wide ? 2 : 1), 0);
  return b;
}

// A file-system shell item: its short name, and a long name in the
// extension block of the given version (none for 0).
ByteVector FileSystemItem(std::uint8_t type, const std::string& shortName, std::uint16_t version,
                          const std::string& longName) {
  ByteVector b = {0, 0, type, 0};
  Put(Put(Put(b, 1234, 4), 0x24AF5D88, 4), 0x20, 2);
  PutText(b, shortName).push_back(0);
  if (b.size() % 2 != 0) b.push_back(0);
  const auto block = static_cast<std::uint16_t>(b.size());
  if (version != 0) {
    ByteVector e;
    Put(Put(Put(e, 0, 2), version, 2), 0xBEEF0004, 4).resize(version >= 9 ? 46 : 20, 0);
    PutText(e, longName, true).insert(e.end(), {0, 0});
    Put(e, block, 2);
    e[0] = static_cast<std::uint8_t>(e.size());
    b = Join(b, e);
  }
  b[0] = static_cast<std::uint8_t>(b.size());
  return b;
}

ByteVector RootItem(const ByteVector& guid) { return Join({20, 0, 0x1F, 0}, guid); }
const ByteVector kThisPcGuid = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
ByteVector DriveItem(const std::string& root) {
  ByteVector b = {25, 0, 0x2F};
  PutText(b, root).resize(25, 0);
  return b;
}

// A Shell IDList Array of the lists, with extra offsets (past the data,
// or again a list's own) after theirs.
ByteVector IdListArray(const std::vector<ByteVector>& lists, const std::vector<std::uint32_t>& extra = {}) {
  ByteVector b;
  Put(b, lists.size() + extra.size() - 1, 4);
  std::uint32_t at = 4 + 4 * static_cast<std::uint32_t>(lists.size() + extra.size());
  ByteVector body;
  for (const ByteVector& list : lists) {
    Put(b, at + body.size(), 4);
    body = Join(body, list);
    Put(body, 0, 2);
  }
  for (const std::uint32_t offset : extra) Put(b, offset, 4);
  return Join(b, body);
}

constexpr std::uint32_t kRegistered = 0xC123;  // any registered number

struct SampleCase {
  const char* what;
  ByteVector bytes;
  std::uint32_t format;
  const char* name;
  std::vector<std::string> lines;
};
using Lines = std::vector<std::string>;
SampleCase Case(const char* what, ByteVector bytes, std::uint32_t format, const char* name, Lines lines) {
  return {what, std::move(bytes), format, name, std::move(lines)};
}
SampleCase FromFile(const char* file, std::uint32_t format, const char* name, Lines lines) {
  return {file, Sample(file), format, name, std::move(lines)};
}

// The section of an HTML Format block with the given header numbers and
// xclip's fragment, every offset right.
Lines HtmlLines(const char* startHtml, const char* endHtml, const char* startFragment,
                const char* endFragment, const char* headerEnd) {
  return {"HTML Format",
          "Version: 0.9",
          std::string("StartHTML: ") + startHtml,
          std::string("EndHTML: ") + endHtml,
          std::string("StartFragment: ") + startFragment,
          std::string("EndFragment: ") + endFragment,
          "StartSelection: (absent)",
          "EndSelection: (absent)",
          "SourceURL: (absent)",
          std::string("Header ends: at byte ") + headerEnd,
          "Offsets: inside the data and in order",
          "Fragment markers: <!--StartFragment--> and <!--EndFragment--> at the offsets claimed",
          "Fragment: 81 bytes",
          "  <html><body><p>Kelvane <b>prüft</b> das Format — 日本語</p></body></html>",
          "  "};
}

// The lines of a DIB's BITMAPINFOHEADER fields, one plane and the resolution
// and colour counts 0.
Lines DibHeaderLines(const char* size, int width, int height, int bits, const char* compression,
                     int sizeImage) {
  return {"DIB",
          std::string("biSize: ") + size,
          "biWidth: " + std::to_string(width),
          "biHeight: " + std::to_string(height) + " (bottom-up)",
          "biPlanes: 1",
          "biBitCount: " + std::to_string(bits),
          std::string("biCompression: ") + compression,
          "biSizeImage: " + std::to_string(sizeImage),
          "biXPelsPerMeter: 0",
          "biYPelsPerMeter: 0",
          "biClrUsed: 0",
          "biClrImportant: 0"};
}

ByteVector Utf16(const std::string& s) {
  ByteVector b;
  return PutText(b, s, true);
}

// 1,023 'a', a surrogate pair across the 2 KiB, then 'b' up to 1,101 units.
ByteVector LongUtf16Text() {
  ByteVector b = Utf16(std::string(1023, 'a'));
  Put(Put(b, 0xD83D, 2), 0xDE00, 2);
  PutText(b, std::string(76, 'b'), true);
  return Put(b, 0, 2);
}

ByteVector Dib16() {
  ByteVector b;
  Put(Put(Put(b, 40, 4), 1, 4), 1, 4);
  Put(Put(b, 1, 2), 16, 2);
  b.resize(40, 0);
  return b;
}

// A file item whose last two bytes give 14: a block there would hold the
// long name "Z", but the short name (one 0x1A) lies there.
ByteVector BlockInShortName() {
  ByteVector b = {40, 0, 0x32, 0};
  b.resize(14, 0);
  Put(b, 26, 2).resize(34, 0);
  PutText(b, "Z", true).insert(b.end(), {0, 0});
  return Put(b, 14, 2);
}

// Windows programs end the header's lines with CRLF: xclip's fragment
// behind such a header, 5 bytes longer.
ByteVector HtmlWithCrlfHeader() {
  const ByteVector xclip = Sample("xclip_html_format.bin");
  return Join(Text("Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000224\r\nStartFragment:0000000125\r\n"
                   "EndFragment:0000000206\r\n"),
              ByteVector(xclip.begin() + 100, xclip.end()));
}

TEST(FormatSamples, EachInterpreterReadsItsRealProducers) {
  const Lines dropHeader = {"Dropped files", "pFiles: 20", "pt: (0, 0)", "fNC: FALSE",
                            "fWide: TRUE (UTF-16 names)"};
  const Lines idListRoot = {"  Root folder: {20D04FE0-3AEA-1069-A2D8-08002B30309D} (This PC)",
                            "  Drive: C:\\"};
  const ByteVector bmp = Sample("magick_rgba.bmp");
  const SampleCase cases[] = {
      FromFile("xclip_html_format.bin", kRegistered, "HTML Format",
               HtmlLines("0000000100", "0000000219", "0000000120", "0000000201", "100")),
      Case("HTML with CRLF header lines", HtmlWithCrlfHeader(), kRegistered, "HTML Format",
           HtmlLines("0000000105", "0000000224", "0000000125", "0000000206", "105")),
      FromFile(
          "xclip_urilist_hdrop.bin", 15, "",
          Join(dropHeader, {"Files: 2", "File 1: Z:\\tmp\\issue16cap\\page.html (at byte 20)",
                            "File 2: Z:\\tmp\\issue16cap\\a b.txt (at byte 76)", "List ends: at byte 128"})),
      // An URI list ended by LF alone: Wine keeps it as one name.
      FromFile("xclip_urilist_lf_hdrop.bin", 15, "",
               Join(dropHeader,
                    {"Files: 1",
                     "File 1: Z:\\tmp\\issue16cap\\page.html file:\\tmp\\issue16cap\\a b.txt  (at byte 20)",
                     "! file 1 holds a control character at byte 74: no file name can",
                     "List ends: at byte 136"})),
      FromFile("xclip_png.bin", kRegistered, "PNG",
               {"PNG", "Width: 3", "Height: 2", "Bit depth: 1", "Colour type: 3 (indexed)",
                "Compression: 0 (deflate)", "Filter: 0 (adaptive)", "Interlace: 0 (none)", "Chunks: 10",
                "Chunk IHDR: at byte 8, 13 bytes, CRC ok", "Chunk gAMA: at byte 33, 4 bytes, CRC ok",
                "Chunk cHRM: at byte 49, 32 bytes, CRC ok", "Chunk PLTE: at byte 93, 6 bytes, CRC ok",
                "Chunk bKGD: at byte 111, 1 byte, CRC ok", "Chunk tIME: at byte 124, 7 bytes, CRC ok",
                "Chunk IDAT: at byte 143, 12 bytes, CRC ok", "Chunk tEXt: at byte 167, 37 bytes, CRC ok",
                "Chunk tEXt: at byte 216, 37 bytes, CRC ok", "Chunk IEND: at byte 265, 0 bytes, CRC ok"}),
      FromFile("xclip_text.bin", 1, "",
               {"Text", "Bytes before the terminator: 32", "Terminator: at byte 32",
                "Bytes after the terminator: 0", "Lines: 2", "Line endings: CRLF", "Bytes outside ASCII: 3",
                "Text: 32 bytes", "  Zeile eins", "  Zeile zwei – Grüße"}),
      FromFile("xclip_emoji_unicodetext.bin", 13, "",
               {"Text", "Characters before the terminator: 29 (30 UTF-16 units)", "Terminator: at byte 60",
                "Bytes after the terminator: 0", "Lines: 2", "Line endings: CRLF",
                "Characters outside ASCII: 3", "Text: 60 bytes", "  Smile 😀 and 日本", "  second line"}),
      FromFile(
          "notepad_unicodetext.bin", 13, "",
          {"Text", "Characters before the terminator: 54 (55 UTF-16 units)", "Terminator: at byte 110",
           "Bytes after the terminator: 0", "Lines: 3", "Line endings: CRLF", "Characters outside ASCII: 9",
           "Text: 110 bytes", "  Grüße – naïve café", "  日本語 and 😀 here", "  typed in notepad"}),
      // In the OEM code page (437 here), where notepad wrote "?" for what it has not.
      FromFile("notepad_oemtext.bin", 7, "",
               {"Text", "Bytes before the terminator: 55", "Terminator: at byte 55",
                "Bytes after the terminator: 0", "Lines: 3", "Line endings: CRLF", "Bytes outside ASCII: 4",
                "Text: 55 bytes", "  Grüße - naïve café", "  ??? and ?? here", "  typed in notepad"}),
      FromFile("xclip_locale.bin", 16, "",
               {"Locale", "LCID: 0x0409 (1033)", "Locale name: en-US", "ANSI code page: 1252",
                "OEM code page: 437"}),
      FromFile("wordpad.rtf", kRegistered, "Rich Text Format",
               {"Rich Text Format", "RTF version: 1", "ANSI code page: 1252",
                "Default font: 0 (Times New Roman)", "Font 0: Times New Roman (charset 0)", "Text: 53 bytes",
                "  Grüße – naïve café", "  日本語 and 😀 here", "  end", "Bytes after the document: 2"}),
      // \ucN stand-ins after \uN: N bytes or \'hh, none, or one \'hh.
      Case("RTF stand-ins", Text("{\\rtf1\\uc2 caf\\u233 XYs \\uc0 na\\u239 ve \\uc1\\u8212\\'97 end}"),
           kRegistered, "Rich Text Format",
           {"Rich Text Format", "RTF version: 1", "ANSI code page: (none; 1252 assumed)",
            "Default font: (none)", "Text: 21 bytes", "  cafés naïve — end"}),
      Case("RTF with stray braces", Text("}}{\\rtf1 x}"), kRegistered, "Rich Text Format",
           {"Rich Text Format", "RTF version: 1", "ANSI code page: (none; 1252 assumed)",
            "Default font: (none)", "Text: 1 byte", "  x", "! the data does not start with {\\rtf",
            "! } at byte 0 closes no group", "! 1 more } close no group, the last at byte 1"}),
      FromFile("xclip_bmp_dib.bin", 8, "",
               Join(DibHeaderLines("40 (BITMAPINFOHEADER)", 5, 3, 32, "BI_RGB", 60),
                    {"Masks: red 0x00FF0000, green 0x0000FF00, blue 0x000000FF, alpha 0x00000000",
                     "Colour table: at byte 40, 0 entries, 0 used",
                     "Bits: at byte 40, 3 rows of 20 bytes, 60 bytes"})),
      // ImageMagick's own V5 header, past its 14-byte file header.
      Case("magick_rgba.bmp as CF_DIBV5", ByteVector(bmp.begin() + 14, bmp.end()), 17, "",
           Join(DibHeaderLines("124 (BITMAPV5HEADER)", 5, 3, 32, "BI_BITFIELDS", 60),
                {"bV5RedMask: 0x00FF0000", "bV5GreenMask: 0x0000FF00", "bV5BlueMask: 0x000000FF",
                 "bV5AlphaMask: 0xFF000000", "bV5CSType: 'sRGB' (0x73524742)", "bV5Endpoints red: 0, 0, 0",
                 "bV5Endpoints green: 0, 0, 0", "bV5Endpoints blue: 0, 0, 0", "bV5Gamma: 0x0, 0x0, 0x0",
                 "bV5Intent: LCS_GM_IMAGES", "bV5ProfileData: 0", "bV5ProfileSize: 0", "bV5Reserved: 0",
                 "Masks: red 0x00FF0000, green 0x0000FF00, blue 0x000000FF, alpha 0xFF000000",
                 "Colour table: at byte 124, 0 entries, 0 used",
                 "Bits: at byte 124, 3 rows of 20 bytes, 60 bytes"})),
      Case("16-bit DIB with the default masks", Join(Dib16(), ByteVector(4, 0)), 8, "",
           Join(DibHeaderLines("40 (BITMAPINFOHEADER)", 1, 1, 16, "BI_RGB", 0),
                {"Masks: red 0x00007C00, green 0x000003E0, blue 0x0000001F, alpha 0x00000000",
                 "Colour table: at byte 40, 0 entries, 0 used",
                 "Bits: at byte 40, 1 rows of 4 bytes, 4 bytes"})),
      FromFile(
          "wine_shell_idlist.bin", kRegistered, "Shell IDList Array",
          Join(Join({"Shell IDList Array", "Items: 2",
                     "Folder: at byte 16, 107 bytes, 3 items, path C:\\windows"},
                    idListRoot),
               {"  Folder: windows", "Item 1: at byte 123, 74 bytes, 1 item, path C:\\windows\\notepad.exe",
                "  File: notepad.exe", "Item 2: at byte 197, 74 bytes, 1 item, path C:\\windows\\regedit.exe",
                "  File: regedit.exe"})),
      // Windows' own extension blocks (versions 9 and 3), and a list met again.
      Case("IDList with long names",
           IdListArray({Join(Join(RootItem(kThisPcGuid), DriveItem("C:\\")),
                             FileSystemItem(0x31, "PROGRA~1", 9, "Program Files")),
                        FileSystemItem(0x32, "README.TXT", 3, "readme.txt")},
                       {16}),
           kRegistered, "Shell IDList Array",
           Join(Join({"Shell IDList Array", "Items: 2",
                      "Folder: at byte 16, 147 bytes, 3 items, path C:\\Program Files"},
                     idListRoot),
                {"  Folder: Program Files (short name PROGRA~1)",
                 "Item 1: at byte 163, 72 bytes, 1 item, path C:\\Program Files\\readme.txt",
                 "  File: readme.txt (short name README.TXT)",
                 "Item 2: at byte 16, the same list as the folder"})),
      // Bytes that form no path get none: a drive under a root folder not
      // known, lists that do not end.
      Case("IDList without paths",
           IdListArray({RootItem(ByteVector(16, 0x11)),
                        Join(DriveItem("D:\\"), FileSystemItem(0x32, "x", 0, "")),
                        {5, 0, 'a', 'b', 'c', 1, 0}},
                       {999, 97}),
           kRegistered, "Shell IDList Array",
           {"Shell IDList Array", "Items: 4", "Folder: at byte 24, 22 bytes, 1 item",
            "  Root folder: {11111111-1111-1111-1111-111111111111}", "Item 1: at byte 46, 43 bytes, 2 items",
            "  Drive: D:\\", "  File: x", "! Item 2 at byte 89 has an item of size 1 at byte 94",
            "! Item 3 offset 999 points past the data (98 bytes)",
            "! Item 4 at byte 97 runs past the data (98 bytes) at byte 97"}),
      // A drive item without its letter, and an extension block whose offset
      // points back into the short name: neither is what it would be.
      Case("IDList with an extension block inside the short name",
           IdListArray({Join(DriveItem("C:/"), BlockInShortName())}), kRegistered, "Shell IDList Array",
           {"Shell IDList Array", "Items: 0", "Folder: at byte 8, 67 bytes, 2 items",
            "  Item of type 0x2F, 25 bytes", "  File:  "}),
      Case("FileGroupDescriptorW",
           Join(Le32(1), FileDescriptor(0x8000007C, 0x21, ~0ull, 0x100000002ull, "Bericht.pdf", true)),
           kRegistered, "FileGroupDescriptorW",
           {"File group descriptor", "Files: 1", "File 1: Bericht.pdf (at byte 4)",
            "  Flags: FD_ATTRIBUTES | FD_CREATETIME | FD_ACCESSTIME | FD_WRITESTIME | FD_FILESIZE | "
            "FD_UNICODE",
            "  Size: 4294967298 bytes", "  Attributes: READONLY | ARCHIVE",
            "  Created: 2024-05-01 12:00:00.1234567 UTC", "  Accessed: 2024-05-01 12:00:00.0000123 UTC",
            "  Written: 0xFFFFFFFFFFFFFFFF (out of range)"}),
      Case("FileGroupDescriptor cut after its first file",
           Join(Join(Le32(2), FileDescriptor(0, 0, 0, 0, "Notiz.txt", false)), ByteVector(100, 7)),
           kRegistered, "FileGroupDescriptor",
           {"File group descriptor", "Files: 2",
            "! a count of 2 needs 668 bytes, the data has 436 (1 whole descriptors)",
            "File 1: Notiz.txt (at byte 4)", "  Flags: none"}),
      Case("URL", Text(std::string("http://kelvane.test/\0", 21)), kRegistered, "UniformResourceLocator",
           {"URL", "URL: http://kelvane.test/"}),
      Case("URL in UTF-16 with bytes after it", Utf16(std::string("h\0\0\0", 4)), kRegistered,
           "UniformResourceLocatorW", {"URL", "URL: h", "Bytes after the terminator: 4"}),
      // A long text's first 2 KiB, not parting the surrogate pair at its end.
      Case("UTF-16 text past 2 KiB", LongUtf16Text(), 13, "",
           {"Text", "Characters before the terminator: 1100 (1101 UTF-16 units)", "Terminator: at byte 2202",
            "Bytes after the terminator: 0", "Lines: 1", "Line endings: none", "Characters outside ASCII: 1",
            "Text: 2202 bytes", "  " + std::string(1023, 'a'), "… and 156 more bytes of the text"}),
  };
  for (const SampleCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SectionOf(c.bytes, c.format, c.name), c.lines);
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

// The Snapshot section's sniff, by the same signatures the Picture view uses.
TEST(FormatSamples, TheSniffSaysWhatTheFirstBytesLookLike) {
  const struct {
    ByteVector bytes;
    SnapshotKind kind;
    const char* sniff;
  } cases[] = {
      {Sample("magick_rgba.bmp"), SnapshotKind::WholeData, "Sniff: looks like BMP"},
      {Join(Text("GIF89a"), ByteVector(20, 1)), SnapshotKind::WholeData, "Sniff: looks like GIF"},
      {Sample("xclip_png.bin"), SnapshotKind::WholeData, "Sniff: looks like PNG"},
      {Sample("wordpad.rtf"), SnapshotKind::WholeData, "Sniff: looks like RTF"},
      {Text("caf\xC3\xA9 ok"), SnapshotKind::WholeData, "Sniff: looks like UTF-8 text"},
      // U+FFFF written in four bytes is no UTF-8.
      {Text("caf\xF0\x8F\xBF\xBF ok"), SnapshotKind::WholeData, "Sniff: looks like 8-bit text"},
      {Sample("notepad_unicodetext.bin"), SnapshotKind::WholeData, "Sniff: looks like UTF-16 text"},
      {Text("BMW cars\r\n"), SnapshotKind::FixedWindow, "Sniff: looks like ASCII text"},
      {Text("\x01\x02"), SnapshotKind::WholeData, "Sniff: nothing known"},
      {Text(std::string("a\0b\0c\0de", 8)), SnapshotKind::WholeData, "Sniff: looks like UTF-16 text"},
      {Text("\n <!DOCTYPE html><p>"), SnapshotKind::WholeData, "Sniff: looks like HTML"},
      {Text("<HTML><p>"), SnapshotKind::WholeData, "Sniff: looks like HTML"},
      {Text("ok caf\xEF\xBF"), SnapshotKind::WholeData, "Sniff: looks like 8-bit text"},
      {Text("GIF89a"), SnapshotKind::HandleValue, "Sniff: nothing known"},
  };
  for (const auto& c : cases) {
    const Snapshot snapshot(c.bytes, kRegistered, "Foo", c.kind);
    EXPECT_EQ(SnapshotSection(snapshot.s, snapshot.data.get()).back().text, c.sniff);
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

  // Every value of one caret in both byte orders, worked out apart (by a
  // Python struct session), and a FILETIME with its fraction.
  const std::uint8_t fileTime[] = {0x87, 0x36, 0xCD, 0x17, 0xBF, 0x9B, 0xDA, 0x01};
  std::vector<std::string> lines;
  for (const Line& line : InterpretAtCaret(fileTime, sizeof(fileTime), CaretFacts{0, false, 0, 0})) {
    lines.push_back(line.text);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Offset: 0x00000000 (0)", "Selection: none", "Int8: -121", "UInt8: 135 (0x87)",
                       "Int16: LE 13959, BE -30922", "UInt16: LE 13959, BE 34614",
                       "Int32: LE 399324807, BE -2026451689", "UInt32: LE 399324807, BE 2268515607",
                       "Int64: LE 133590384001234567, BE -8703543727964300799",
                       "UInt64: LE 133590384001234567, BE 9743200345745250817",
                       "Float32: LE 1.32615791e-24, BE -1.37524287e-34",
                       "Float64: LE 9.9330549167570551e-300, BE -6.58567939702178e-274",
                       "FILETIME: 2024-05-01 12:00:00.1234567 UTC", "Unix time: 1982-08-27 19:33:27 UTC"}));
}

}  // namespace
