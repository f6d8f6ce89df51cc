#!/usr/bin/env bash
# Packs a stand-in program twice and checks the archive: the same bytes both
# times, the three members in order, LEIAME.txt and LICENSE.txt as Windows
# text with the version filled in.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

printf 'MZ stand-in program' >"$WORK/ZavikCrosshair.exe"
export SOURCE_DATE_EPOCH=1700000000
ZAVIK_DIST_DIR="$WORK/a" "$ROOT/tools/package.sh" "$WORK/ZavikCrosshair.exe" >/dev/null
touch "$WORK/ZavikCrosshair.exe"  # a newer file time must not matter
ZAVIK_DIST_DIR="$WORK/b" "$ROOT/tools/package.sh" "$WORK/ZavikCrosshair.exe" >/dev/null

zip_a="$(ls "$WORK"/a/ZavikCrosshair-*-win64.zip)"
zip_b="$(ls "$WORK"/b/ZavikCrosshair-*-win64.zip)"
cmp -s "$zip_a" "$zip_b" || fail "two runs gave different archives"

members="$(unzip -Z1 "$zip_a" | tr '\n' ' ')"
[ "$members" = "ZavikCrosshair.exe LEIAME.txt LICENSE.txt " ] || fail "members: $members"

mkdir "$WORK/x"
unzip -q "$zip_a" -d "$WORK/x"
cmp -s "$WORK/x/ZavikCrosshair.exe" "$WORK/ZavikCrosshair.exe" || fail "the program changed"
[ "$(head -c 3 "$WORK/x/LEIAME.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
  fail "LEIAME.txt does not start with the UTF-8 byte-order mark"
for f in LEIAME.txt LICENSE.txt; do
  lines=$(wc -l <"$WORK/x/$f")
  crlf=$(grep -c $'\r$' "$WORK/x/$f" || true)
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$f: $crlf of $lines lines end in CRLF"
  grep -q $'\r\r' "$WORK/x/$f" && fail "$f has doubled CRs"
done
version="$(basename "$zip_a" | sed 's/^ZavikCrosshair-\(.*\)-win64\.zip$/\1/')"
head -1 "$WORK/x/LEIAME.txt" | grep -q "Zavik Crosshair $version" || fail "LEIAME.txt lacks the version"
grep -q '@VERSION@' "$WORK/x/LEIAME.txt" && fail "LEIAME.txt has an unfilled placeholder"
echo "archive $(basename "$zip_a") is reproducible and well formed"
