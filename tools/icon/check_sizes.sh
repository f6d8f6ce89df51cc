#!/usr/bin/env bash
# Lists the images of an .ico with ImageMagick and fails unless they are PNG
# images of exactly 16, 24, 32, 48, 64, 128 and 256 pixels, in that order.
set -euo pipefail
ico="${1:?usage: check_sizes.sh FILE.ico}"
expected="PNG 16x16
PNG 24x24
PNG 32x32
PNG 48x48
PNG 64x64
PNG 128x128
PNG 256x256"
actual="$(identify -format '%m %wx%h\n' "$ico")"
if [ "$actual" != "$expected" ]; then
  echo "unexpected images in $ico:" >&2
  echo "$actual" >&2
  exit 1
fi
echo "$ico: $(echo "$actual" | wc -l) PNG images"
