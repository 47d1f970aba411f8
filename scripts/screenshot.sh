#!/usr/bin/env bash
# Takes the README's screenshots: Kelvane in a Wine virtual desktop on a
# private Xvfb display, driven by tools/win32/showcase.cpp.
#
#   docs/kelvane.png         a "BinaryData" snapshot with a selection below the
#                            format browser
#   docs/dump-shiftjis.png   the dump window over Japanese text in Shift_JIS
#   docs/dump-utf8.png       ... and in UTF-8, each with a selection
#   docs/find.png            the Find dialog below the dump, its match selected
#   docs/wholedata-html.png  View > Whole Data on the "HTML Format" block that
#                            the X11 program xclip put on the clipboard
#   docs/picture.png         the Picture view over a PNG with transparency that
#                            ImageMagick drew and xclip put on the X clipboard
#   docs/kelvane-150.png     the first one at 150% (144 dots per inch), in the
#                            second prefix of scripts/lib.sh
#   docs/details.png         the Details pane beside the dump of "HTML Format"
#                            that xclip put on the clipboard
#   docs/wait.png            the dump window waiting for an owner that hangs
#   docs/open-capture.png    Open a Capture's confirmation over the format
#                            browser, for the clipboard file of Wine's wordpad
#
#   scripts/screenshot.sh [docs folder]     (default docs/)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

docs=${1:-$KELVANE_ROOT/docs}
ensure_packages
ensure_wine_prefix
set_window_management Y
build_tree "$KELVANE_ROOT/build/x64" -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw-x86_64.cmake" >/dev/null

unset DISPLAY
ensure_display
trap 'stop_wine; stop_display' EXIT
mkdir -p "$docs"

# shot <output> <width> <height> [showcase arguments...]: the top left
# width x height pixels of a desktop of 660 x 640, or larger when asked.
shot() {
  local out=$1 width=$2 height=$3
  shift 3
  start_wine
  wine explorer /desktop=kelvane,$((width > 660 ? width : 660))x$((height > 640 ? height : 640)) \
    "$KELVANE_ROOT/build/x64/showcase.exe" "$KELVANE_ROOT/build/x64/kelvane.exe" "$@" >/dev/null 2>&1 &
  sleep 6
  import -window root -crop "${width}x${height}+0+0" +repage "$out"
  log "wrote $out"
  stop_wine
}

shot "$docs/kelvane.png" 660 640
shot "$docs/dump-shiftjis.png" 660 330 932
shot "$docs/dump-utf8.png" 660 330 65001
shot "$docs/find.png" 660 790 find
printf '<p>Kelvane shows <b>all</b> of the block: <i>caf\xc3\xa9</i></p>\n' >"$docs/.page.html"
xclip -selection clipboard -t text/html -i "$docs/.page.html"
rm -f "$docs/.page.html"
shot "$docs/wholedata-html.png" 660 420 whole

# picture_shot <output>: tools/win32/picturedemo.cpp shows the "PNG" that
# xclip owns, as Wine's clipboard bridge hands it over.
picture_shot() {
  local out=$1 png
  png=$(mktemp --suffix=.png)
  convert -size 120x80 xc:none -fill '#2060d0' -draw 'circle 40,40 40,6' \
    -fill 'rgba(230,40,40,0.55)' -draw 'rectangle 52,14 114,66' PNG32:"$png"
  start_wine
  xclip -selection clipboard -t image/png -i "$png"
  wine explorer /desktop=kelvane,420x300 "$KELVANE_ROOT/build/x64/picturedemo.exe" PNG >/dev/null 2>&1 &
  sleep 6
  import -window root -crop 420x300+0+0 +repage "$out"
  log "wrote $out"
  stop_wine
  rm -f "$png"
}

picture_shot "$docs/picture.png"
shot "$docs/open-capture.png" 500 425 restore "$(winepath -w "$KELVANE_ROOT/tests/win32/samples/wordpad.clp")"

# A real producer's "HTML Format": Wine's bridge writes the header.
xclip -selection clipboard -t text/html -i "$KELVANE_ROOT/tests/unit/samples/page.html" &
shot "$docs/details.png" 1000 640 details
# An owner that promises a format and hangs when asked for it.
start_wine
wine explorer /desktop=kelvane,660x640 "$KELVANE_ROOT/build/x64/clipboard_owner.exe" screenshot-owner late \
  600000 "HangFormat=seeded:64:1" >/dev/null 2>&1 &
sleep 3
shot "$docs/wait.png" 660 330 wait

# The same at 150%: every size half as large again.
ensure_dpi144_prefix
export WINEPREFIX=$KELVANE_DPI144_WINEPREFIX
set_window_management Y
shot "$docs/kelvane-150.png" 990 960
set_window_management N
