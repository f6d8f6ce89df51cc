#!/usr/bin/env bash
# The end-to-end tests' world under Wine, in three steps that CTest runs as a
# fixture (tests/e2e/ctest.cmake):
#   run-e2e.sh setup                  start Xvfb + openbox, prepare the Wine
#                                     prefixes, keep their wineservers alive,
#                                     write the environment file
#   run-e2e.sh run FILTER [dpi144]    run zavik-e2e.exe with a GoogleTest filter,
#                                     in the 96-DPI prefix or the 144-DPI one
#   run-e2e.sh cleanup                end exactly what setup started
# Environment: ZAVIK_E2E_STATE (state folder, default build/host/e2e),
# ZAVIK_WINDOWS_BUILD_DIR (default build/windows) and ZAVIK_E2E_PROGRAM (the
# program under test, default the Windows build's).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
STATE="${ZAVIK_E2E_STATE:-$ROOT/build/host/e2e}"
WIN_BUILD="${ZAVIK_WINDOWS_BUILD_DIR:-$ROOT/build/windows}"
ENV_FILE="$STATE/env.sh"
PREFIX="$STATE/prefix"
PREFIX_DPI="$STATE/prefix-dpi144"
SCREEN="1920x1080x24"
DPI_HIGH=144
READY_MARK=".zavik-ready"

say() { echo "run-e2e: $*" >&2; }
die() { say "$*"; exit 1; }

# Polls "$@" until it succeeds or the deadline (seconds) passes.
wait_until() {
  local seconds="$1"; shift
  local end=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

wine_env() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# True when pid is alive and its command is the one we recorded (a reused pid
# belongs to someone else and is left alone).
is_our_process() {
  local pid="$1" name="$2"
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "$name"
}

end_process() {
  local pid="$1" name="$2"
  is_our_process "$pid" "$name" || return 0
  kill "$pid" 2>/dev/null || true
  # A zombie (its parent may never reap it) has no command line: gone enough.
  gone() { ! is_our_process "$pid" "$name"; }
  wait_until 5 gone || kill -9 "$pid" 2>/dev/null || true
}

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

write_env() {
  cat >"$ENV_FILE" <<EOF
export DISPLAY="${DISPLAY_NUM:-}"
export ZAVIK_E2E_XVFB_PID="${XVFB_PID:-}"
export ZAVIK_E2E_OPENBOX_PID="${OPENBOX_PID:-}"
export ZAVIK_E2E_PREFIX="$PREFIX"
export ZAVIK_E2E_PREFIX_DPI144="$PREFIX_DPI"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
EOF
}

# Each start is recorded at once, so that cleanup finds it even if a later step fails.
start_display() {
  local display_file="$STATE/display"
  rm -f "$display_file"
  # -displayfd: Xvfb picks a free display itself and writes its number.
  setsid Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp -noreset \
    3>"$display_file" </dev/null >"$STATE/xvfb.log" 2>&1 &
  XVFB_PID=$!
  write_env
  wait_until 15 test -s "$display_file" || die "Xvfb did not start (see $STATE/xvfb.log)"
  DISPLAY_NUM=":$(tr -d '[:space:]' <"$display_file")"
  export DISPLAY="$DISPLAY_NUM"
  setsid openbox --sm-disable </dev/null >"$STATE/openbox.log" 2>&1 &
  OPENBOX_PID=$!
  write_env
  wait_until 15 wm_ready || die "openbox did not start (see $STATE/openbox.log)"
}

reg_add() {
  local prefix="$1"; shift
  WINEPREFIX="$prefix" wine reg add "$@" /f >/dev/null
}

# Creates a prefix once; later runs reuse it (a new one costs about 10 s).
make_prefix() {
  local prefix="$1"
  [ -f "$prefix/$READY_MARK" ] && return 0
  say "creating the Wine prefix $prefix"
  rm -rf "$prefix"
  WINEPREFIX="$prefix" wineboot -i >"$STATE/wineboot.log" 2>&1 ||
    die "wineboot failed (see $STATE/wineboot.log)"
  reg_add "$prefix" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  # Let the server write the registry to disk before the prefix is copied or marked.
  WINEPREFIX="$prefix" wineserver -w
}

make_prefixes() {
  make_prefix "$PREFIX"
  touch "$PREFIX/$READY_MARK"
  if [ ! -f "$PREFIX_DPI/$READY_MARK" ]; then
    rm -rf "$PREFIX_DPI"
    cp -a "$PREFIX" "$PREFIX_DPI"
    rm -f "$PREFIX_DPI/$READY_MARK"
    reg_add "$PREFIX_DPI" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI_HIGH"
    WINEPREFIX="$PREFIX_DPI" wineserver -w
    touch "$PREFIX_DPI/$READY_MARK"
  fi
}

start_wineservers() {
  local p
  for p in "$PREFIX" "$PREFIX_DPI"; do
    # Persistent: a start of the program then costs no server start-up.
    WINEPREFIX="$p" wineserver -p </dev/null >/dev/null 2>&1 || true
    # A first process warms the server up, so the first case does not pay for it.
    WINEPREFIX="$p" wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || die "wine does not run in $p"
  done
}

do_cleanup() {
  [ -f "$ENV_FILE" ] || return 0
  # shellcheck disable=SC1090
  . "$ENV_FILE"
  local p
  for p in "${ZAVIK_E2E_PREFIX:-}" "${ZAVIK_E2E_PREFIX_DPI144:-}"; do
    [ -n "$p" ] && [ -d "$p" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null || true
  done
  end_process "${ZAVIK_E2E_OPENBOX_PID:-}" openbox
  end_process "${ZAVIK_E2E_XVFB_PID:-}" Xvfb
  rm -f "$ENV_FILE"
}

do_setup() {
  local tool
  for tool in Xvfb openbox xprop wine wineserver wineboot; do
    command -v "$tool" >/dev/null || die "missing $tool (./dev installs it)"
  done
  mkdir -p "$STATE"
  do_cleanup  # whatever an interrupted earlier run left behind
  wine_env
  local started=$SECONDS
  start_display
  make_prefixes
  start_wineservers
  say "ready in $((SECONDS - started)) s: display $DISPLAY_NUM, prefixes under $STATE"
}

do_run() {
  local filter="${1:?usage: run-e2e.sh run FILTER [dpi144]}" kind="${2:-}"
  [ -f "$ENV_FILE" ] || die "no $ENV_FILE: the e2e.setup step has not run"
  # shellcheck disable=SC1090
  . "$ENV_FILE"
  is_our_process "$ZAVIK_E2E_XVFB_PID" Xvfb || die "the virtual display of e2e.setup is gone"
  local runner="$WIN_BUILD/tests/e2e/zavik-e2e.exe"
  # ZAVIK_E2E_PROGRAM runs the cases against another copy (the unpacked release).
  local program="${ZAVIK_E2E_PROGRAM:-$WIN_BUILD/ZavikCrosshair.exe}"
  [ -f "$runner" ] || die "missing $runner (build the Windows tree first)"
  [ -f "$program" ] || die "missing $program (build the Windows tree first)"
  local prefix="$ZAVIK_E2E_PREFIX"
  [ "$kind" = dpi144 ] && prefix="$ZAVIK_E2E_PREFIX_DPI144"
  cd "$WIN_BUILD/tests/e2e"
  WINEPREFIX="$prefix" exec wine "$runner" --gtest_filter="$filter" --program="$program"
}

case "${1:-}" in
  setup) do_setup ;;
  run) shift; do_run "$@" ;;
  cleanup) do_cleanup ;;
  *) echo "usage: run-e2e.sh setup | run FILTER [dpi144] | cleanup" >&2; exit 2 ;;
esac
