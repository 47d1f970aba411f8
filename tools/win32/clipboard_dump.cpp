// Writes one clipboard format's whole block to a file, for keeping what a
// real producer put on the clipboard as a test sample:
//
//   clipboard_dump.exe <format> <file>
//   clipboard_dump.exe --list
//
// A format is a number or a registered name. --list prints the formats on
// the clipboard with their names. Retries the open for a while, as Wine's
// clipboard manager may hold the clipboard for a moment.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool OpenClipboardPatiently() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (::OpenClipboard(nullptr)) return true;
    ::Sleep(20);
  }
  return false;
}

UINT FormatOf(const char* text) {
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 0);
  if (end != text && *end == '\0') return static_cast<UINT>(number);
  return ::RegisterClipboardFormatA(text);
}

int List() {
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    char name[256] = "";
    ::GetClipboardFormatNameA(format, name, sizeof(name));
    std::printf("%u %s\n", format, name);
  }
  return 0;
}

int Dump(UINT format, const char* path) {
  HANDLE data = ::GetClipboardData(format);
  if (data == nullptr) {
    std::fprintf(stderr, "format %u is not on the clipboard\n", format);
    return 1;
  }
  const SIZE_T size = ::GlobalSize(data);
  const void* bytes = ::GlobalLock(data);
  if (bytes == nullptr) {
    std::fprintf(stderr, "format %u is not a memory block\n", format);
    return 1;
  }
  FILE* file = std::fopen(path, "wb");
  const bool written = file != nullptr && std::fwrite(bytes, 1, size, file) == size;
  if (file != nullptr) std::fclose(file);
  ::GlobalUnlock(data);
  std::printf("%lu bytes\n", static_cast<unsigned long>(size));
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool list = argc == 2 && std::strcmp(argv[1], "--list") == 0;
  if (!list && argc != 3) {
    std::fprintf(stderr, "usage: clipboard_dump <format> <file> | --list\n");
    return 2;
  }
  if (!OpenClipboardPatiently()) {
    std::fprintf(stderr, "the clipboard cannot be opened\n");
    return 1;
  }
  const int result = list ? List() : Dump(FormatOf(argv[1]), argv[2]);
  ::CloseClipboard();
  return result;
}
