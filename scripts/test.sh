#!/usr/bin/env bash
# Builds everything and runs every test: the format and clang-tidy checks, the
# native core tests (with ASan and UBSan), a short round of each fuzz target,
# the Windows tests under Wine on an Xvfb display, and a compile of the 32-bit
# Windows build.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
ensure_wine_prefix
set_window_management N
ensure_dpi144_prefix

log "format check (clang-format)"
check_format

log "native build, clang-tidy over the core, unit tests"
build_tree "$KELVANE_ROOT/build/native" -DKELVANE_SANITIZE=ON
check_tidy "$KELVANE_ROOT/build/native"
(cd "$KELVANE_ROOT/build/native" && ctest --output-on-failure -j"$(nproc)")

# A short round of every fuzz target on its seed corpus (the long runs are
# scripts/fuzz.sh); 20 seconds each, one per core at a time.
log "fuzz targets (clang, libFuzzer, ASan, UBSan)"
build_fuzz_tree >/dev/null
run_fuzz_targets "${KELVANE_FUZZ_SECONDS:-20}"

log "x86_64 Windows build and tests under Wine"
build_tree "$KELVANE_ROOT/build/x64" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-x86_64.cmake"
ensure_display
trap 'stop_dpi144_wine; stop_wine; stop_display' EXIT
start_wine
start_dpi144_wine
# The tests share the clipboard: one at a time.
(cd "$KELVANE_ROOT/build/x64" && ctest --output-on-failure -j1)

# The program alone: its tests and harnesses are the x86_64 ones, compiled
# from the same sources.
log "i686 Windows program (compiled only: this machine runs 64-bit programs alone)"
build_tree "$KELVANE_ROOT/build/i686" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-i686.cmake" \
  -DKELVANE_TESTS=OFF -DKELVANE_BENCHMARKS=OFF

log "all tests passed"
