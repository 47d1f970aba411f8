// What every fuzz target shares: how it is declared, how it reads its input
// and how it reports a broken invariant.
//
// A target is one file tests/fuzz/<name>.cpp holding
//
//   KELVANE_FUZZ_TARGET(name) { ...use data, size... }
//
// Built with -DKELVANE_FUZZ_ENTRY (the fuzz tree) the macro also defines
// libFuzzer's entry point; built without it (the native unit tests) only the
// function FuzzTarget_<name> exists, and tests/unit/fuzz_regressions_test.cpp
// replays the target's checked-in inputs through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(KELVANE_FUZZ_ENTRY)
#define KELVANE_FUZZ_ENTRY_POINT(name)                                                \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    FuzzTarget_##name(data, size);                                                    \
    return 0;                                                                         \
  }
#else
#define KELVANE_FUZZ_ENTRY_POINT(name)
#endif

#define KELVANE_FUZZ_TARGET(name)                                     \
  void FuzzTarget_##name(const std::uint8_t* data, std::size_t size); \
  KELVANE_FUZZ_ENTRY_POINT(name)                                      \
  void FuzzTarget_##name(const std::uint8_t* data, std::size_t size)

namespace fuzz {

// A broken invariant: say which and abort, which libFuzzer records as a crash
// with its input and a unit test reports as a failed test.
[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

// Reads the fuzzer's bytes as numbers from the front; once they run out every
// number is 0. What is left after the numbers is the payload.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Take(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Take(4)); }
  bool Bit() { return (U8() & 1) != 0; }
  // A number in lo..hi, both included.
  std::uint32_t Range(std::uint32_t lo, std::uint32_t hi) {
    const std::uint64_t span = static_cast<std::uint64_t>(hi) - lo + 1;
    return static_cast<std::uint32_t>(lo + U32() % span);
  }

  const std::uint8_t* rest() const { return data_; }
  std::size_t restSize() const { return size_; }

 private:
  std::uint64_t Take(std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t n = 0; n < bytes && size_ != 0; ++n, ++data_, --size_) {
      value |= static_cast<std::uint64_t>(*data_) << (8 * n);
    }
    return value;
  }

  const std::uint8_t* data_;
  std::size_t size_;
};

// A heap copy of bytes of exactly their length (at least one byte is
// allocated, but only count are ever handed on), so that AddressSanitizer
// faults on the first byte read past them.
class ExactBytes {
 public:
  ExactBytes(const std::uint8_t* bytes, std::size_t count)
      : count_(count), bytes_(static_cast<std::uint8_t*>(std::malloc(count == 0 ? 1 : count))) {
    if (bytes_ == nullptr) std::abort();
    if (count != 0) std::memcpy(bytes_, bytes, count);
  }
  ~ExactBytes() { std::free(bytes_); }
  ExactBytes(const ExactBytes&) = delete;
  ExactBytes& operator=(const ExactBytes&) = delete;

  std::uint8_t* data() const { return count_ == 0 ? nullptr : bytes_; }
  std::size_t size() const { return count_; }

 private:
  std::size_t count_;
  std::uint8_t* bytes_;
};

}  // namespace fuzz

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))
