#!/usr/bin/env bash
# Makes the release archive dist/ZavikCrosshair-<version>-win64.zip from the
# Windows build: the program, LEIAME.txt and the licence, both as Windows text
# (CRLF; LEIAME.txt UTF-8 with a byte-order mark so Notepad shows its accents).
# The archive is reproducible: fixed member order, modes and timestamps.
#
#   tools/package.sh [path/to/ZavikCrosshair.exe]    (./dev package runs it)
#   ZAVIK_DIST_DIR=DIR puts the archive into DIR instead of dist/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
EXE="${1:-$ROOT/build/windows/ZavikCrosshair.exe}"
DIST="${ZAVIK_DIST_DIR:-$ROOT/dist}"

if [ ! -f "$EXE" ]; then
  echo "package: $EXE does not exist; build it first (./dev build)" >&2
  exit 1
fi

# The version is written once, in res/version.h.
version_part() {
  sed -n "s/^#define ZAVIK_VERSION_$1 \([0-9][0-9]*\)\$/\1/p" "$ROOT/res/version.h"
}
VERSION="$(version_part MAJOR).$(version_part MINOR).$(version_part PATCH)"
case "$VERSION" in
  *[0-9].*[0-9].*[0-9]) ;;
  *) echo "package: cannot read the version from res/version.h" >&2; exit 1 ;;
esac
ZIP="$DIST/ZavikCrosshair-$VERSION-win64.zip"

# Member timestamps: SOURCE_DATE_EPOCH when given, else the last commit's time.
STAMP="${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 315532800)}"

STAGE="$(mktemp -d)"
trap 'rm -rf "$STAGE"' EXIT
cp "$EXE" "$STAGE/ZavikCrosshair.exe"
{
  printf '\xEF\xBB\xBF'
  sed -e "s/@VERSION@/$VERSION/g" -e 's/\r$//' -e 's/$/\r/' "$ROOT/tools/package/LEIAME.txt"
} >"$STAGE/LEIAME.txt"
sed -e 's/\r$//' -e 's/$/\r/' "$ROOT/LICENSE" >"$STAGE/LICENSE.txt"

MEMBERS=(ZavikCrosshair.exe LEIAME.txt LICENSE.txt)
for m in "${MEMBERS[@]}"; do
  chmod 644 "$STAGE/$m"
  touch -d "@$STAMP" "$STAGE/$m"
done

mkdir -p "$DIST"
rm -f "$ZIP"
# -X: no extra attributes (owner, extended times); TZ=UTC: zip stores local
# time, so the same stamp gives the same bytes on every machine.
(cd "$STAGE" && TZ=UTC zip -X -D -q -9 "$ZIP" "${MEMBERS[@]}")

echo "package: $ZIP ($(( ($(stat -c %s "$ZIP") + 1023) / 1024 )) KiB)"
sha256sum "$ZIP" | awk '{ print "sha256: " $1 }'
