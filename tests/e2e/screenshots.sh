#!/usr/bin/env bash
# Pictures for the documentation ("./dev screenshots" runs this after building):
# the settings window on each of its four tabs at 96 and 144 DPI and the
# crosshair over a fake game, saved as PNG files in docs/screenshots/.
# Uses a virtual display and Wine prefixes of its own (run-e2e.sh's set-up in
# a separate state folder), drives the program with the disabled GoogleTest
# suite DISABLED_Screenshots, and crops the screens with ImageMagick.
# Environment: ZAVIK_WINDOWS_BUILD_DIR (default build/windows),
# ZAVIK_SHOTS_STATE (default build/screenshots).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
RUN="$ROOT/tests/e2e/run-e2e.sh"
OUT="$ROOT/docs/screenshots"
export ZAVIK_WINDOWS_BUILD_DIR="${ZAVIK_WINDOWS_BUILD_DIR:-$ROOT/build/windows}"
export ZAVIK_E2E_STATE="${ZAVIK_SHOTS_STATE:-$ROOT/build/screenshots}"
RAW="$ZAVIK_E2E_STATE/raw"
DRIVER='DISABLED_Screenshots.*'
DRIVER_HIGH_DPI='DISABLED_Screenshots.SettingsTabs:DISABLED_Screenshots.ImageTab'

say() { echo "screenshots: $*" >&2; }

command -v convert >/dev/null || { say "missing ImageMagick's convert (./dev installs it)"; exit 1; }

# Whatever happens, end the display and the wineservers that the set-up started.
trap '"$RUN" cleanup' EXIT
"$RUN" setup

mkdir -p "$RAW" "$OUT"
rm -f "$RAW"/*.ppm "$RAW"/crops.txt
# The driver is a disabled suite: only this flag lets it run.
export GTEST_ALSO_RUN_DISABLED_TESTS=1
export ZAVIK_SHOTS="$RAW"
"$RUN" run "$DRIVER"
"$RUN" run "$DRIVER_HIGH_DPI" dpi144

count=0
while read -r name geometry scale; do
  convert "$RAW/$name.ppm" -crop "$geometry" +repage -scale "$scale" "$OUT/$name.png"
  say "$OUT/$name.png"
  count=$((count + 1))
done <"$RAW/crops.txt"
rm -f "$RAW"/*.ppm
say "$count pictures in $OUT"
