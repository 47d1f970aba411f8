// Writes what the clipboard holds now as a clipboard file, for keeping what
// real producers put there as test samples (tests/win32/samples):
//
//   clp_sample.exe <file>
//
// Every format is read whole, as View > Whole Data reads it, GDI formats
// converted to the file's forms; a format that cannot be read or stored is
// named on the error output and left out. On the main thread, as a tool.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/widetext_win32.h"
#include "capture/clpfile.h"
#include "capture/clpgdi.h"
#include "snapshot/snapshot.h"

namespace {

std::vector<UINT> ClipboardFormats() {
  std::vector<UINT> formats;
  for (int attempt = 0; attempt < 100 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(10);
  for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) formats.push_back(f);
  ::CloseClipboard();
  return formats;
}

std::string RegisteredName(UINT format) {
  wchar_t name[256] = {};
  const int length = ::GetClipboardFormatNameW(format, name, 256);
  return length > 0 ? Utf8OfWide(name, length) : std::string();
}

// The file block of a format, or none.
bool FileBlock(UINT format, std::vector<std::uint8_t>* block) {
  std::uint8_t* snapshot = nullptr;
  std::uint32_t length = 0;
  if (!ReadClipboardSnapshot(nullptr, format, true, &snapshot, &length, nullptr)) return false;
  std::string refusal;
  switch (ClpBlockFormOf(format)) {
    case ClpBlockForm::Bitmap:
      *block = ClpBitmapBlockOfDib(snapshot, length, &refusal);
      break;
    case ClpBlockForm::MetafilePicture:
      *block = ClpMetafileBlockOfSnapshot(snapshot, length, sizeof(METAFILEPICT), &refusal);
      break;
    default:
      block->assign(snapshot, snapshot + length);
      break;
  }
  FreeSnapshot(snapshot);
  return refusal.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: clp_sample.exe <file>\n");
    return 2;
  }
  std::vector<UINT> formats;
  for (UINT format : ClipboardFormats()) {
    if (ClpNotCapturedReason(format)) continue;
    formats.push_back(format);
  }
  ClpFilePlan plan(static_cast<std::uint32_t>(formats.size()));
  std::vector<std::uint8_t> blocks;
  for (UINT format : formats) {
    std::vector<std::uint8_t> block;
    if (!FileBlock(format, &block)) {
      std::fprintf(stderr, "format %u: not read\n", format);
      continue;
    }
    const ClpPlacement placed =
        plan.Place(format, RegisteredName(format), static_cast<std::uint32_t>(block.size()));
    if (!placed.placed) {
      std::fprintf(stderr, "format %u: %s\n", format, placed.refusal.c_str());
      continue;
    }
    blocks.insert(blocks.end(), block.begin(), block.end());
  }
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) return 1;
  const std::vector<std::uint8_t> table = plan.TableBytes();
  std::fwrite(table.data(), 1, table.size(), file);
  std::fwrite(blocks.data(), 1, blocks.size(), file);
  std::fclose(file);
  std::printf("%zu formats\n", plan.entries().size());
  return 0;
}
