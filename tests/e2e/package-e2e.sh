#!/usr/bin/env bash
# The release archive as a user gets it: packs the Windows build, unpacks the
# zip into a fresh folder and runs the first-run cases against the program
# started from there.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
STATE="${ZAVIK_E2E_STATE:-$ROOT/build/host/e2e}"
WIN_BUILD="${ZAVIK_WINDOWS_BUILD_DIR:-$ROOT/build/windows}"
WORK="$STATE/package"

rm -rf "$WORK"
mkdir -p "$WORK/unpacked"
ZAVIK_DIST_DIR="$WORK/dist" "$ROOT/tools/package.sh" "$WIN_BUILD/ZavikCrosshair.exe" >/dev/null
zip="$(ls "$WORK"/dist/ZavikCrosshair-*-win64.zip)"
unzip -q "$zip" -d "$WORK/unpacked"
for member in ZavikCrosshair.exe LEIAME.txt LICENSE.txt; do
  [ -f "$WORK/unpacked/$member" ] || { echo "package-e2e: $member missing from $zip" >&2; exit 1; }
done
echo "package-e2e: running the unpacked $(basename "$zip")"
ZAVIK_E2E_PROGRAM="$WORK/unpacked/ZavikCrosshair.exe" \
  exec "$ROOT/tests/e2e/run-e2e.sh" run "Foundation.FirstRunWritesBothSettingsFiles:Foundation.OverlayShowsTheDefaultCrosshairPixels"
