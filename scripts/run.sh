#!/usr/bin/env bash
# Builds Kelvane for 64-bit Windows and starts it under Wine, on $DISPLAY or
# on an Xvfb display started for it (inside a Wine virtual desktop, which
# draws window captions where no window manager runs).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
ensure_wine_prefix
set_window_management Y
build_tree "$KELVANE_ROOT/build/x64" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-x86_64.cmake" \
  -DKELVANE_TESTS=OFF -DKELVANE_BENCHMARKS=OFF >/dev/null

exe=$KELVANE_ROOT/build/x64/kelvane.exe
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi
ensure_display
trap 'stop_wine; stop_display' EXIT
log "Kelvane runs on the Xvfb display $DISPLAY"
wine explorer /desktop=kelvane,1280x1024 "$exe"
