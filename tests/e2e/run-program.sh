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
EXE="${1:?usage: run-program.sh EXE [arguments...]}"
shift
BUILD="$ROOT/build"
PREFIX="$BUILD/run-prefix"
SHOT="$BUILD/run-screenshot.png"
SCREEN="1920x1080x24"
TITLE="Zavik Crosshair"
READY_MARK=".zavik-ready"
WINDOW_DEADLINE=60   # seconds for the settings window to appear
SETTLE_DEADLINE=10   # seconds for the screen to stop changing

export WINEPREFIX="$PREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

say() { echo "run-program: $*" >&2; }
die() { say "$*"; exit 1; }

wait_until() {
  local seconds="$1"; shift
  local end=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

[ -f "$EXE" ] || die "no program at $EXE"
mkdir -p "$BUILD"

XVFB_PID=""
OPENBOX_PID=""
PROGRAM_PID=""

make_prefix() {
  [ -f "$PREFIX/$READY_MARK" ] && return 0
  say "creating the Wine prefix $PREFIX (once)"
  rm -rf "$PREFIX"
  wineboot -i >"$BUILD/run-wineboot.log" 2>&1 || die "wineboot failed (see $BUILD/run-wineboot.log)"
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
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
Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp 3>"$DISPLAY_FILE" </dev/null \
  >"$BUILD/run-xvfb.log" 2>&1 &
XVFB_PID=$!
wait_until 15 test -s "$DISPLAY_FILE" || die "Xvfb did not start (see $BUILD/run-xvfb.log)"
export DISPLAY=":$(tr -d '[:space:]' <"$DISPLAY_FILE")"
rm -f "$DISPLAY_FILE"
openbox --sm-disable </dev/null >"$BUILD/run-openbox.log" 2>&1 &
OPENBOX_PID=$!
wait_until 15 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  die "openbox did not start"

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
