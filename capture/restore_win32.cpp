// The platform side of putting a file back: file reads, global blocks, the
// GDI calls that rebuild bitmaps, palettes and metafiles, and the clipboard.
// The file's layout and every check of its bytes live in clpfile.cpp and
// clpgdi.cpp.
#include "capture/restore_win32.h"

#include <cstring>
#include <memory>
#include <vector>

#include "app/widetext_win32.h"
#include "capture/clpgdi.h"
#include "formats/lines.h"

namespace {

// An open file for reading at offsets; closed when it goes.
class CaptureFile {
 public:
  explicit CaptureFile(const std::string& path)
      : handle_(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~CaptureFile() {
    if (opened()) ::CloseHandle(handle_);
  }
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;

  bool opened() const { return handle_ != INVALID_HANDLE_VALUE; }

  std::uint64_t Size() const {
    LARGE_INTEGER size = {};
    return ::GetFileSizeEx(handle_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

  // Reads exactly length bytes at offset; false when the file has fewer.
  bool ReadAt(std::uint64_t offset, void* into, std::uint32_t length) const {
    LARGE_INTEGER at = {};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN)) return false;
    auto* bytes = static_cast<std::uint8_t*>(into);
    for (std::uint32_t done = 0; done < length;) {
      DWORD got = 0;
      if (!::ReadFile(handle_, bytes + done, length - done, &got, nullptr) || got == 0) return false;
      done += got;
    }
    return true;
  }

 private:
  HANDLE handle_;
};

// A block read into the process heap for as long as an object is built from
// it: the one block in memory beyond the handles the clipboard will own.
class HeapBlock {
 public:
  explicit HeapBlock(std::uint32_t length)
      : bytes_(static_cast<std::uint8_t*>(::HeapAlloc(::GetProcessHeap(), 0, length == 0 ? 1 : length))) {}
  ~HeapBlock() {
    if (bytes_ != nullptr) ::HeapFree(::GetProcessHeap(), 0, bytes_);
  }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  std::uint8_t* bytes() const { return bytes_; }

 private:
  std::uint8_t* bytes_;
};

constexpr char kNoMemory[] = "there is not enough memory for its ";
constexpr char kUnreadable[] = "its data could not be read from the file";

// What the clipboard will be given for one entry.
struct BuiltEntry {
  UINT format;
  HANDLE data;
  ClpBlockForm form;
};

void FreeBuilt(const BuiltEntry& built) {
  switch (built.form) {
    case ClpBlockForm::GlobalBlock:
      ::GlobalFree(built.data);
      break;
    case ClpBlockForm::Bitmap:
    case ClpBlockForm::Palette:
      ::DeleteObject(built.data);
      break;
    case ClpBlockForm::EnhMetafile:
      ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(built.data));
      break;
    case ClpBlockForm::MetafilePicture:
      if (const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(built.data))) {
        ::DeleteMetaFile(picture->hMF);
        ::GlobalUnlock(built.data);
      }
      ::GlobalFree(built.data);
      break;
  }
}

void FreeAll(const std::vector<BuiltEntry>& built, std::size_t from) {
  for (std::size_t i = from; i < built.size(); ++i) FreeBuilt(built[i]);
}

// The outcome of building one entry: its handle, or the clause saying why
// there is none.
struct Built {
  HANDLE data;
  std::string failure;
};

Built Failed(std::string failure) { return Built{nullptr, std::move(failure)}; }

Built GlobalBlockOf(const CaptureFile& file, const ClpEntry& entry) {
  // A moveable block of no bytes cannot be locked, and the clipboard refuses
  // it; a fixed one it takes.
  const UINT flags = entry.length == 0 ? GMEM_FIXED : GMEM_MOVEABLE;
  HGLOBAL block = ::GlobalAlloc(flags, entry.length);
  if (block == nullptr) return Failed(kNoMemory + Bytes(entry.length));
  if (entry.length == 0) return Built{block, {}};
  void* bytes = ::GlobalLock(block);
  const bool read = bytes != nullptr && file.ReadAt(entry.offset, bytes, entry.length);
  if (bytes != nullptr) ::GlobalUnlock(block);
  if (!read) {
    ::GlobalFree(block);
    return Failed(kUnreadable);
  }
  return Built{block, {}};
}

HANDLE BitmapOf(std::uint8_t* block, std::uint32_t length) {
  const ClpBitmap bitmap = ReadClpBitmap(block, length);
  if (!bitmap.ok) return nullptr;
  PackClpBitmapRows(block, bitmap);
  return ::CreateBitmap(static_cast<int>(bitmap.width), static_cast<int>(bitmap.height), bitmap.planes,
                        bitmap.bitsPerPixel, block + kClpBitmapHeaderBytes);
}

HANDLE PaletteOf(std::uint8_t* block, std::uint32_t length) {
  if (!ReadClpPalette(block, length).ok) return nullptr;
  // The block is a LOGPALETTE already; only the version is the platform's own.
  std::memcpy(block, &kLogPaletteVersion, sizeof(kLogPaletteVersion));
  return ::CreatePalette(reinterpret_cast<const LOGPALETTE*>(block));
}

HANDLE MetafilePictureOf(const std::uint8_t* block, std::uint32_t length) {
  const ClpMetafile metafile = ReadClpMetafile(block, length);
  if (!metafile.ok) return nullptr;
  HMETAFILE bits = ::SetMetaFileBitsEx(metafile.wmfLength, block + metafile.wmfOffset);
  if (bits == nullptr) return nullptr;
  HGLOBAL picture = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* fields = picture != nullptr ? static_cast<METAFILEPICT*>(::GlobalLock(picture)) : nullptr;
  if (fields == nullptr) {
    if (picture != nullptr) ::GlobalFree(picture);
    ::DeleteMetaFile(bits);
    return nullptr;
  }
  fields->mm = metafile.mappingMode;
  fields->xExt = metafile.xExtent;
  fields->yExt = metafile.yExtent;
  fields->hMF = bits;
  ::GlobalUnlock(picture);
  return picture;
}

Built ObjectOf(const CaptureFile& file, const ClpEntry& entry, ClpBlockForm form) {
  HeapBlock block(entry.length);
  if (block.bytes() == nullptr) return Failed(kNoMemory + Bytes(entry.length));
  if (!file.ReadAt(entry.offset, block.bytes(), entry.length)) return Failed(kUnreadable);
  const std::string refusal = ClpBlockRefusal(entry.format, block.bytes(), entry.length);
  if (!refusal.empty()) return Failed(refusal);
  HANDLE data = nullptr;
  switch (form) {
    case ClpBlockForm::Bitmap:
      data = BitmapOf(block.bytes(), entry.length);
      break;
    case ClpBlockForm::Palette:
      data = PaletteOf(block.bytes(), entry.length);
      break;
    case ClpBlockForm::MetafilePicture:
      data = MetafilePictureOf(block.bytes(), entry.length);
      break;
    case ClpBlockForm::EnhMetafile:
      data = ::SetEnhMetaFileBits(entry.length, block.bytes());
      break;
    case ClpBlockForm::GlobalBlock:
      break;
  }
  if (data == nullptr) return Failed("the system could not rebuild it from its data");
  return Built{data, {}};
}

// The number the entry's data goes under in this session: a registered
// format's name registered again, any other format's own number; 0 when
// the name cannot be registered.
UINT SessionFormat(const ClpEntry& entry) {
  if (!IsRegisteredFormat(entry.format)) return entry.format;
  return ::RegisterClipboardFormatW(WideOfUtf8(entry.name).c_str());
}

// Hands every built entry to the open clipboard; the index of the first one
// it refused, or built.size().
std::size_t SetEntries(const std::vector<BuiltEntry>& built) {
  for (std::size_t i = 0; i < built.size(); ++i) {
    if (::SetClipboardData(built[i].format, built[i].data) == nullptr) return i;
  }
  return built.size();
}

}  // namespace

bool OpenClipboardRetrying(HWND owner, DWORD forMs) {
  for (DWORD waited = 0;; waited += 10) {
    if (::OpenClipboard(owner)) return true;
    if (waited >= forMs) return false;
    ::Sleep(10);
  }
}

std::string EntrySentence(const ClpDirectory& directory, const ClpEntry& entry, const std::string& clause) {
  return ClpEntryPlace(entry.position, directory.slots, ClpEntryLabel(entry.format, entry.name)) + ": " +
         clause + ".";
}

OpenedCapture ReadCaptureFile(const std::string& path) {
  OpenedCapture opened;
  const CaptureFile file(path);
  if (!file.opened()) {
    opened.problem = "The file could not be opened.";
    return opened;
  }
  const std::uint64_t fileSize = file.Size();
  std::uint8_t header[kClpHeaderBytes] = {};
  const auto headerBytes =
      static_cast<std::uint32_t>(fileSize < kClpHeaderBytes ? fileSize : kClpHeaderBytes);
  if (!file.ReadAt(0, header, headerBytes)) {
    opened.problem = "The file could not be read.";
    return opened;
  }
  const std::uint64_t wanted = ClpDirectoryBytes(header, headerBytes);
  const auto tableBytes = static_cast<std::uint32_t>(wanted < fileSize ? wanted : fileSize);
  std::vector<std::uint8_t> table(tableBytes);
  if (!file.ReadAt(0, table.data(), tableBytes)) {
    opened.problem = "The file could not be read.";
    return opened;
  }
  opened.directory = ReadClpDirectory(table.data(), tableBytes, fileSize);
  if (opened.directory.problem) {
    opened.problem = opened.directory.problem->message;
    return opened;
  }
  // The blocks of GDI formats are checked now too, one at a time, so that a
  // damaged one is told before the user is asked anything.
  for (const ClpEntry& entry : opened.directory.entries) {
    if (ClpBlockFormOf(entry.format) == ClpBlockForm::GlobalBlock) continue;
    HeapBlock block(entry.length);
    std::string refusal;
    if (block.bytes() == nullptr) {
      refusal = kNoMemory + Bytes(entry.length);
    } else if (!file.ReadAt(entry.offset, block.bytes(), entry.length)) {
      refusal = kUnreadable;
    } else {
      refusal = ClpBlockRefusal(entry.format, block.bytes(), entry.length);
    }
    if (!refusal.empty()) {
      opened.problem = EntrySentence(opened.directory, entry, refusal);
      return opened;
    }
  }
  return opened;
}

std::string PutCaptureOnClipboard(HWND owner, const std::string& path, const ClpDirectory& directory) {
  const CaptureFile file(path);
  if (!file.opened()) return "The file could not be opened.";
  std::vector<BuiltEntry> built;
  built.reserve(directory.entries.size());
  for (const ClpEntry& entry : directory.entries) {
    const UINT format = SessionFormat(entry);
    if (format == 0) {
      FreeAll(built, 0);
      return EntrySentence(directory, entry, "its name could not be registered as a clipboard format");
    }
    const ClpBlockForm form = ClpBlockFormOf(entry.format);
    const Built one =
        form == ClpBlockForm::GlobalBlock ? GlobalBlockOf(file, entry) : ObjectOf(file, entry, form);
    if (one.data == nullptr) {
      FreeAll(built, 0);
      return EntrySentence(directory, entry, one.failure);
    }
    built.push_back(BuiltEntry{format, one.data, form});
  }

  if (!OpenClipboardRetrying(owner, 100)) {
    FreeAll(built, 0);
    return "The clipboard could not be opened: another program holds it. Nothing was changed.";
  }
  if (!::EmptyClipboard()) {
    ::CloseClipboard();
    FreeAll(built, 0);
    return "The clipboard could not be emptied. Nothing was changed.";
  }
  const std::size_t refused = SetEntries(built);
  if (refused != built.size()) {
    // What the clipboard took so far is its own and goes with the emptying.
    ::EmptyClipboard();
    ::CloseClipboard();
    FreeAll(built, refused);
    return EntrySentence(directory, directory.entries[refused],
                         "the clipboard refused it, and was left empty");
  }
  ::CloseClipboard();
  return {};
}
