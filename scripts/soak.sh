#!/usr/bin/env bash
# The long runs of the "nothing lost, nothing leaked" tests under Wine: 1,000
# seeded payloads saved through the real save dialog and compared byte for
# byte, 1,000 openings and closings of the dump window and 100 Analyze runs
# with GDI, USER and private-memory counts after the first of their rounds
# compared with those after the last; and 100,000 seeded random messages sent
# to a real dump view, its state checked after each.
#
#   scripts/soak.sh [payloads] [openings] [analyze runs] [seed] [dump view messages]
#   (defaults 1000 1000 100 1 100000; about 25 minutes on a quiet two-core machine)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

export KELVANE_SAVE_PAYLOADS=${1:-1000}
export KELVANE_OPEN_CYCLES=${2:-1000}
export KELVANE_ANALYZE_CYCLES=${3:-100}
export KELVANE_SAVE_SEED=${4:-1}
export KELVANE_SOAK_SEED=${4:-1}
export KELVANE_SOAK_MESSAGES=${5:-100000}

ensure_packages
ensure_wine_prefix
set_window_management N
build_tree "$KELVANE_ROOT/build/x64" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-x86_64.cmake" >/dev/null
ensure_display
trap 'stop_wine; stop_display' EXIT
start_wine
log "$KELVANE_SAVE_PAYLOADS payloads (seed $KELVANE_SAVE_SEED), $KELVANE_OPEN_CYCLES openings, $KELVANE_ANALYZE_CYCLES Analyze runs, $KELVANE_SOAK_MESSAGES dump view messages"
cd "$KELVANE_ROOT/build/x64"
wine kelvane_win32_tests.exe --gtest_filter='NothingLost.*:NothingLeaked.*:DumpViewSoak.*' </dev/null
