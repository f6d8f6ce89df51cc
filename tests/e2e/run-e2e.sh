#!/usr/bin/env bash
# The end-to-end tests' world under Wine, in three steps that CTest runs as a
# fixture (tests/e2e/ctest.cmake):
#   run-e2e.sh setup                  start Xvfb + openbox, prepare the Wine
#                                     prefixes, keep their wineservers alive,
#                                     write the environment file
#   run-e2e.sh run FILTER [dpi144|desktop]
#                                     run zavik-e2e.exe with a GoogleTest filter,
#                                     in the 96-DPI prefix, the 144-DPI one or the
#                                     one whose screen is a virtual desktop
#   run-e2e.sh cleanup                end exactly what setup started
# Environment: ZAVIK_E2E_STATE (state folder, default build/host/e2e),
# ZAVIK_WINDOWS_BUILD_DIR (default build/windows) and ZAVIK_E2E_PROGRAM (the
# program under test, default the Windows build's).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=wine-common.sh
. "$ROOT/tests/e2e/wine-common.sh"
STATE="${ZAVIK_E2E_STATE:-$ROOT/build/host/e2e}"
WIN_BUILD="${ZAVIK_WINDOWS_BUILD_DIR:-$ROOT/build/windows}"
ENV_FILE="$STATE/env.sh"
PREFIX="$STATE/prefix"
PREFIX_DPI="$STATE/prefix-dpi144"
PREFIX_DESKTOP="$STATE/prefix-desktop"
DPI_HIGH=144
# Under Wine only a virtual desktop lets a program change the resolution.
DESKTOP_SIZE=1920x1080
READY_MARK=".zavik-ready"

say() { echo "run-e2e: $*" >&2; }
die() { say "$*"; exit 1; }


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

write_env() {
  cat >"$ENV_FILE" <<EOF
export DISPLAY="${DISPLAY_NUM:-}"
export ZAVIK_E2E_XVFB_PID="${XVFB_PID:-}"
export ZAVIK_E2E_OPENBOX_PID="${OPENBOX_PID:-}"
export ZAVIK_E2E_PREFIX="$PREFIX"
export ZAVIK_E2E_PREFIX_DPI144="$PREFIX_DPI"
export ZAVIK_E2E_PREFIX_DESKTOP="$PREFIX_DESKTOP"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
EOF
}

# Each start is recorded at once, so that cleanup finds it even if a later step fails.
start_display() {
  start_xvfb "$STATE/display" "$STATE/xvfb.log"
  write_env
  wait_for_xvfb "$STATE/display" "$STATE/xvfb.log" || exit 1
  DISPLAY_NUM="$DISPLAY"
  start_openbox "$STATE/openbox.log"
  write_env
  wait_for_openbox "$STATE/openbox.log" || exit 1
}

# Creates a prefix once; later runs reuse it (a new one costs about 10 s).
make_prefix() {
  local prefix="$1"
  [ -f "$prefix/$READY_MARK" ] && return 0
  say "creating the Wine prefix $prefix"
  make_wine_prefix "$prefix" "$STATE/wineboot.log" || exit 1
}

make_prefixes() {
  local p
  make_prefix "$PREFIX"
  touch "$PREFIX/$READY_MARK"
  if [ ! -f "$PREFIX_DPI/$READY_MARK" ]; then
    rm -rf "$PREFIX_DPI"
    cp -a "$PREFIX" "$PREFIX_DPI"
    rm -f "$PREFIX_DPI/$READY_MARK"
    WINEPREFIX="$PREFIX_DPI" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
      /t REG_DWORD /d "$DPI_HIGH" /f >/dev/null
    WINEPREFIX="$PREFIX_DPI" wineserver -w
    touch "$PREFIX_DPI/$READY_MARK"
  fi
  if [ ! -f "$PREFIX_DESKTOP/$READY_MARK" ]; then
    rm -rf "$PREFIX_DESKTOP"
    cp -a "$PREFIX" "$PREFIX_DESKTOP"
    rm -f "$PREFIX_DESKTOP/$READY_MARK"
    WINEPREFIX="$PREFIX_DESKTOP" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop \
      /t REG_SZ /d Default /f >/dev/null
    WINEPREFIX="$PREFIX_DESKTOP" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
      /t REG_SZ /d "$DESKTOP_SIZE" /f >/dev/null
    WINEPREFIX="$PREFIX_DESKTOP" wineserver -w
    touch "$PREFIX_DESKTOP/$READY_MARK"
  fi
  # Prefixes cached before the font was part of them.
  for p in "$PREFIX" "$PREFIX_DPI" "$PREFIX_DESKTOP"; do add_wine_fonts "$p"; done
}

start_wineservers() {
  local p
  for p in "$PREFIX" "$PREFIX_DPI" "$PREFIX_DESKTOP"; do
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
  for p in "${ZAVIK_E2E_PREFIX:-}" "${ZAVIK_E2E_PREFIX_DPI144:-}" "${ZAVIK_E2E_PREFIX_DESKTOP:-}"; do
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
  wine_quiet_env
  local started=$SECONDS
  start_display
  make_prefixes
  start_wineservers
  say "ready in $((SECONDS - started)) s: display $DISPLAY_NUM, prefixes under $STATE"
}

do_run() {
  local filter="${1:?usage: run-e2e.sh run FILTER [dpi144|desktop]}" kind="${2:-}"
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
  [ "$kind" = desktop ] && prefix="$ZAVIK_E2E_PREFIX_DESKTOP"
  cd "$WIN_BUILD/tests/e2e"
  WINEPREFIX="$prefix" exec wine "$runner" --gtest_filter="$filter" --program="$program"
}

case "${1:-}" in
  setup) do_setup ;;
  run) shift; do_run "$@" ;;
  cleanup) do_cleanup ;;
  *) echo "usage: run-e2e.sh setup | run FILTER [dpi144|desktop] | cleanup" >&2; exit 2 ;;
esac
