// Helpers of the clipboard-file tests: files written through the core's
// one-pass plan, the GDI objects the platform makes and their file blocks,
// what the clipboard holds as a comparable record, and the real program run
// as a command with its output redirected.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace clptest {

using Bytes = std::vector<std::uint8_t>;

struct Block {
  std::uint32_t format;  // a registered format is written under its name
  std::string name;
  Bytes bytes;
};

// Writes the blocks as a clipboard file (0xC351), in order; the file's bytes.
Bytes WriteClpFile(const std::string& path, const std::vector<Block>& blocks);
void WriteRawFile(const std::string& path, const Bytes& bytes);

// File blocks of real GDI objects: a bitmap's header and rows (the pixel
// bytes made from seed), a metafile picture drawn by the platform's own
// metafile DC, an EMF likewise, and a palette of count colours.
Bytes BitmapBlock(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel, std::uint32_t seed);
Bytes MetafilePictureBlock(std::int16_t mappingMode, std::int16_t xExtent, std::int16_t yExtent);
Bytes EnhMetafileBlock();
Bytes PaletteBlock(std::uint32_t count);

// The file block of what the clipboard holds as format now, read by Whole
// Data and converted back to the file's form; empty with *problem set when
// it could not be.
Bytes ClipboardAsFileBlock(std::uint32_t format, std::string* problem);

// What a test compares to say the clipboard did not change.
struct ClipboardState {
  DWORD sequenceNumber;
  std::vector<UINT> formats;
  bool operator==(const ClipboardState& other) const {
    return sequenceNumber == other.sequenceNumber && formats == other.formats;
  }
};
ClipboardState CurrentClipboard();

// The real kelvane.exe started with arguments, its standard output
// redirected to a file or a pipe and its error output to a file, waited for.
struct ProgramRun {
  bool started = false;
  long exitCode = -1;  // -1 when it did not end in time
  std::string output;
  std::string errors;
};
ProgramRun RunProgram(const std::string& arguments, DWORD timeoutMs = 60000, bool outputThroughPipe = false);

}  // namespace clptest
