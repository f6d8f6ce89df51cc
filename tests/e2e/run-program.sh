#!/usr/bin/env bash
# Runs the Windows program under Wine for a developer (what "./dev run" does).
#   run-program.sh EXE [arguments...]
# With $DISPLAY set the program opens on that display. Without one, a virtual
# display of its own is started (Xvfb + openbox); once the settings window is
# up and painted a screenshot is saved to build/run-screenshot.png, and the
# program keeps running until Ctrl+C, which ends what this script started.
# The Wine prefix lives in build/run-prefix and is made once.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=wine-common.sh
. "$ROOT/tests/e2e/wine-common.sh"
EXE="${1:?usage: run-program.sh EXE [arguments...]}"
shift
BUILD="$ROOT/build"
PREFIX="$BUILD/run-prefix"
SHOT="$BUILD/run-screenshot.png"
# The settings window is titled with the product name, written once with the version.
TITLE="$(sed -n 's/^#define ZAVIK_PRODUCT_NAME "\(.*\)"$/\1/p' "$ROOT/res/version.h")"
READY_MARK=".zavik-ready"
WINDOW_DEADLINE=60   # seconds for the settings window to appear
SETTLE_DEADLINE=10   # seconds for the screen to stop changing

export WINEPREFIX="$PREFIX"
wine_quiet_env

say() { echo "run-program: $*" >&2; }
die() { say "$*"; exit 1; }

[ -f "$EXE" ] || die "no program at $EXE"
mkdir -p "$BUILD"

XVFB_PID=""
OPENBOX_PID=""
PROGRAM_PID=""

make_prefix() {
  [ -f "$PREFIX/$READY_MARK" ] && { add_wine_fonts "$PREFIX"; return 0; }
  say "creating the Wine prefix $PREFIX (once)"
  make_wine_prefix "$PREFIX" "$BUILD/run-wineboot.log" || exit 1
  touch "$PREFIX/$READY_MARK"
}

# Ends exactly what this script started: the program (with everything else in
# its own prefix), the window manager and the display.
cleanup() {
  trap - INT TERM EXIT
  [ -n "$PROGRAM_PID" ] && wineserver -k 2>/dev/null || true
  local pid
  for pid in "$OPENBOX_PID" "$XVFB_PID"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  for pid in "$OPENBOX_PID" "$XVFB_PID"; do
    [ -n "$pid" ] && wait "$pid" 2>/dev/null || true
  done
}

if [ -n "${DISPLAY:-}" ]; then
  make_prefix
  say "starting $EXE on $DISPLAY"
  exec wine "$EXE" "$@"
fi

for tool in Xvfb openbox xwininfo import wine wineserver; do
  command -v "$tool" >/dev/null || die "missing $tool (./dev installs it)"
done
trap cleanup INT TERM EXIT

DISPLAY_FILE="$(mktemp)"
start_xvfb "$DISPLAY_FILE" "$BUILD/run-xvfb.log"
wait_for_xvfb "$DISPLAY_FILE" "$BUILD/run-xvfb.log" || exit 1
rm -f "$DISPLAY_FILE"
start_openbox "$BUILD/run-openbox.log"
wait_for_openbox "$BUILD/run-openbox.log" || exit 1

make_prefix
wine "$EXE" "$@" </dev/null >"$BUILD/run-program.log" 2>&1 &
PROGRAM_PID=$!
say "started $EXE on the virtual display $DISPLAY"

settings_window_up() {
  xwininfo -root -tree | grep -q "\"$TITLE\": (" &&
    xwininfo -name "$TITLE" | grep -q "IsViewable"
}
end=$((SECONDS + WINDOW_DEADLINE))
until settings_window_up 2>/dev/null; do
  kill -0 "$PROGRAM_PID" 2>/dev/null || die "the program ended (see $BUILD/run-program.log)"
  [ "$SECONDS" -lt "$end" ] ||
    die "the settings window did not appear within $WINDOW_DEADLINE s (see $BUILD/run-program.log)"
  sleep 0.2
done

# Painted when two screenshots in a row are the same.
previous=""
end=$((SECONDS + SETTLE_DEADLINE))
while [ "$SECONDS" -lt "$end" ]; do
  import -window root "$SHOT"
  current="$(md5sum <"$SHOT")"
  [ "$current" = "$previous" ] && break
  previous="$current"
  sleep 0.3
done
say "screenshot: $SHOT"
say "running on $DISPLAY; press Ctrl+C to stop"
wait "$PROGRAM_PID" || true
