#!/usr/bin/env bash
# Keeps src/ in layers. Each folder includes only itself and the folders
# before it in the order below (folders of one step never include each
# other), and only the door, src/state/change.cpp, assigns to the current
# crosshair or the options. Prints each fault and exits 1 when there is one.
set -euo pipefail
SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)"

# The layers from the bottom up; names on one line share a step.
LAYERS=(
  "base"
  "crosshair"
  "codes storage"
  "state"
  "overlay"
  "ui"
  "app"
)
DOOR="state/change.cpp"

step_of() {
  local i
  for i in "${!LAYERS[@]}"; do
    case " ${LAYERS[$i]} " in *" $1 "*) echo "$i"; return 0 ;; esac
  done
  echo -1
}

faults=0
say() { echo "layers: $*" >&2; faults=$((faults + 1)); }

cd "$SRC"
for dir in */; do
  dir="${dir%/}"
  [ "$(step_of "$dir")" -ge 0 ] || say "src/$dir has no place in the layer order"
done

# Includes: an included folder must be the file's own or a step below it.
while IFS=: read -r file line target; do
  own="${file%%/*}"
  dir="${target%%/*}"
  [ -d "$dir" ] || continue  # system headers and res/
  [ "$dir" = "$own" ] && continue
  ownStep=$(step_of "$own")
  dirStep=$(step_of "$dir")
  if [ "$dirStep" -ge "$ownStep" ]; then
    say "src/$file:$line includes $target, which is not below $own"
  fi
done < <(grep -nE '^\s*#\s*include\s+"[^"]+"' -r --include='*.h' --include='*.cpp' . |
         sed -E 's#^\./##; s#^([^:]+):([0-9]+):.*"([^"]+)".*#\1:\2:\3#')

# Writers of the records: an assignment, an increment, or the address handed on.
RECORD='g_(crosshair|options)\b'
FIELD='(\s*(\.|\.\*)\s*\(?[A-Za-z_.]+\)?)*'
WRITE="\\b${RECORD}${FIELD}\\s*(([-+*/%&|^]|<<|>>)?=[^=]|\\+\\+|--)|(\\+\\+|--)\\s*\\b${RECORD}|(^|[^&])&\\s*\\b${RECORD}"
writers=$(grep -lE "$WRITE" -r --include='*.h' --include='*.cpp' . | sed 's#^\./##' | sort)
for file in $writers; do
  [ "$file" = "$DOOR" ] && continue
  grep -nE "$WRITE" "$file" | while IFS= read -r hit; do
    echo "layers: src/$file:${hit%%:*} writes a record outside $DOOR" >&2
  done
  faults=$((faults + 1))
done

count=$(printf '%s\n' $writers | grep -c . || true)
echo "layers: $count file(s) write the records; $faults fault(s)"
[ "$faults" -eq 0 ]
