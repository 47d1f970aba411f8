// Every input that ever found a fault in a fuzz target, and the target's seed
// corpus, replayed through the target itself under the unit tests' ASan and
// UBSan. A broken invariant aborts the test with the target's message.
//
// Files live in tests/fuzz/regressions/<target>/ and tests/fuzz/corpus/<target>/;
// a new target needs one KELVANE_REPLAY_FUZZ_INPUTS line below.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using FuzzTarget = void (*)(const std::uint8_t*, std::size_t);

std::vector<std::filesystem::path> InputsOf(const std::string& target) {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"regressions", "corpus"}) {
    const std::filesystem::path dir = std::filesystem::path(KELVANE_FUZZ_DIR) / folder / target;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  return files;
}

// Each input goes in as a heap block of exactly its size, as libFuzzer hands
// it over, so that reading past it faults.
void Replay(const std::string& target, FuzzTarget run) {
  const std::vector<std::filesystem::path> files = InputsOf(target);
  ASSERT_FALSE(files.empty()) << "no inputs for " << target;
  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    run(exact.get(), bytes.size());
  }
}

}  // namespace

#define KELVANE_REPLAY_FUZZ_INPUTS(name)                              \
  void FuzzTarget_##name(const std::uint8_t* data, std::size_t size); \
  TEST(FuzzInputs, name) { Replay(#name, FuzzTarget_##name); }

KELVANE_REPLAY_FUZZ_INPUTS(sizerules)
KELVANE_REPLAY_FUZZ_INPUTS(formatnames)
KELVANE_REPLAY_FUZZ_INPUTS(paint)
KELVANE_REPLAY_FUZZ_INPUTS(search)
KELVANE_REPLAY_FUZZ_INPUTS(input)
KELVANE_REPLAY_FUZZ_INPUTS(namecopy)
KELVANE_REPLAY_FUZZ_INPUTS(dibheader)
KELVANE_REPLAY_FUZZ_INPUTS(formats)
KELVANE_REPLAY_FUZZ_INPUTS(clpfile)
