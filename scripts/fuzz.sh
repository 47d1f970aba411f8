#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan, UBSan) and runs each on its
# seed corpus. Usage: scripts/fuzz.sh [seconds per target] [executions per target]
# (defaults: 300 seconds, no execution limit: -1); KELVANE_FUZZ_ONLY="paint ..."
# picks targets. Prints executions and findings per target; inputs that crashed are left in build/fuzz/findings/<target>/:
# copy each into tests/fuzz/regressions/<target>/ once its fault is fixed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

seconds=${1:-300}
runs=${2:--1}
ensure_packages
log "building the fuzz targets"
build_fuzz_tree >/dev/null
log "fuzzing each target for up to $seconds s${2:+ or $runs executions}"
run_fuzz_targets "$seconds" "$runs"
