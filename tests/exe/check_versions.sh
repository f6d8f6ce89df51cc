#!/usr/bin/env bash
# The version is written in res/version.h; the manifest (XML), the CMake
# project and README cannot include it, so this keeps them in step with it,
# and keeps the program's sources from writing a version of their own (the
# settings window's subtitle takes it from res/version.h).
set -euo pipefail
ROOT="${1:?usage: check_versions.sh REPO_ROOT}"
part() { sed -n "s/^#define ZAVIK_VERSION_$1 \([0-9][0-9]*\)\$/\1/p" "$ROOT/res/version.h"; }
four="$(part MAJOR).$(part MINOR).$(part PATCH).$(part BUILD)"
three="$(part MAJOR).$(part MINOR).$(part PATCH)"
manifest="$(grep -o 'name="Zavik.Crosshair" version="[0-9.]*"' "$ROOT/res/ZavikCrosshair.manifest" |
            sed 's/.*version="\([0-9.]*\)"/\1/')"
project="$(sed -n 's/^project(ZavikCrosshair VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
readme="$(grep -o 'ZavikCrosshair-[0-9.]*-win64\.zip' "$ROOT/README.md" | sort -u |
          sed 's/^ZavikCrosshair-\(.*\)-win64\.zip$/\1/' | paste -sd ' ')"
written="$(grep -rnE '\b[vV][0-9]+\.[0-9]+' "$ROOT/src" || true)"
status=0
[ "$manifest" = "$four" ] || { echo "manifest says '$manifest', res/version.h says $four" >&2; status=1; }
[ "$project" = "$three" ] || { echo "CMakeLists.txt says '$project', res/version.h says $three" >&2; status=1; }
[ "$readme" = "$three" ] || { echo "README.md says '$readme', res/version.h says $three" >&2; status=1; }
[ -z "$written" ] || { echo "a version written in the sources, not taken from res/version.h:" >&2
                       echo "$written" >&2; status=1; }
[ $status -eq 0 ] && echo "version $four everywhere"
exit $status
