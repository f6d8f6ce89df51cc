#!/usr/bin/env bash
# Wine figures of the Windows build, each as a ratio beside a minimal Win32
# program (tests/e2e/programs/minwin.cpp) measured in the same run:
#   size     the executable's size against its aim
#   startup  from CreateProcess to the overlay window's existence, against
#            minwin creating its one window (median of alternating runs)
#   cpu      the program's own CPU time with the fake game in front, against
#            minwin with an empty 15 ms timer over the same time (median of
#            alternating runs), in two states: while aiming mode samples the
#            mouse every 15 ms, and while esconder_com_cursor asks for the
#            game's cursor on a 75 ms tick; and aiming again with the game's
#            title naming a server, against aiming with a title that names
#            none (the title is read once a second)
# The virtual display, window manager and Wine prefix are started by
# tests/e2e/run-e2e.sh in a state folder of this section's own and ended again.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WIN_BUILD="${ZAVIK_WINDOWS_BUILD_DIR:-$ROOT/build/windows}"
STATE="${ZAVIK_BENCH_WINE_STATE:-$ROOT/build/host/bench-wine}"
E2E="$ROOT/tests/e2e/run-e2e.sh"
EXE="$WIN_BUILD/ZavikCrosshair.exe"
PROGRAMS="$WIN_BUILD/tests/e2e"
RUNS="${ZAVIK_BENCH_WINE_RUNS:-9}"
CPU_SECONDS="${ZAVIK_BENCH_WINE_CPU_SECONDS:-20}"
CPU_RUNS="${ZAVIK_BENCH_WINE_CPU_RUNS:-5}"
SIZE_AIM_KIB=400
STARTUP_AIM=1.3
CPU_AIM=1.3
OVERLAY_CLASS=ZavikCrosshairOverlay
MINWIN_CLASS=ZavikMinimalWindow
GAME_CLASS=grcWindow
GAME_WAIT_SECONDS=15
# Titles as FiveM writes them before and after joining a server (ASCII, so
# that no locale of the shell changes them on the way to Wine).
PLAIN_TITLE="Fake Game"
SERVER_TITLE="FiveM by Cfx.re - Servidor de teste"

say() { echo "20-wine: $*" >&2; }

for f in "$EXE" "$PROGRAMS/probe.exe" "$PROGRAMS/minwin.exe" "$PROGRAMS/fakegame.exe"; do
  [ -f "$f" ] || { say "missing $f (build the Windows tree first)"; exit 1; }
done

# (a) needs no Wine.
size_bytes=$(stat -c %s "$EXE")
echo "size ZavikCrosshair.exe: $(( (size_bytes + 512) / 1024 )) KiB (aim < $SIZE_AIM_KIB KiB)"

export ZAVIK_E2E_STATE="$STATE" ZAVIK_WINDOWS_BUILD_DIR="$WIN_BUILD"
GAME_PID=""
cleanup() {
  trap - EXIT INT TERM
  # The fake game is the one process started here outside the probe.
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  "$E2E" cleanup
}
trap cleanup EXIT INT TERM
"$E2E" setup || { say "the Wine world did not start"; exit 1; }
# shellcheck disable=SC1091
. "$STATE/env.sh"
export WINEPREFIX="$ZAVIK_E2E_PREFIX"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
probe() { wine "$PROGRAMS/probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

# The program's settings: a later run (no settings window at a tray start),
# with so_mirando and esconder_com_cursor as given. Aiming mode on makes the
# tick run every 15 ms with the game in front; the cursor option every 75 ms.
settings="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Zavik Crosshair"
mkdir -p "$settings"
utf16() { { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; }; }
write_config() {
  printf '[Opcoes]\r\nso_com_fivem=1\r\nligada=1\r\nso_mirando=%s\r\natalho_tecla=79\r\natalho_mod=2\r\nmonitor=0\r\nversao_miras=2\r\nesconder_com_cursor=%s\r\n[Mira]\r\ntamanho=-1.500\r\nespacamento=-3.000\r\nespessura=1.000\r\ncontorno=1\r\nespessura_contorno=1.000\r\nponto=0\r\nestilo_t=0\r\ncor_r=255\r\ncor_g=255\r\ncor_b=255\r\nopacidade=255\r\nposicao_x=0\r\nposicao_y=0\r\n' "$1" "$2" |
    utf16 >"$settings/config.ini"
}
write_aiming_config() { write_config 1 0; }
write_cursor_config() { write_config 0 1; }
write_aiming_config
printf '' | utf16 >"$settings/miras.ini"

program="$(windows_path "$EXE")"
minwin="$(windows_path "$PROGRAMS/minwin.exe")"
number() { awk -v key="$1" '$1 == key { print $2 }'; }

# (b) start-up, alternating so that a disturbance hits both alike.
program_ms=() minwin_ms=()
for ((i = 0; i < RUNS; i++)); do
  minwin_ms+=("$(probe startup "$MINWIN_CLASS" "$minwin" | number startup_ms)")
  program_ms+=("$(probe startup "$OVERLAY_CLASS" "$program" --bandeja | number startup_ms)")
done
program_median=$(printf '%s\n' "${program_ms[@]}" | median)
minwin_median=$(printf '%s\n' "${minwin_ms[@]}" | median)
echo "startup ms (median of $RUNS): program $program_median [${program_ms[*]}], minwin $minwin_median [${minwin_ms[*]}]"
echo "ratio startup: $(ratio "$program_median" "$minwin_median") x minwin (aim <= $STARTUP_AIM)"

# (c) CPU with the fake game in front.
# grep reads the whole listing: with -q it would stop early, and pipefail
# would report xwininfo's broken pipe as a failure.
game_up() { xwininfo -root -tree 2>/dev/null | grep "\"$1\"" >/dev/null; }
# The fake game in front with the title given, in place of the one before.
start_game() {
  local i
  if [ -n "$GAME_PID" ]; then
    kill "$GAME_PID" 2>/dev/null; wait "$GAME_PID" 2>/dev/null
  fi
  wine "$PROGRAMS/fakegame.exe" --title "$1" </dev/null >/dev/null 2>&1 &
  GAME_PID=$!
  for ((i = 0; i < GAME_WAIT_SECONDS * 10; i++)); do game_up "$1" && return 0; sleep 0.1; done
  say "the fake game did not come up"; exit 1
}
start_game "$PLAIN_TITLE"
# The Wine process of a program of this prefix, found by the Windows path
# Wine puts first on its command line; other prefixes' processes are not ours.
unix_pid_of() {
  local name="$1" p first
  for p in /proc/[0-9]*; do
    { tr '\0' '\n' <"$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
    first="$( { tr '\0' '\n' <"$p/cmdline" | head -n 1; } 2>/dev/null)"
    case "${first,,}" in *"\\${name,,}") echo "${p#/proc/}"; return 0 ;; esac
  done
  return 1
}
# CPU time of a process in milliseconds, all its threads, at nanosecond
# resolution (/proc/PID/stat counts in 10 ms ticks, too coarse for 20 s).
cpu_ms_of() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.1f", ns / 1e6 }'
}
wait_for_line() {
  local file="$1" key="$2" i
  for ((i = 0; i < (CPU_SECONDS + GAME_WAIT_SECONDS) * 10; i++)); do
    grep -q "^$key" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
# Runs the probe's cpu mode on one program and prints its CPU milliseconds over
# the period: GetProcessTimes from the probe, or, where that reads zero (Wine
# does not count other processes' times), the difference of /proc/PID schedstat
# read when the probe says "ready" and when it reports.
measure_cpu() {
  local class="$1" exe="$2" name="$3"; shift 3
  local out pid before after reported
  out="$(mktemp)"
  wine "$PROGRAMS/probe.exe" --front "$GAME_CLASS" cpu "$CPU_SECONDS" "$class" "$exe" "$@" \
    </dev/null >"$out" 2>/dev/null &
  local probe_pid=$!
  if wait_for_line "$out" ready && pid="$(unix_pid_of "$name")"; then
    [ -n "${ZAVIK_BENCH_DEBUG:-}" ] && say "$name is unix process $pid: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
    before="$(cpu_ms_of "$pid")"
    wait_for_line "$out" cpu_ms && after="$(cpu_ms_of "$pid" 2>/dev/null)"
  fi
  wait "$probe_pid"
  reported="$(tr -d '\r' <"$out" | number cpu_ms)"
  rm -f "$out"
  if awk -v v="${reported:-0}" 'BEGIN { exit !(v > 0) }'; then
    echo "$reported"
  elif [ -n "${before:-}" ] && [ -n "${after:-}" ]; then
    awk -v a="$before" -v b="$after" 'BEGIN { printf "%.1f", b - a }'
  fi
}
# Alternating, like the start-up runs, so that the other work on a shared
# machine weighs on all alike; a run that measured nothing is left out.
program_cpus=() cursor_cpus=() minwin_cpus=() server_cpus=()
for ((i = 0; i < CPU_RUNS; i++)); do
  write_aiming_config
  v=$(measure_cpu "$OVERLAY_CLASS" "$program" ZavikCrosshair.exe --bandeja)
  [ -n "$v" ] && program_cpus+=("$v")
  start_game "$SERVER_TITLE"
  v=$(measure_cpu "$OVERLAY_CLASS" "$program" ZavikCrosshair.exe --bandeja)
  [ -n "$v" ] && server_cpus+=("$v")
  start_game "$PLAIN_TITLE"
  v=$(measure_cpu "$MINWIN_CLASS" "$minwin" minwin.exe)
  [ -n "$v" ] && minwin_cpus+=("$v")
  write_cursor_config
  v=$(measure_cpu "$OVERLAY_CLASS" "$program" ZavikCrosshair.exe --bandeja)
  [ -n "$v" ] && cursor_cpus+=("$v")
done
program_cpu=$(printf '%s\n' "${program_cpus[@]}" | median)
cursor_cpu=$(printf '%s\n' "${cursor_cpus[@]}" | median)
minwin_cpu=$(printf '%s\n' "${minwin_cpus[@]}" | median)
server_cpu=$(printf '%s\n' "${server_cpus[@]}" | median)
echo "cpu ms over $CPU_SECONDS s (median of $CPU_RUNS): program aiming ${program_cpu:-n/a} [${program_cpus[*]}], program with the cursor option ${cursor_cpu:-n/a} [${cursor_cpus[*]}], minwin timer ${minwin_cpu:-n/a} [${minwin_cpus[*]}]"
echo "ratio cpu aiming: $(ratio "${program_cpu:-0}" "${minwin_cpu:-0}") x minwin timer (aim <= $CPU_AIM)"
echo "ratio cpu cursor option: $(ratio "${cursor_cpu:-0}" "${minwin_cpu:-0}") x minwin timer (aim <= $CPU_AIM)"
echo "cpu ms aiming with a server known (median of $CPU_RUNS): ${server_cpu:-n/a} [${server_cpus[*]}]"
echo "ratio cpu server known: $(ratio "${server_cpu:-0}" "${program_cpu:-0}") x aiming with no server (the title's read)"
