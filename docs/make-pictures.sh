#!/usr/bin/env bash
# Draws docs/pictures/builtin-0.png ... builtin-3.png for the README: the four
# built-in crosshairs as the overlay shows them on a 1080-line screen, the
# middle 20 x 20 pixels magnified 8 times over the preview's checkerboard.
# Needs the host build's zavik-tool (./dev build) and ImageMagick.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TOOL="${ZAVIK_TOOL:-$ROOT/build/host/zavik-tool}"
OUT="$ROOT/docs/pictures"
HEIGHT=1080
RENDER=320   # zavik-tool renders the overlay's 320 x 320 buffer
CROP=20
ZOOM=8
CELL=32      # checkerboard cell in output pixels (4 screen pixels)
DARK='rgb(58,66,62)'
LIGHT='rgb(92,104,98)'

if [ ! -x "$TOOL" ]; then
  echo "make-pictures: $TOOL not found; build it first (./dev build)" >&2
  exit 1
fi
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# The four built-in rows in the settings file's own form (UTF-16LE with a
# byte-order mark, CRLF), one section each.
{
  printf '\xFF\xFE'
  sed 's/$/\r/' <<'INI' | iconv -f UTF-8 -t UTF-16LE
[builtin0]
tamanho=-1.500
espacamento=-3.000
espessura=1.000
contorno=1
espessura_contorno=1.000
ponto=0
estilo_t=0
cor_r=255
cor_g=255
cor_b=255
opacidade=255
posicao_x=0
posicao_y=0
[builtin1]
tamanho=0.000
espacamento=0.000
espessura=1.000
contorno=0
espessura_contorno=0.000
ponto=1
estilo_t=0
cor_r=255
cor_g=255
cor_b=255
opacidade=255
posicao_x=0
posicao_y=0
[builtin2]
tamanho=1.000
espacamento=-4.000
espessura=1.000
contorno=0
espessura_contorno=0.000
ponto=0
estilo_t=0
cor_r=255
cor_g=255
cor_b=255
opacidade=255
posicao_x=0
posicao_y=0
[builtin3]
tamanho=-1.500
espacamento=-5.000
espessura=1.000
contorno=0
espessura_contorno=0.000
ponto=0
estilo_t=0
cor_r=255
cor_g=255
cor_b=255
opacidade=255
posicao_x=0
posicao_y=0
INI
} >"$WORK/builtins.ini"

SIDE=$((CROP * ZOOM))
OFFSET=$(((RENDER - CROP) / 2))
convert -size 2x2 "xc:$DARK" -fill "$LIGHT" -draw 'point 1,0 point 0,1' \
        -filter point -resize "$((CELL * 2))x$((CELL * 2))" "$WORK/tile.png"
convert -size "${SIDE}x${SIDE}" "tile:$WORK/tile.png" "$WORK/board.png"

mkdir -p "$OUT"
for i in 0 1 2 3; do
  "$TOOL" render --height "$HEIGHT" --ini "$WORK/builtins.ini" --section "builtin$i" \
          --out "$WORK/render-$i.png"
  convert "$WORK/render-$i.png" -crop "${CROP}x${CROP}+${OFFSET}+${OFFSET}" +repage \
          -filter point -resize "$((ZOOM * 100))%" "$WORK/zoom-$i.png"
  # -strip and no date chunks: the same crosshair gives the same file.
  convert "$WORK/board.png" "$WORK/zoom-$i.png" -compose over -composite -strip \
          -define png:exclude-chunks=date,time "$OUT/builtin-$i.png"
  echo "make-pictures: $OUT/builtin-$i.png"
done
