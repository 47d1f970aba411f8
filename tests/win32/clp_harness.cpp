#include "clp_harness.h"

#include <cstring>

#include "capture/clpfile.h"
#include "capture/clpgdi.h"
#include "snapshot/snapshot.h"
#include "testsupport.h"

namespace clptest {

void WriteRawFile(const std::string& path, const Bytes& bytes) {
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  for (std::size_t done = 0; done < bytes.size();) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    if (!::WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) break;
    done += wrote;
  }
  ::CloseHandle(file);
}

Bytes WriteClpFile(const std::string& path, const std::vector<Block>& blocks) {
  ClpFilePlan plan(static_cast<std::uint32_t>(blocks.size()));
  for (const Block& b : blocks) plan.Place(b.format, b.name, static_cast<std::uint32_t>(b.bytes.size()));
  Bytes file = plan.TableBytes();
  for (const Block& b : blocks) file.insert(file.end(), b.bytes.begin(), b.bytes.end());
  WriteRawFile(path, file);
  return file;
}

Bytes BitmapBlock(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel, std::uint32_t seed) {
  const auto rowBytes = static_cast<std::uint32_t>(BitmapRowBytes(width, bitsPerPixel));
  Bytes block(kClpBitmapHeaderBytes + static_cast<std::size_t>(rowBytes) * height, 0);
  const std::uint16_t fields[] = {0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                                  static_cast<std::uint16_t>(rowBytes)};
  std::memcpy(block.data(), fields, sizeof(fields));
  block[8] = 1;
  block[9] = static_cast<std::uint8_t>(bitsPerPixel);
  testsupport::Random random(seed);
  const std::uint32_t usedBits = width * bitsPerPixel;
  for (std::uint32_t row = 0; row < height; ++row) {
    for (std::uint32_t bit = 0; bit < usedBits; bit += 8) {
      auto value = static_cast<std::uint8_t>(random.Next());
      // Bits past a row's last pixel are padding: the platform gives them
      // back as zeros (every other bit comes back, at 16 and 32 bits too).
      if (usedBits - bit < 8) value = static_cast<std::uint8_t>(value & (0xFF << (8 - (usedBits - bit))));
      block[kClpBitmapHeaderBytes + row * rowBytes + bit / 8] = value;
    }
  }
  return block;
}

Bytes MetafilePictureBlock(std::int16_t mappingMode, std::int16_t xExtent, std::int16_t yExtent) {
  HDC dc = ::CreateMetaFileA(nullptr);
  ::Rectangle(dc, 10, 10, 200, 120);
  ::Ellipse(dc, 20, 20, 90, 100);
  ::TextOutA(dc, 30, 40, "Kelvane", 7);
  HMETAFILE metafile = ::CloseMetaFile(dc);
  const UINT size = ::GetMetaFileBitsEx(metafile, 0, nullptr);
  Bytes wmf(size);
  ::GetMetaFileBitsEx(metafile, size, wmf.data());
  ::DeleteMetaFile(metafile);
  Bytes block(kClpMetafileHeaderBytes + wmf.size());
  const std::int16_t fields[] = {mappingMode, xExtent, yExtent, 0};
  std::memcpy(block.data(), fields, sizeof(fields));
  std::memcpy(block.data() + kClpMetafileHeaderBytes, wmf.data(), wmf.size());
  return block;
}

Bytes EnhMetafileBlock() {
  HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, "Kelvane\0test\0");
  ::Rectangle(dc, 0, 0, 300, 200);
  ::MoveToEx(dc, 0, 0, nullptr);
  ::LineTo(dc, 300, 200);
  HENHMETAFILE metafile = ::CloseEnhMetaFile(dc);
  const UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
  Bytes emf(size);
  ::GetEnhMetaFileBits(metafile, size, emf.data());
  ::DeleteEnhMetaFile(metafile);
  return emf;
}

Bytes PaletteBlock(std::uint32_t count) {
  Bytes block(4 + 4 * count, 0);
  block[1] = 0x03;
  block[2] = static_cast<std::uint8_t>(count & 0xFF);
  block[3] = static_cast<std::uint8_t>(count >> 8);
  for (std::uint32_t i = 0; i < count; ++i) {
    block[4 + 4 * i] = static_cast<std::uint8_t>(i * 37);
    block[5 + 4 * i] = static_cast<std::uint8_t>(255 - i * 11);
    block[6 + 4 * i] = static_cast<std::uint8_t>(i * 5);
  }
  return block;
}

Bytes ClipboardAsFileBlock(std::uint32_t format, std::string* problem) {
  std::uint8_t* snapshot = nullptr;
  std::uint32_t length = 0;
  bool read = false;
  for (int attempt = 0; attempt < 100 && !read; ++attempt) {
    read = ReadClipboardSnapshot(nullptr, format, true, &snapshot, &length, nullptr);
    if (!read) ::Sleep(10);
  }
  if (!read) {
    *problem = "Whole Data could not read it";
    return {};
  }
  Bytes block;
  problem->clear();
  switch (ClpBlockFormOf(format)) {
    case ClpBlockForm::Bitmap:
      block = ClpBitmapBlockOfDib(snapshot, length, problem);
      break;
    case ClpBlockForm::MetafilePicture:
      block = ClpMetafileBlockOfSnapshot(snapshot, length, sizeof(METAFILEPICT), problem);
      break;
    default:
      block.assign(snapshot, snapshot + length);
      break;
  }
  FreeSnapshot(snapshot);
  return block;
}

ClipboardState CurrentClipboard() {
  return ClipboardState{::GetClipboardSequenceNumber(), testsupport::ClipboardFormats()};
}

namespace {

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string FileText(const std::string& path) {
  const Bytes bytes = testsupport::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Reads what the pipe holds now, without waiting for more.
void Drain(HANDLE pipe, std::string* into) {
  DWORD available = 0;
  while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char chunk[4096];
    DWORD got = 0;
    if (!::ReadFile(pipe, chunk, std::min<DWORD>(available, sizeof(chunk)), &got, nullptr) || got == 0)
      return;
    into->append(chunk, got);
  }
}

}  // namespace

ProgramRun RunProgram(const std::string& arguments, DWORD timeoutMs, bool outputThroughPipe) {
  ProgramRun run;
  const std::string program = testsupport::ProgramBesideTests(KELVANE_EXE_NAME);
  const std::string outPath = testsupport::TempPath("stdout");
  const std::string errPath = testsupport::TempPath("stderr");
  HANDLE pipeRead = nullptr;
  HANDLE out = nullptr;
  if (outputThroughPipe) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    ::CreatePipe(&pipeRead, &out, &inherit, 0);
    ::SetHandleInformation(pipeRead, HANDLE_FLAG_INHERIT, 0);
  } else {
    out = InheritableFile(outPath);
  }
  HANDLE err = InheritableFile(errPath);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::string commandLine = "\"" + program + "\" " + arguments;
  PROCESS_INFORMATION process = {};
  run.started = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 nullptr, &startup, &process) != FALSE;
  ::CloseHandle(out);
  ::CloseHandle(err);
  if (run.started) {
    const DWORD start = ::GetTickCount();
    DWORD waited = WAIT_TIMEOUT;
    while (waited == WAIT_TIMEOUT && ::GetTickCount() - start < timeoutMs) {
      waited = ::WaitForSingleObject(process.hProcess, 10);
      if (pipeRead != nullptr) Drain(pipeRead, &run.output);
    }
    if (waited == WAIT_OBJECT_0) {
      DWORD code = 0;
      ::GetExitCodeProcess(process.hProcess, &code);
      run.exitCode = static_cast<long>(code);
    } else {
      ::TerminateProcess(process.hProcess, 99);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  if (pipeRead != nullptr) {
    Drain(pipeRead, &run.output);
    ::CloseHandle(pipeRead);
  } else {
    run.output = FileText(outPath);
  }
  run.errors = FileText(errPath);
  ::DeleteFileA(outPath.c_str());
  ::DeleteFileA(errPath.c_str());
  return run;
}

}  // namespace clptest
