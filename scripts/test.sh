#!/usr/bin/env bash
# Builds everything and runs every test: the format check, the native core
# tests (with ASan and UBSan), the Windows tests under Wine on an Xvfb display
# with clang-tidy and a compile of the 32-bit Windows program beside them, and
# a short round of each fuzz target.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
ensure_wine_prefix
set_window_management N
ensure_dpi144_prefix

log "format check (clang-format)"
check_format

log "native build and unit tests"
build_tree "$KELVANE_ROOT/build/native" -DKELVANE_SANITIZE=ON
(cd "$KELVANE_ROOT/build/native" && ctest --output-on-failure -j"$(nproc)")

log "x86_64 Windows build"
build_tree "$KELVANE_ROOT/build/x64" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-x86_64.cmake"

# The Windows tests spend most of their time waiting for windows, the display
# and the Wine server. The checks that need only a processor run beside them
# at the lowest priority, so the tests keep theirs: clang-tidy over the core,
# the i686 program (compiled only: this machine runs 64-bit programs alone;
# its tests and harnesses are the x86_64 ones, from the same sources) and the
# fuzz targets' build.
log "Windows tests under Wine; beside them clang-tidy over the core, the i686 program and the fuzz targets' build"
beside_log=$KELVANE_ROOT/build/beside-the-windows-tests.log
# Job control gives the checks a process group of their own, so that they can
# be stopped together, yet keeps them in this session: a new session would be
# a scheduling group of its own, and its priority would count only inside it.
set -m
nice -n 19 bash -c 'source "$1/scripts/lib.sh" &&
  check_tidy "$1/build/native" &&
  build_tree "$1/build/i686" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-i686.cmake" \
    -DKELVANE_TESTS=OFF -DKELVANE_BENCHMARKS=OFF &&
  build_fuzz_tree' beside "$KELVANE_ROOT" >"$beside_log" 2>&1 &
beside=$!
set +m
ensure_display
# A failed test stops the run: the checks beside it stop with it.
trap 'kill -- -"$beside" 2>/dev/null || true; stop_dpi144_wine; stop_wine; stop_display' EXIT
start_wine
start_dpi144_wine
# The tests share the clipboard: one at a time.
(cd "$KELVANE_ROOT/build/x64" && ctest --output-on-failure -j1)
if ! wait "$beside"; then
  tail -n 40 "$beside_log" >&2
  log "clang-tidy, the i686 build or the fuzz build failed (whole output: ${beside_log#"$KELVANE_ROOT"/})"
  exit 1
fi

# A short round of every fuzz target on its seed corpus (the long runs are
# scripts/fuzz.sh); 20 seconds each, one per core at a time, so after the
# Windows tests rather than beside them.
log "fuzz targets (clang, libFuzzer, ASan, UBSan)"
run_fuzz_targets "${KELVANE_FUZZ_SECONDS:-20}"

log "all tests passed"
