#!/usr/bin/env bash
# Checks the developer tool's command-line interface: tool_test.sh TOOL CASE.
set -euo pipefail
TOOL="$1"
CASE="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

ROW0_LINE='"cl_crosshair_drawoutline" "true"; "cl_crosshair_outlinethickness" "1.000000"; "cl_crosshairalpha" "255"; "cl_crosshaircolor" "5"; "cl_crosshaircolor_r" "255"; "cl_crosshaircolor_g" "255"; "cl_crosshaircolor_b" "255"; "cl_crosshairdot" "false"; "cl_crosshair_t" "false"; "cl_crosshairgap" "-3.000000"; "cl_crosshairsize" "-1.500000"; "cl_crosshairstyle" "4"; "cl_crosshairthickness" "1.000000"'

ROW0_FIELDS='size -1.5
gap -3
thickness 1
outline 1
outlineThickness 1
dot 0
tStyle 0
red 255
green 255
blue 255
alpha 255
offsetX 0
offsetY 0'

# Small PNG files for --image: 2 x 1 RGBA (opaque red, then white at alpha
# 128), a white row of 256 pixels, and a grey row one pixel too wide.
PIXELS_PNG='\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x01\x08\x06\x00\x00\x00\xf4\x22\x7f\x8a\x00\x00\x00\x0f\x49\x44\x41\x54\x78\xda\x63\xf8\xcf\xc0\xf0\x1f\x08\x1a\x00\x16\x73\x05\x7c\x9f\xec\xbd\x95\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82'
ROW256_PNG='\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x01\x00\x00\x00\x00\x01\x08\x00\x00\x00\x00\x14\x32\x2f\xab\x00\x00\x00\x0c\x49\x44\x41\x54\x78\xda\x63\xf8\x3f\xc2\x01\x00\x08\x01\xff\x01\x7e\x92\xec\x21\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82'
WIDE_PNG='\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x01\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00\xfb\xf0\x44\x95\x00\x00\x00\x0c\x49\x44\x41\x54\x78\xda\x63\x60\x18\xe9\x00\x00\x01\x02\x00\x01\x16\xe0\xd5\x2a\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82'

fail() { echo "FAIL: $*" >&2; exit 1; }

expect_same() {  # expect_same WHAT WANT GOT
  [ "$2" = "$3" ] || fail "$1: want [$2] got [$3]"
}

# Pixels equal to opaque white in a raw render (words read in host order).
count_white() { od -An -v -tx4 -w4 "$1" | grep -c ' ffffffff$' || true; }

# Pixels of a raw render equal to one value, and the value at (x, y) of a side x side render.
count_value() { od -An -v -tx4 -w4 "$1" | grep -c " $2\$" || true; }
pixel_at() { od -An -v -tx4 -j $(( ($4 * $2 + $3) * 4 )) -N4 "$1" | tr -d ' '; }

# An INI file the way the program writes it: UTF-16LE with its byte-order mark.
write_ini() {  # write_ini FILE TEXT
  { printf '\xff\xfe'; printf '%s' "$2" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$1"
}

expect_exit_2() {  # expect_exit_2 ARGS...
  local rc=0
  "$TOOL" "$@" </dev/null >"$WORK/out" 2>"$WORK/err" || rc=$?
  [ "$rc" -eq 2 ] || fail "zavik-tool $* exited $rc, want 2"
  [ "$(wc -l <"$WORK/err")" -eq 1 ] || fail "zavik-tool $*: want one line on stderr, got: $(cat "$WORK/err")"
}

case "$CASE" in
  render-row0)
    "$TOOL" render --height 1080 >"$WORK/raw"
    expect_same "raw size" 409600 "$(stat -c %s "$WORK/raw")"
    expect_same "white pixels" 12 "$(count_white "$WORK/raw")"
    "$TOOL" render --height 1080 --out "$WORK/file.raw"
    cmp -s "$WORK/raw" "$WORK/file.raw" || fail "--out raw differs from stdout"
    ;;
  render-png)
    "$TOOL" render --height 1080 --out "$WORK/row0.png"
    expect_same "png signature" "89504e470d0a1a0a" "$(od -An -tx1 -N8 "$WORK/row0.png" | tr -d ' \n')"
    if command -v identify >/dev/null; then
      expect_same "png geometry" "320x320" "$(identify -format '%wx%h' "$WORK/row0.png")"
    fi
    ;;
  render-code)
    printf 'cl_crosshairsize 0; cl_crosshairdot 1; cl_crosshair_drawoutline 0\n' >"$WORK/dot.txt"
    "$TOOL" render --height 1080 --code "$WORK/dot.txt" >"$WORK/raw"
    # A 2 x 2 white dot and nothing else.
    expect_same "white pixels" 4 "$(count_white "$WORK/raw")"
    ;;
  export-row0)
    expect_same "export" "$ROW0_LINE" "$("$TOOL" export)"
    ;;
  export-share)
    # The default crosshair at 1080 lines (checked with the share-code libraries' decoders).
    expect_same "share code" "CSauarFS3C7vqvaY6H9HfXOY3ni79rPMWQZ6kFhsLpmcrf" "$("$TOOL" export --format share)"
    expect_same "commands" "$ROW0_LINE" "$("$TOOL" export --format commands)"
    # The code of a text read over the crosshair is one line that, read back,
    # draws that crosshair at its height.
    printf 'cl_crosshairsize 3; cl_crosshairdot 1; cl_crosshair_t 1\n' >"$WORK/t.txt"
    "$TOOL" export --format share --height 768 --code "$WORK/t.txt" >"$WORK/code.txt"
    expect_same "lines" 1 "$(wc -l <"$WORK/code.txt")"
    "$TOOL" render --height 768 --code "$WORK/t.txt" >"$WORK/want.raw"
    "$TOOL" render --height 768 --code "$WORK/code.txt" >"$WORK/got.raw"
    cmp -s "$WORK/want.raw" "$WORK/got.raw" || fail "the code read back draws other pixels"
    ;;
  parse-roundtrip)
    got="$("$TOOL" export | "$TOOL" parse)"
    expect_same "parse of export" "count 12
$ROW0_FIELDS" "$got"
    ;;
  parse-none)
    got="$(printf 'ola' | "$TOOL" parse)"
    expect_same "parse of a word" "count 0
$ROW0_FIELDS" "$got"
    ;;
  parse-share-code)
    # A legacy pixel code quoted in a sentence: style 6 (dot only), outline on,
    # colour (252, 15, 192), gap 4, length 8, thickness 3 at 1080 lines.
    got="$(printf 'Código: "CSGO-MnUCC-89iG7-2cVar-wy7Yn-amCpF".' | "$TOOL" parse)"
    expect_same "parse of a share code" "count 12
size 0
gap -0.0999999046
thickness 1.33333337
outline 1
outlineThickness 1
dot 1
tStyle 0
red 252
green 15
blue 192
alpha 255
offsetX 0
offsetY 0" "$got"
    got="$(printf 'CSGO-GADqf-jjyJ8-cSP2r-smZRo-TO2xK' | "$TOOL" parse)"
    expect_same "parse of a match code" "count 0
$ROW0_FIELDS" "$got"
    ;;
  render-share-code)
    # White, gap 4, length 8, thickness 1, no dot, at 1080 lines: four arms of
    # 8 white pixels each when drawn at that height.
    printf 'CSZynrn4QrrPMiKWGpnzQyuH8Jm5uU4qJQidh2imRuDDEQ\n' >"$WORK/code.txt"
    "$TOOL" render --height 1080 --code "$WORK/code.txt" >"$WORK/raw"
    expect_same "white pixels" 32 "$(count_white "$WORK/raw")"
    ;;
  valorant-code)
    # The worked example of the format in a message: cyan, no outline, inner
    # lines 4 px long, 2 thick, 2 from the centre at 1080 lines, fully opaque.
    got="$(printf 'Minha mira: 0;P;c;5;h;0;0l;4;0o;2;0a;1;0f;0;1b;0. Valeu!' | "$TOOL" parse)"
    expect_same "parse of a VALORANT code" "count 12
size 1.77777779
gap -2.0999999
thickness 0.888888896
outline 0
outlineThickness 1
dot 0
tStyle 0
red 0
green 255
blue 255
alpha 255
offsetX 0
offsetY 0" "$got"
    # White arms 1 px thick and 4 long: 16 white pixels at 1080 lines.
    printf '"0;P;h;0;0l;4;0o;2;0t;1;0a;1;1b;0"\n' >"$WORK/code.txt"
    "$TOOL" render --height 1080 --code "$WORK/code.txt" >"$WORK/raw"
    expect_same "white pixels" 16 "$(count_white "$WORK/raw")"
    ;;
  ini-section)
    write_ini "$WORK/miras.ini" '[Outra]
tamanho=9.000
[Verde]
tamanho=2.500
cor_r=50
cor_g=250
cor_b=50
posicao_x=7'
    got="$("$TOOL" export --ini "$WORK/miras.ini" --section Verde)"
    case "$got" in
      *'"cl_crosshairsize" "2.500000"'*'"cl_crosshairthickness"'*) ;;
      *) fail "section size not exported: $got" ;;
    esac
    case "$got" in
      *'"cl_crosshaircolor_r" "50"; "cl_crosshaircolor_g" "250"; "cl_crosshaircolor_b" "50"'*) ;;
      *) fail "section colour not exported: $got" ;;
    esac
    got="$(printf 'cl_crosshairgap 1' | "$TOOL" parse --ini "$WORK/miras.ini" --section Verde)"
    printf '%s\n' "$got" | grep -qx 'count 1' || fail "parse count: $got"
    printf '%s\n' "$got" | grep -qx 'size 2.5' || fail "parse keeps the section size: $got"
    printf '%s\n' "$got" | grep -qx 'gap 1' || fail "parse gap: $got"
    printf '%s\n' "$got" | grep -qx 'offsetX 7' || fail "parse offset: $got"
    ;;
  render-image)
    printf "$PIXELS_PNG" >"$WORK/px.png"
    # At 1080 lines the image is drawn as it is, its pixel (1, 0) on the centre.
    "$TOOL" render --height 1080 --image "$WORK/px.png" >"$WORK/raw"
    expect_same "raw size" 409600 "$(stat -c %s "$WORK/raw")"
    expect_same "centre" 80808080 "$(pixel_at "$WORK/raw" 320 160 160)"
    expect_same "left of the centre" ffff0000 "$(pixel_at "$WORK/raw" 320 159 160)"
    expect_same "clear pixels" 102398 "$(count_value "$WORK/raw" 00000000)"
    # 2160 lines at 400 %: blocks of 8 around the same centre.
    "$TOOL" render --height 2160 --image "$WORK/px.png" --image-scale 400 >"$WORK/raw"
    expect_same "red pixels" 64 "$(count_value "$WORK/raw" ffff0000)"
    expect_same "centre" 80808080 "$(pixel_at "$WORK/raw" 320 160 160)"
    expect_same "left of the centre" ffff0000 "$(pixel_at "$WORK/raw" 320 159 160)"
    # The crosshair's opacity multiplies every channel.
    printf 'cl_crosshairalpha 51\n' >"$WORK/alpha.txt"
    "$TOOL" render --height 1080 --image "$WORK/px.png" --code "$WORK/alpha.txt" >"$WORK/raw"
    expect_same "centre at opacity 51" 1a1a1a1a "$(pixel_at "$WORK/raw" 320 160 160)"
    # A row of 256 at 8 x is held to 4 x, 1024 wide, and the canvas grows to 1024.
    printf "$ROW256_PNG" >"$WORK/row.png"
    "$TOOL" render --height 2160 --image "$WORK/row.png" --image-scale 400 >"$WORK/raw"
    expect_same "grown raw size" 4194304 "$(stat -c %s "$WORK/raw")"
    expect_same "white pixels" 4096 "$(count_white "$WORK/raw")"
    expect_same "grown centre" ffffffff "$(pixel_at "$WORK/raw" 1024 512 512)"
    "$TOOL" render --height 2160 --image "$WORK/row.png" --image-scale 400 --out "$WORK/row-out.png"
    if command -v identify >/dev/null; then
      expect_same "png geometry" "1024x1024" "$(identify -format '%wx%h' "$WORK/row-out.png")"
    fi
    ;;
  bad-arguments)
    printf 'x' >"$WORK/code.txt"
    printf "$WIDE_PNG" >"$WORK/wide.png"
    expect_exit_2
    expect_exit_2 paint
    expect_exit_2 render
    expect_exit_2 render --height
    expect_exit_2 render --height 0
    expect_exit_2 render --height -5
    expect_exit_2 render --height 12px
    expect_exit_2 render --height 1080 --bogus 1
    expect_exit_2 render --height 1080 --ini "$WORK/missing.ini"
    expect_exit_2 render --height 1080 --code "$WORK/missing.txt"
    expect_exit_2 render --height 1080 --section Mira
    expect_exit_2 render --height 1080 --code "$WORK/code.txt" --out "$WORK/no/such/dir.png"
    expect_exit_2 render --height 1080 --image-scale 100
    expect_exit_2 render --height 1080 --image "$WORK/code.txt" --image-scale 5
    expect_exit_2 render --height 1080 --image "$WORK/missing.png"
    expect_exit_2 render --height 1080 --image "$WORK/code.txt"
    expect_exit_2 render --height 1080 --image "$WORK/wide.png"
    expect_exit_2 parse --height 1080
    expect_exit_2 parse --ini "$WORK/missing.ini"
    expect_exit_2 export --code "$WORK/missing.txt"
    expect_exit_2 export --format png
    expect_exit_2 export --height 1080
    expect_exit_2 export --format share --height 65536
    expect_exit_2 export --ini
    ;;
  *)
    fail "unknown case $CASE"
    ;;
esac
echo "ok $CASE"
