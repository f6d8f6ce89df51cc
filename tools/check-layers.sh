#!/usr/bin/env bash
# Keeps src/ in layers. Each folder includes only itself and the folders of
# the steps before it in tools/layers.txt, in any spelling: quotes or angle
# brackets, a path from the folder, a relative "../" path or one through the
# root. The build holds each folder to the same with an include root of its
# own (cmake/layers.cmake), and only src/state/change.cpp can write the
# current crosshair and the options, since every other file sees them const.
# Prints each fault and exits 1 when there is one.
#   check-layers.sh              the check of src/
#   check-layers.sh --self-check the check and the compiler, shown to refuse
#                                planted breaches in a copy of the tree
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mapfile -t LAYERS < <(grep -E '^[a-z]' "$TOP/tools/layers.txt")

step_of() {
  local i
  for i in "${!LAYERS[@]}"; do
    case " ${LAYERS[$i]} " in *" $1 "*) echo "$i"; return 0 ;; esac
  done
  echo -1
}

# check_tree SRC: every fault of the tree at SRC on stderr; the count on stdout.
check_tree() {
  local src="$1" faults=0 dir file line target path own dirStep
  cd "$src"
  for dir in */; do
    dir="${dir%/}"
    if [ "$(step_of "$dir")" -lt 0 ]; then
      echo "layers: src/$dir has no place in tools/layers.txt" >&2; faults=$((faults + 1))
    fi
  done
  while IFS=: read -r file line target; do
    own="${file%%/*}"
    case "$target" in
      src/*) echo "layers: src/$file:$line includes $target through the root" >&2
             faults=$((faults + 1)); continue ;;
      ./*|../*) path="$(realpath -m --relative-to="$src" "$src/$(dirname "$file")/$target")" ;;
      *) path="$target" ;;
    esac
    case "$path" in
      ../*) echo "layers: src/$file:$line includes $target, outside src/" >&2
            faults=$((faults + 1)); continue ;;
    esac
    dir="${path%%/*}"
    [ "$dir" != "$path" ] && [ -d "$dir" ] || continue  # system headers and res/
    [ "$dir" = "$own" ] && continue
    dirStep=$(step_of "$dir")
    if [ "$dirStep" -ge "$(step_of "$own")" ]; then
      echo "layers: src/$file:$line includes $target, which is not below $own" >&2
      faults=$((faults + 1))
    fi
  done < <(grep -nE '^\s*#\s*include\s*["<][^">]+[">]' -r --include='*.h' --include='*.cpp' . |
           sed -E 's#^\./##; s#^([^:]+):([0-9]+):[^"<]*["<]([^">]+)[">].*#\1:\2:\3#')
  # The records are const outside the door; a cast would undo that.
  while IFS= read -r hit; do
    echo "layers: src/$hit casts a record's const away" >&2; faults=$((faults + 1))
  done < <(grep -nE 'const_cast\s*<[^>]*>\s*\(\s*g_(crosshair|options)\b|\(\s*(CrosshairSettings|AppOptions)\s*[&*]\s*\)\s*&?\s*g_(crosshair|options)\b' \
             -r --include='*.h' --include='*.cpp' . | sed 's#^\./##' || true)
  echo "$faults"
}

# make_root TOP FOLDER ROOT: the include root the build gives FOLDER.
make_root() {
  local top="$1" folder="$2" root="$3" i name
  mkdir -p "$root"
  ln -sfn "$top/res" "$root/res"
  for i in "${!LAYERS[@]}"; do
    for name in ${LAYERS[$i]}; do
      if [ "$i" -lt "$(step_of "$folder")" ] || [ "$name" = "$folder" ]; then
        ln -sfn "$top/src/$name" "$root/$name"
      fi
    done
  done
}

# compiles TOP FILE: whether FILE (under TOP/src) compiles with its folder's root.
compiles() {
  local top="$1" file="$2" folder root
  folder="${file#"$top/src/"}"; folder="${folder%%/*}"
  root="$(mktemp -d)"
  make_root "$top" "$folder" "$root"
  local ok=0
  g++ -std=c++17 -fsyntax-only -I"$root" "$file" 2>/dev/null || ok=1
  rm -rf "$root"
  return "$ok"
}

# The four breaches a reader once planted unseen, each in a file of a folder
# below ui/ that reads the records, and each to be refused.
self_check() {
  local victim="src/overlay/worn_image.cpp" scratch faults=0 i
  local breaches=(
    '#include <ui/sliders.h>'
    '#include "../ui/preview.h"'
    'void PlantedBreach() { AppOptions& o = g_options; o.enabled = 0; }'
    'void PlantedBreach() { g_crosshair.image[0] = 0; }'
  )
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' RETURN
  cp -r "$TOP/src" "$TOP/res" "$scratch/"
  mkdir -p "$scratch/tools" && cp "$TOP/tools/layers.txt" "$scratch/tools/"
  if ! compiles "$scratch" "$scratch/$victim"; then
    echo "layers: self-check: $victim does not compile untouched" >&2; return 1
  fi
  for i in "${!breaches[@]}"; do
    cp "$TOP/$victim" "$scratch/$victim"
    printf '%s\n' "${breaches[$i]}" >>"$scratch/$victim"
    local found
    found=$( (check_tree "$scratch/src") 2>/dev/null)
    if [ "$found" -eq 0 ] && compiles "$scratch" "$scratch/$victim"; then
      echo "layers: self-check: nothing refused: ${breaches[$i]}" >&2
      faults=$((faults + 1))
    fi
  done
  echo "layers: self-check: ${#breaches[@]} planted breaches, $faults not refused"
  [ "$faults" -eq 0 ]
}

faults=$(check_tree "$TOP/src")
echo "layers: $faults fault(s)"
[ "$faults" -eq 0 ]
if [ "${1:-}" = "--self-check" ]; then self_check; fi
