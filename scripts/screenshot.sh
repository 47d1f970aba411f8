#!/usr/bin/env bash
# Takes the README's screenshot: Kelvane in a Wine virtual desktop on a
# private Xvfb display, driven by tools/win32/showcase.cpp into showing a
# "BinaryData" snapshot with a selection below the format browser.
#
#   scripts/screenshot.sh [output.png] [find]   (default docs/kelvane.png)
#
# With "find" the picture shows the Find dialog over the dump, its match
# selected (docs/find.png in the README).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

out=${1:-$KELVANE_ROOT/docs/kelvane.png}
scene=${2:-}
ensure_packages
ensure_wine_prefix
set_window_management Y
build_tree "$KELVANE_ROOT/build/x64" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-x86_64.cmake" >/dev/null

unset DISPLAY
ensure_display
trap 'stop_wine; stop_display' EXIT
start_wine
width=660 height=640
[ "$scene" = find ] && height=790  # the Find dialog goes below the dump
wine explorer /desktop=kelvane,${width}x${height} \
  "$KELVANE_ROOT/build/x64/showcase.exe" "$KELVANE_ROOT/build/x64/kelvane.exe" $scene >/dev/null 2>&1 &
sleep 6
mkdir -p "$(dirname "$out")"
import -window root -crop ${width}x${height}+0+0 +repage "$out"
log "wrote $out"
