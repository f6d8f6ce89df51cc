#!/usr/bin/env bash
# The version is written in res/version.h; the manifest (XML) and the CMake
# project cannot include it, so this keeps them in step with it.
set -euo pipefail
ROOT="${1:?usage: check_versions.sh REPO_ROOT}"
part() { sed -n "s/^#define ZAVIK_VERSION_$1 \([0-9][0-9]*\)\$/\1/p" "$ROOT/res/version.h"; }
four="$(part MAJOR).$(part MINOR).$(part PATCH).$(part BUILD)"
three="$(part MAJOR).$(part MINOR).$(part PATCH)"
manifest="$(grep -o 'name="Zavik.Crosshair" version="[0-9.]*"' "$ROOT/res/ZavikCrosshair.manifest" |
            sed 's/.*version="\([0-9.]*\)"/\1/')"
project="$(sed -n 's/^project(ZavikCrosshair VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
status=0
[ "$manifest" = "$four" ] || { echo "manifest says '$manifest', res/version.h says $four" >&2; status=1; }
[ "$project" = "$three" ] || { echo "CMakeLists.txt says '$project', res/version.h says $three" >&2; status=1; }
[ $status -eq 0 ] && echo "version $four everywhere"
exit $status
