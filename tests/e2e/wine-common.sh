# Shell pieces shared by the scripts that run the program under Wine on a
# virtual display (run-e2e.sh, run-program.sh). Sourced, not run.

# Quiet Wine, and no offer to install Mono or Gecko into a new prefix.
wine_quiet_env() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Polls "$@" until it succeeds or the deadline (seconds) passes.
wait_until() {
  local seconds="$1"; shift
  local end=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

# True once a window manager has announced itself on $DISPLAY.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

# Starts Xvfb on a display it picks itself; its number goes to display_file.
# Sets XVFB_PID at once, so a caller can record it before waiting.
start_xvfb() {
  local display_file="$1" log="$2"
  rm -f "$display_file"
  setsid Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset \
    3>"$display_file" </dev/null >"$log" 2>&1 &
  XVFB_PID=$!
}

# Waits for the display number of start_xvfb and exports DISPLAY.
wait_for_xvfb() {
  local display_file="$1" log="$2"
  wait_until 15 test -s "$display_file" || { echo "Xvfb did not start (see $log)" >&2; return 1; }
  DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
  export DISPLAY
}

# Starts openbox on $DISPLAY; sets OPENBOX_PID at once.
start_openbox() {
  setsid openbox --sm-disable </dev/null >"$1" 2>&1 &
  OPENBOX_PID=$!
}

wait_for_openbox() {
  wait_until 15 wm_ready || { echo "openbox did not start (see $1)" >&2; return 1; }
}

# Debian ships Wine's own Marlett font apart (fonts-wine); without it the arrow
# of a split button is drawn as the letter "6". Copied into a prefix whenever
# it is missing there, so that prefixes made before the package get it too.
WINE_MARLETT=/usr/share/wine/fonts/marlett.ttf
add_wine_fonts() {
  local fonts="$1/drive_c/windows/Fonts"
  [ -f "$fonts/marlett.ttf" ] && return 0
  [ -f "$WINE_MARLETT" ] || { echo "missing $WINE_MARLETT (./dev installs fonts-wine)" >&2; return 0; }
  mkdir -p "$fonts" && cp "$WINE_MARLETT" "$fonts/"
}

# Makes a new Wine prefix whose crashes never wait on a dialog, and lets the
# server write the registry to disk before anyone copies or marks the prefix.
make_wine_prefix() {
  local prefix="$1" log="$2"
  rm -rf "$prefix"
  WINEPREFIX="$prefix" wineboot -i >"$log" 2>&1 || { echo "wineboot failed (see $log)" >&2; return 1; }
  add_wine_fonts "$prefix"
  WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >/dev/null
  WINEPREFIX="$prefix" wineserver -w
}
