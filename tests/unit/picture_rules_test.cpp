// The Picture view's rules, one table each: what counts as a picture and the
// sentence when none does, the caption, the PNG header, and the fit, zoom,
// scroll and composition arithmetic.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dumpframe/viewcommands.h"
#include "picture/picturekind.h"
#include "picture/picturelayout.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr SnapshotKind kWhole = SnapshotKind::WholeData;
constexpr SnapshotKind kWindow = SnapshotKind::FixedWindow;
constexpr SnapshotKind kRule = SnapshotKind::ByRule;
constexpr SnapshotKind kHandle = SnapshotKind::HandleValue;

Bytes Text(const std::string& s) { return {s.begin(), s.end()}; }
Bytes Sized(Bytes b, std::size_t n) {
  b.resize(n, 0);
  return b;
}

const Bytes kPng = Sized(Text("\x89PNG\r\n\x1A\n"), 300);
const Bytes kBmpFile = Sized(Text(std::string("BM\0\0\0\0\0\0\0\0\0\0\0\0\x28\0\0\0", 18)), 300);

// A heap copy of exactly the bytes (none for none), so that a read past
// them faults.
std::unique_ptr<std::uint8_t[]> Exact(const Bytes& b) {
  if (b.empty()) return nullptr;
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[b.size()]);
  std::memcpy(copy.get(), b.data(), b.size());
  return copy;
}

Bytes SampleFile(const std::string& name) {
  std::ifstream in(std::string(KELVANE_FUZZ_DIR) + "/../unit/samples/" + name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
const Bytes kMagickBmp = SampleFile("magick_rgba.bmp");

}  // namespace

TEST(PictureRules, Judgement) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::uint32_t format;
    const char* listText;
    const char* registeredName;
    SnapshotKind read;
    PictureKind kind;
    const char* sentence = "";  // none for a picture
  };
  const std::string fixedWindow = kOnlyFixedWindowSentence;
  const std::vector<Case> cases = {
      {"text", Text("hello"), 1, "CF_TEXT (1)", "", kRule, PictureKind::None,
       "CF_TEXT (1) holds no picture."},
      {"nothing read", {}, 0xC017, "PNG(0xC017)", "PNG", kWhole, PictureKind::None, kNoSnapshotSentence},
      {"PNG by name, cut at 256", Sized(kPng, 256), 0xC017, "PNG(0xC017)", "PNG", kWindow, PictureKind::None,
       fixedWindow.c_str()},
      {"PNG by content under another name, cut", Sized(kPng, 256), 0xC020, "Foo(0xC020)", "Foo", kWindow,
       PictureKind::None, fixedWindow.c_str()},
      {"other name, other bytes, cut", Sized(Text("abc"), 256), 0xC020, "Foo(0xC020)", "Foo", kWindow,
       PictureKind::None, "Foo(0xC020) holds no picture."},
      {"CF_DIB cut", Sized(Text("\x28"), 256), 8, "CF_DIB (8)", "", kWindow, PictureKind::None,
       fixedWindow.c_str()},
      {"CF_BITMAP's handle", Sized(Text("\x01\x02"), 8), 2, "CF_BITMAP (2)", "", kHandle, PictureKind::None,
       kBitmapHandleSentence},
      {"CF_BITMAP read whole", Sized(Text("\x28"), 60), 2, "CF_BITMAP (2)", "", kWhole,
       PictureKind::PackedDib},
      {"CF_DIBV5 whole", Sized(Text("\x7C"), 200), 17, "CF_DIBV5 (17)", "", kWhole, PictureKind::PackedDib},
      {"PNG whole", kPng, 0xC017, "PNG(0xC017)", "PNG", kWhole, PictureKind::Png},
      {"image/png with damaged bytes goes to the codec", Text("garbage"), 0xC018, "image/png(0xC018)",
       "image/png", kWhole, PictureKind::Png},
      {"image/jpeg", Text("x"), 0xC019, "image/jpeg(0xC019)", "image/jpeg", kWhole, PictureKind::Jpeg},
      {"image/gif", Text("x"), 0xC019, "image/gif(0xC019)", "image/gif", kWhole, PictureKind::Gif},
      {"image/bmp", Text("x"), 0xC019, "image/bmp(0xC019)", "image/bmp", kWhole, PictureKind::Bmp},
      {"the bytes win over the name", Text("\xFF\xD8\xFF\xE0"), 0xC017, "PNG(0xC017)", "PNG", kWhole,
       PictureKind::Jpeg},
      {"a name below 0xC000 is no name", Text("x"), 0x200, "PNG(0x0200)", "PNG", kWhole, PictureKind::None,
       "PNG(0x0200) holds no picture."},
      {"TIFF little-endian", Text(std::string("II*\0", 4)), 0xC030, "x(0xC030)", "x", kWhole,
       PictureKind::Tiff},
      {"ICO", Sized(Text(std::string("\0\0\1\0\1\0", 6)), 22), 0xC030, "x(0xC030)", "x", kWhole,
       PictureKind::Ico},
      {"ICO with no images", Sized(Text(std::string("\0\0\1\0\0\0", 6)), 22), 0xC030, "x(0xC030)", "x",
       kWhole, PictureKind::None, "x(0xC030) holds no picture."},
      {"BMP file", kBmpFile, 0xC030, "x(0xC030)", "x", kWhole, PictureKind::Bmp},
      {"\"BM\" text", Text("BMW cars and more"), 0xC030, "x(0xC030)", "x", kWhole, PictureKind::None,
       "x(0xC030) holds no picture."},
      {"\"BM\" text long enough for a header size", Text("BMW cars, and many more of them"), 0xC030,
       "x(0xC030)", "x", kWhole, PictureKind::None, "x(0xC030) holds no picture."},
      {"ICO too short for its first entry", Sized(Text(std::string("\0\0\1\0\1\0", 6)), 21), 0xC030,
       "x(0xC030)", "x", kWhole, PictureKind::None, "x(0xC030) holds no picture."},
      {"GIF87a", Sized(Text("GIF87a"), 40), 0xC030, "x(0xC030)", "x", kWhole, PictureKind::Gif},
      {"ImageMagick's BMP file", kMagickBmp, 0xC030, "x(0xC030)", "x", kWhole, PictureKind::Bmp},
      {"GIF89a under another name", Sized(Text("GIF89a"), 40), 0xC030, "x(0xC030)", "x", kWhole,
       PictureKind::Gif},
      {"JFIF by name, cut at 256", Sized(Text("x"), 256), 0xC031, "JFIF(0xC031)", "JFIF", kWindow,
       PictureKind::None, fixedWindow.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto exact = Exact(c.bytes);
    const PictureVerdict v = JudgePicture({exact.get(), static_cast<std::uint32_t>(c.bytes.size()), c.format,
                                           c.listText, c.registeredName, c.read});
    EXPECT_EQ(v.kind, c.kind);
    EXPECT_EQ(v.sentence, c.sentence);
  }
}

// What identify/ tells both readers where the Picture view's sentences do
// not show it: the pane's family, and what a bitmap promises by its read.
TEST(Identification, FamilyPromiseAndSignature) {
  struct Case {
    std::uint32_t format;
    const char* name;
    SnapshotKind read;
    Bytes bytes;
    FormatFamily family;
    PictureKind promised;
    PictureKind signature;
  };
  const std::vector<Case> cases = {
      {2, "", kRule, Text("x"), FormatFamily::None, PictureKind::None, PictureKind::None},
      {2, "", kWhole, Text("x"), FormatFamily::None, PictureKind::PackedDib, PictureKind::None},
      {7, "", kRule, Text("x"), FormatFamily::OemText, PictureKind::None, PictureKind::None},
      {0xC040, "HTML Format", kWhole, kPng, FormatFamily::Html, PictureKind::None, PictureKind::Png},
      {0xC040, "Foo", kWhole, kPng, FormatFamily::Png, PictureKind::None, PictureKind::Png},
      {0xC040, "JFIF", kWhole, Text("x"), FormatFamily::None, PictureKind::Jpeg, PictureKind::None},
      {0x0240, "Shell IDList Array", kWhole, Text("x"), FormatFamily::None, PictureKind::None,
       PictureKind::None},
  };
  for (const Case& c : cases) {
    const auto exact = Exact(c.bytes);
    const DataIdentity id =
        IdentifyData(c.format, c.name, c.read, exact.get(), static_cast<std::uint32_t>(c.bytes.size()));
    EXPECT_EQ(id.family, c.family) << c.format << " " << c.name;
    EXPECT_EQ(id.promised, c.promised) << c.format << " " << c.name;
    EXPECT_EQ(id.signature, c.signature) << c.format << " " << c.name;
  }
}

TEST(PictureRules, Texts) {
  EXPECT_EQ(PictureCaption(PictureKind::Png, 64, 48, 32, true, 579),
            "PNG, 64 x 48, 32-bit with alpha, 579 bytes");
  EXPECT_EQ(PictureCaption(PictureKind::PackedDib, 1, 1, 24, false, 1), "DIB, 1 x 1, 24-bit, 1 byte");
  EXPECT_EQ(DamagedSentence(PictureKind::Png, CodecErrorReason(0x88982F07)),
            "The PNG data is damaged: it is no image format the codecs know (0x88982F07).");
  EXPECT_EQ(CodecErrorReason(0x80004005), "the codec failed (0x80004005).");
  EXPECT_EQ(NotEnoughMemorySentence(PictureKind::Png), "There is not enough memory to decode the PNG.");
  EXPECT_EQ(NotEnoughMemorySentence(PictureKind::PackedDib), "There is not enough memory to show the DIB.");
  EXPECT_EQ(NotEnoughMemorySentence(PictureKind::Bmp), "There is not enough memory to show the BMP.");
  EXPECT_EQ(std::string(kOnlyFixedWindowSentence),
            "Only the first 256 bytes were read. View \u25B8 Whole Data (Ctrl+E) reads the whole picture.");
}

TEST(PictureRules, PngHeader) {
  const auto png = [](std::uint8_t depth, std::uint8_t colourType, const std::string& chunkAfter) {
    std::string s("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x40\0\0\0\x30", 24);
    s += static_cast<char>(depth);
    s += static_cast<char>(colourType);
    s += std::string("\0\0\0", 3) + "CRC!";
    if (!chunkAfter.empty()) s += std::string("\0\0\0\1", 4) + chunkAfter + "xCRC!";
    s += std::string("\0\0\0\0IDAT", 8);
    return Text(s);
  };
  struct Case {
    Bytes bytes;
    bool ok;
    std::uint32_t bits;
    bool alpha;
  };
  const std::vector<Case> cases = {
      {png(8, 6, ""), true, 32, true},     {png(8, 2, ""), true, 24, false},
      {png(16, 2, ""), true, 48, false},   {png(8, 3, "tRNS"), true, 8, true},
      {png(1, 0, "gAMA"), true, 1, false}, {png(8, 4, ""), true, 16, true},
      {png(8, 5, ""), false, 0, false},    {Sized(png(8, 6, ""), 20), false, 0, false},
  };
  for (const Case& c : cases) {
    const PngHeader h = ReadPngHeader(Exact(c.bytes).get(), static_cast<std::uint32_t>(c.bytes.size()));
    EXPECT_EQ(h.ok, c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(h.width, 64u);
    EXPECT_EQ(h.height, 48u);
    EXPECT_EQ(h.bitsPerPixel, c.bits);
    EXPECT_EQ(h.hasAlpha, c.alpha);
  }
}

TEST(PictureLayoutRules, FitZoomAndScroll) {
  // The fit never enlarges, keeps the aspect, and centres.
  struct FitCase {
    std::uint32_t w, h;
    int areaW, areaH;
    std::int64_t drawnW, drawnH;
  };
  for (const FitCase& c : std::vector<FitCase>{{64, 48, 600, 400, 64, 48},
                                               {8192, 8192, 600, 400, 400, 400},
                                               {1000, 10, 100, 100, 100, 1},
                                               {10, 1000, 100, 100, 1, 100},
                                               {3, 3, 0, 0, 1, 1}}) {
    const DrawnSize d = FittedSize(c.w, c.h, c.areaW, c.areaH);
    EXPECT_EQ(d.width, c.drawnW) << c.w << "x" << c.h;
    EXPECT_EQ(d.height, c.drawnH) << c.w << "x" << c.h;
  }
  const PictureLayout centred = LayOutPicture(600, 420, 20, 64, 48, PictureZoom{}, 5, 5);
  EXPECT_EQ(centred.left, (600 - 64) / 2);
  EXPECT_EQ(centred.top, 20 + (400 - 48) / 2);
  EXPECT_EQ(centred.scrollMaxX, 0u);
  EXPECT_EQ(centred.scrollX, 0u);

  // Zoom steps: from the fit to the next power of two, then by 2x, within limits.
  EXPECT_EQ(ZoomedIn(PictureZoom{}, 64, 48, 600, 400).exponent, 1);
  EXPECT_EQ(ZoomedOut(PictureZoom{}, 64, 48, 600, 400).exponent, -1);
  EXPECT_EQ(ZoomedIn(PictureZoom{}, 8192, 8192, 600, 400).exponent, -4);  // 512 > 400 fitted
  EXPECT_EQ(ZoomedOut(PictureZoom{}, 8192, 8192, 600, 400).exponent, -5);
  EXPECT_EQ(ZoomedIn(PictureZoom{false, kMaxZoomExponent}, 64, 48, 600, 400).exponent, kMaxZoomExponent);
  EXPECT_EQ(ZoomedOut(PictureZoom{false, kMinZoomExponent}, 64, 48, 600, 400).exponent, kMinZoomExponent);
  EXPECT_EQ(ZoomedIn(PictureZoom{false, 0}, 0x7FFFFFFF, 1, 600, 400).exponent, 0);  // the drawn side's cap

  // Zoomed past the window: scroll ranges, and zooming keeps the centre.
  const PictureLayout zoomed = LayOutPicture(600, 420, 20, 64, 48, PictureZoom{false, 4}, 100, 9999);
  EXPECT_EQ(zoomed.drawn.width, 1024);
  EXPECT_EQ(zoomed.scrollMaxX, 1024u - 600);
  EXPECT_EQ(zoomed.scrollMaxY, 768u - 400);
  EXPECT_EQ(zoomed.scrollY, 368u);
  EXPECT_EQ(zoomed.left, -100);
  EXPECT_EQ(zoomed.top, 20 - 368);
  EXPECT_EQ(ScrollKeepingCentre(0, 64, 1024, 600), (1024u - 600) / 2);
  EXPECT_EQ(ScrollKeepingCentre(212, 1024, 2048, 600), 724u);
  EXPECT_EQ(ScrollKeepingCentre(212, 1024, 512, 600), 0u);
  EXPECT_EQ(ScrollKeepingCentre(0, 64, 1023, 600), 211u);  // half a pixel is dropped

  // The visible span of a zoomed picture: whole picture pixels and where they land.
  const SourceSpan all = VisibleSpan(10, 100, 50, 0, 600);
  EXPECT_EQ(all.first, 0u);
  EXPECT_EQ(all.count, 50u);
  EXPECT_EQ(all.destStart, 10);
  EXPECT_EQ(all.destLength, 100);
  const SourceSpan part = VisibleSpan(-101, 1024, 64, 0, 600);  // 16x, scrolled by 101
  EXPECT_EQ(part.first, 6u);
  EXPECT_EQ(part.count, 38u);  // pixels 6..43 cover 96-101 .. 704-101
  EXPECT_EQ(part.destStart, -5);
  EXPECT_EQ(part.destLength, 38 * 16);
  EXPECT_EQ(VisibleSpan(700, 10, 10, 0, 600).count, 0u);
}

TEST(PictureLayoutRules, Composition) {
  // A 2 x 2 straight-alpha DIB, bottom-up: bottom row opaque red, transparent;
  // top row half-transparent blue, opaque white. Drawn at 4x from (0, 10).
  const std::uint8_t bits[] = {0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 128, 255, 255, 255, 255};
  PixelSource source = {
      PixelSource::Layout::Masked32, bits, 2, 2, 8, false, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  const PictureLayout layout = LayOutPicture(8, 18, 10, 2, 2, PictureZoom{false, 2}, 0, 0);
  ASSERT_EQ(layout.left, 0);
  ASSERT_EQ(layout.top, 10);
  std::vector<std::uint32_t> out(9 * 9, 0xDEADBEEF);
  ComposeBand(source, layout, 0, 9, 9, 9, 0x123456, out.data());
  const auto at = [&](int x, int windowY) { return out[static_cast<std::size_t>(windowY - 9) * 9 + x]; };
  EXPECT_EQ(at(0, 9), 0x123456u);       // the caption's row is no picture
  EXPECT_EQ(at(8, 12), 0x123456u);      // right of the picture
  EXPECT_EQ(at(4, 10), 0xFFFFFFu);      // top-right: opaque white
  EXPECT_EQ(at(0, 14), 0xFF0000u);      // bottom-left: opaque red
  EXPECT_EQ(at(4, 14), kCheckerLight);  // transparent: the checkerboard
  // Half-transparent blue over the light square: 255*128/255 blue + light * 127/255.
  const std::uint32_t grey = kCheckerLight & 0xFF;
  const std::uint32_t behind = (grey * 127 + 127) / 255;
  EXPECT_EQ(at(0, 10), behind << 16 | behind << 8 | (128 + behind));
  EXPECT_EQ(CheckerColour(0, 0), kCheckerLight);
  EXPECT_EQ(CheckerColour(kCheckerSquare, 0), kCheckerDark);
  EXPECT_EQ(CheckerColour(kCheckerSquare, kCheckerSquare), kCheckerLight);
  // Sizes follow the resolution, rounded, never below 1; an unknown one (0) keeps them.
  EXPECT_EQ(PictureMetricsForDpi(144).captionPadding, 5);
  EXPECT_EQ(PictureMetricsForDpi(12).captionPadding, 1);
  EXPECT_EQ(PictureMetricsForDpi(0).wheelStep, kWheelStep);

  // Premultiplied: 50% white is 128 in every channel.
  const std::uint8_t half[] = {128, 128, 128, 128};
  PixelSource decoded = {PixelSource::Layout::PremultipliedBgra32, half, 1, 1, 4, true, 0, 0, 0, 0};
  const PictureLayout one = LayOutPicture(1, 1, 0, 1, 1, PictureZoom{}, 0, 0);
  std::uint32_t pixel = 0;
  ComposeBand(decoded, one, 0, 0, 1, 1, 0, &pixel);
  EXPECT_EQ(pixel & 0xFF, 128 + behind);
}

TEST(PictureFrameRules, KeysAndGreying) {
  struct Case {
    std::uint32_t key;
    bool ctrl, shift, alt;
    std::uint32_t command;
  };
  for (const Case& c : std::vector<Case>{{'1', true, false, false, ID_VIEW_BYTES},
                                         {'2', true, false, false, ID_VIEW_PICTURE},
                                         {'2', false, false, false, 0},
                                         {'2', true, true, false, 0},
                                         {'2', true, false, true, 0},
                                         {0xBB, true, false, false, ID_VIEW_ZOOM_IN},
                                         {0xBB, true, true, false, ID_VIEW_ZOOM_IN},
                                         {0x6B, true, false, false, ID_VIEW_ZOOM_IN},
                                         {0xBD, true, false, false, ID_VIEW_ZOOM_OUT},
                                         {0x6D, true, false, false, ID_VIEW_ZOOM_OUT},
                                         {'0', true, false, false, ID_VIEW_ZOOM_FIT},
                                         {0x60, true, false, false, ID_VIEW_ZOOM_FIT},
                                         {'3', true, false, false, 0}}) {
    EXPECT_EQ(ViewCommandOfKey(c.key, c.ctrl, c.shift, c.alt), c.command) << c.key;
  }
  for (std::uint32_t command :
       {ID_ENCODING_CP1252, ID_ENCODING_UTF8, ID_EDIT_COPY, ID_EDIT_COPY_TEXT, ID_EDIT_SELECT_ALL,
        ID_EDIT_FIND, ID_EDIT_FIND_NEXT, ID_EDIT_FIND_PREVIOUS, ID_EDIT_GOTO}) {
    EXPECT_TRUE(CommandActsOnBytes(command)) << command;
  }
  for (std::uint32_t command : {ID_SAVE, ID_CLOSE, ID_VIEW_WHOLE_DATA, ID_VIEW_BYTES, ID_VIEW_PICTURE,
                                ID_VIEW_DETAILS, ID_VIEW_ZOOM_IN}) {
    EXPECT_FALSE(CommandActsOnBytes(command)) << command;
  }
  EXPECT_TRUE(IsZoomCommand(ID_VIEW_ZOOM_FIT));
  EXPECT_FALSE(IsZoomCommand(ID_VIEW_PICTURE));
  EXPECT_EQ(ZoomRequestOfCommand(ID_VIEW_ZOOM_OUT), 2u);
}
