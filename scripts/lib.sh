# Shared set-up of scripts/run.sh and scripts/test.sh: packages, the Wine
# prefix and an X display. Sourced, not run. Everything here is idempotent and
# costs only a few checks when all is in place.

KELVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${KELVANE_WINEPREFIX:-$HOME/.local/share/kelvane/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# A fixed locale keeps Wine's ANSI code page at 1252 whatever the caller's.
export LC_ALL=C.UTF-8

KELVANE_PACKAGES=(
  cmake make g++ googletest libbenchmark-dev python3
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64
  xvfb xauth x11-utils imagemagick xclip xdotool
  clang libclang-rt-14-dev clang-tidy clang-format
  fonts-ipafont-gothic fonts-wine fonts-liberation
)

log() { printf '[kelvane] %s\n' "$*" >&2; }

# Installs whatever of KELVANE_PACKAGES is missing (Debian 12, as root or
# through sudo).
ensure_packages() {
  local missing=()
  local p
  for p in "${KELVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Creates the Wine prefix once: no Mono/Gecko prompts, no crash dialogs,
# "MS Gothic" replaced by IPAGothic so that the dump's cells are 8 pixels wide
# and Japanese glyphs exist, and Wine's own Marlett in the prefix's font folder
# (Debian's Wine does not find it otherwise, and captions then show the digits
# "0 1 r" instead of their buttons).
ensure_wine_prefix() {
  local marker=$WINEPREFIX/.kelvane-prefix-v2
  [ -f "$marker" ] && return 0
  log "preparing the Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Gothic' /t REG_SZ /d 'IPAGothic' /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  touch "$marker"
}

# Sets a registry value of $WINEPREFIX once per wanted value, remembered in a
# marker file, and stops the server, which reads the value when it starts:
# set_prefix_value <marker> <value> <key> <name> <type>
set_prefix_value() {
  local marker=$WINEPREFIX/.kelvane-$1 want=$2
  [ "$(cat "$marker" 2>/dev/null)" = "$want" ] && return 0
  wine reg add "$3" /v "$4" /t "$5" /d "$want" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  echo "$want" >"$marker"
}

# Whether a window manager may manage Wine's top-level windows (Y or N).
# Under a bare Xvfb nothing manages them, and a managed window costs Wine a
# 2-second wait for the withdrawn state every time one is hidden; the tests
# therefore run unmanaged. On a real desktop windows are managed as usual.
set_window_management() { set_prefix_value managed "$1" 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ; }

# The resolution of the prefix's screen in dots per inch: 96 is 100%, 144 is
# 150%.
set_prefix_dpi() { set_prefix_value dpi "$1" 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD; }

# The second prefix, at 150%, of the Windows test entry that checks the
# program's sizes at 144 dots per inch (kelvane_win32_tests_dpi_144): made
# once like the first, about 15 seconds, then only checked.
export KELVANE_DPI144_WINEPREFIX=${KELVANE_DPI144_WINEPREFIX:-$WINEPREFIX-dpi144}

ensure_dpi144_prefix() {
  (
    export WINEPREFIX=$KELVANE_DPI144_WINEPREFIX
    ensure_wine_prefix
    set_window_management N
    set_prefix_dpi 144
  )
}

start_dpi144_wine() { (export WINEPREFIX=$KELVANE_DPI144_WINEPREFIX && start_wine); }
stop_dpi144_wine() { (export WINEPREFIX=$KELVANE_DPI144_WINEPREFIX && stop_wine); }

KELVANE_XVFB_PID=

# Uses $DISPLAY when it is set; otherwise starts an Xvfb on a free display
# number and exports DISPLAY. stop_display undoes it.
ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=${KELVANE_XVFB_DISPLAY:-90}
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  KELVANE_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  log "Xvfb did not start on $DISPLAY"
  return 1
}

stop_display() {
  if [ -n "$KELVANE_XVFB_PID" ]; then
    kill "$KELVANE_XVFB_PID" 2>/dev/null || true
    wait "$KELVANE_XVFB_PID" 2>/dev/null || true
    KELVANE_XVFB_PID=
  fi
}

# Keeps one Wine server alive and starts Wine's background processes
# (services, explorer ...) now, with their output sent nowhere: started by a
# test program instead, they would inherit its output pipe and keep CTest
# waiting for them.
start_wine() {
  wineserver -p >/dev/null 2>&1 || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Configures and builds one tree: build_tree <dir> [cmake options...]
build_tree() {
  local dir=$1
  shift
  cmake -S "$KELVANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

# The libFuzzer targets of tests/fuzz, built natively with clang, ASan and
# UBSan into build/fuzz.
build_fuzz_tree() {
  CC=clang CXX=clang++ build_tree "$KELVANE_ROOT/build/fuzz" \
    -DKELVANE_FUZZ=ON -DKELVANE_TESTS=OFF -DKELVANE_BENCHMARKS=OFF
}

# The C++ sources and headers under version control, for the format check.
source_files() {
  git -C "$KELVANE_ROOT" ls-files -- '*.cpp' '*.h'
}

# Fails, listing the files, when any source differs from what clang-format
# makes of it with the tree's .clang-format (scripts/format.sh applies it).
check_format() {
  local unformatted=() file
  while IFS= read -r file; do
    clang-format --style=file --dry-run --Werror "$KELVANE_ROOT/$file" >/dev/null 2>&1 || unformatted+=("$file")
  done < <(source_files)
  if [ ${#unformatted[@]} -ne 0 ]; then
    log "not formatted (scripts/format.sh fixes them): ${unformatted[*]}"
    return 1
  fi
}

# clang-tidy with the tree's .clang-tidy over the portable core (the sources
# of kelvane_core and the headers they include), as compiled in the given
# build tree's compile_commands.json, two files at a time. Fails on any
# finding.
check_tidy() {
  local build=$1
  run-clang-tidy -p "$build" -j 2 -quiet \
    "$KELVANE_ROOT/(app|browser|snapshot|dumpframe|dumpview|encoding|identify|picture|formats|capture|clipwatch)/[^/]*\.cpp\$" >"$build/tidy.log" 2>&1 || {
    grep -E 'warning:|error:' "$build/tidy.log" >&2 || cat "$build/tidy.log" >&2
    return 1
  }
}

# Runs one fuzz target for at most the given seconds (and, when given, at
# most that many executions) on its checked-in seed corpus and prints its
# executions and findings. New inputs go to build/fuzz/work/<target>, faults
# to build/fuzz/findings/<target>/. Fails when the target found a fault.
run_fuzz_target() {
  local exe=$1 seconds=$2 runs=$3
  local target=${exe##*/fuzz_} out executions findings status=0
  # Findings are this run's own: a fixed one lives on in tests/fuzz/regressions.
  rm -rf "$KELVANE_ROOT/build/fuzz/findings/$target"
  mkdir -p "$KELVANE_ROOT/build/fuzz/work/$target" "$KELVANE_ROOT/build/fuzz/findings/$target"
  out=$KELVANE_ROOT/build/fuzz/$target.log
  "$exe" -max_total_time="$seconds" -runs="$runs" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$KELVANE_ROOT/build/fuzz/findings/$target/" \
    "$KELVANE_ROOT/build/fuzz/work/$target" "$KELVANE_ROOT/tests/fuzz/corpus/$target" >"$out" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -1)
  findings=$(find "$KELVANE_ROOT/build/fuzz/findings/$target" -type f | wc -l)
  printf 'fuzz %-12s %12s executions  %d findings  (exit %d, log %s)\n' \
    "$target" "${executions:-?}" "$findings" "$status" "${out#"$KELVANE_ROOT"/}"
  if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    grep -E 'ERROR|invariant broken|SUMMARY' "$out" | head -5 >&2 || true
    return 1
  fi
}

# Runs every fuzz target (KELVANE_FUZZ_ONLY="a b": only those named), one per
# core at a time: each target is single-threaded. Fails when any target found
# a fault.
run_fuzz_targets() {
  local seconds=$1 runs=${2:--1}
  local failed=0 exe target running=0
  for exe in "$KELVANE_ROOT"/build/fuzz/fuzz_*; do
    [ -x "$exe" ] || continue
    target=${exe##*/fuzz_}
    if [ -n "${KELVANE_FUZZ_ONLY:-}" ] && [[ " $KELVANE_FUZZ_ONLY " != *" $target "* ]]; then continue; fi
    if [ "$running" -ge "$(nproc)" ]; then
      wait -n || failed=1
      running=$((running - 1))
    fi
    run_fuzz_target "$exe" "$seconds" "$runs" &
    running=$((running + 1))
  done
  while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
  done
  return $failed
}
