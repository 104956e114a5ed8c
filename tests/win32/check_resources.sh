#!/usr/bin/env bash
# Reads tangrel.exe's resources back with icoutils: the icon at every size (256 px as PNG),
# the version strings and the manifest.
#   check_resources.sh EXE [SHOT_DIR]  (SHOT_DIR: where the 256 px image is left as icon-256.png)
set -u
EXE=${1:?usage: check_resources.sh EXE [SHOT_DIR]}
SHOTS=${2:-}
. "$(dirname "$0")/../e2e/checks.sh"
WORK=$(mktemp -d /tmp/tangrel-resources.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

# --- the icon: group icon 1 as an .ico ---------------------------------------------------
wrestool -x --type=14 --name=1 "$EXE" >"$WORK/icon.ico" 2>/dev/null
check "the exe holds icon group 1" test -s "$WORK/icon.ico"
LIST=$(icotool -l "$WORK/icon.ico" 2>&1)
echo "$LIST"
sizes=$(sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/p' <<<"$LIST" | sort -n | tr '\n' ' ')
check "the icon has 16, 24, 32, 48, 64 and 256 px, square (found: $sizes)" \
  test "$sizes" = "16x16 24x24 32x32 48x48 64x64 256x256 "
check "every image has 32 bits per pixel (alpha)" test "$(grep -c -- '--bit-depth=32' <<<"$LIST")" -eq 6
# How each image is stored, from the .ico's own directory: the entry's width byte (0 for 256)
# and where its data starts, which is a PNG signature or a DIB header (40).
le32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
byte() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
kinds=""
count=$(od -An -tu2 -j4 -N2 "$WORK/icon.ico" | tr -d ' ')
for i in $(seq 0 $((count - 1))); do
  w=$(byte "$WORK/icon.ico" $((6 + 16 * i)))
  at=$(le32 "$WORK/icon.ico" $((6 + 16 * i + 12)))
  head=$(od -An -tx1 -j "$at" -N4 "$WORK/icon.ico" | tr -d ' ')
  case $head in 89504e47) kind=png ;; 28000000) kind=dib ;; *) kind="?$head" ;; esac
  kinds="$kinds$((w == 0 ? 256 : w)):$kind "
done
echo "stored as: $kinds"
check "the 256 px image is stored as PNG, the others as DIBs" test "$kinds" = "16:dib 24:dib 32:dib 48:dib 64:dib 256:png "
icotool -x --width=256 --height=256 -o "$WORK" "$WORK/icon.ico" 2>/dev/null
PNG=$(find "$WORK" -name '*256x256*.png' | head -1)
check "the 256 px image decodes as a 256 x 256 picture" test -n "$PNG" -a "$(identify -format %wx%h "$PNG" 2>/dev/null)" = 256x256
# The transparent corner and the drawn middle.
check "its corner is transparent" test "$(convert "$PNG" -format '%[fx:int(255*p{0,0}.a)]' info: 2>/dev/null)" -eq 0
check "its middle is opaque" test "$(convert "$PNG" -format '%[fx:int(255*p{128,128}.a)]' info: 2>/dev/null)" -eq 255
for n in 16 32 48; do
  icotool -x --width=$n --height=$n -o "$WORK" "$WORK/icon.ico" 2>/dev/null
done
small=$(find "$WORK" -name '*16x16*.png' | head -1)
check "the 16 px image decodes, transparent corner, opaque middle" \
  test -n "$small" -a "$(convert "$small" -format '%[fx:int(255*p{0,0}.a)] %[fx:int(255*p{8,8}.a)]' info: 2>/dev/null)" = "0 255"
[ -n "$SHOTS" ] && [ -n "$PNG" ] && cp "$PNG" "$SHOTS/icon-256.png"

# --- the version: the strings of VS_VERSIONINFO, as key and value after each other --------
wrestool -x --raw --type=16 "$EXE" >"$WORK/version.bin" 2>/dev/null
check "the exe holds a version resource" test -s "$WORK/version.bin"
strings -el "$WORK/version.bin" >"$WORK/version.txt"
version_value() { awk -v k="$1" 'found { print; exit } $0 == k { found = 1 }' "$WORK/version.txt"; }
check "ProductName is 'Tangrel 2.0'" test "$(version_value ProductName)" = "Tangrel 2.0"
check "FileVersion is 2.0.0.0" test "$(version_value FileVersion)" = "2.0.0.0"
check "ProductVersion is 2.0.0" test "$(version_value ProductVersion)" = "2.0.0"
check "CompanyName is Brenmoor Studio" test "$(version_value CompanyName)" = "Brenmoor Studio"
# strings stops at the copyright sign: the value's UTF-16 is looked for whole instead.
hex_of() { od -An -tx1 -v | tr -d ' \n'; }
copyright=$(printf 'Copyright \302\251 2026 Brenmoor Studio\0' | iconv -f UTF-8 -t UTF-16LE | hex_of)
check "LegalCopyright is 'Copyright © 2026 Brenmoor Studio'" grep -q "$copyright" <(hex_of <"$WORK/version.bin")
check "FileDescription is there" test -n "$(version_value FileDescription)"
# The fixed part: signature 0xFEEF04BD, then the struct version, then file version 2.0 / 0.0.
fixed=$(od -An -tx1 -v "$WORK/version.bin" | tr -d ' \n' | grep -o 'bd04effe00000100.\{32\}')
check "the fixed file and product versions are 2.0.0.0" test "$fixed" = "bd04effe0000010000000200000000000000020000000000"

# --- the manifest ----------------------------------------------------------------------
wrestool -x --raw --type=24 --name=1 "$EXE" >"$WORK/manifest.xml" 2>/dev/null
check "the exe holds manifest 1" test -s "$WORK/manifest.xml"
check "it declares per-monitor DPI awareness v2" grep -q '>PerMonitorV2' "$WORK/manifest.xml"
check "and the older per-monitor flag as the fallback" grep -q '>true/pm</dpiAware>' "$WORK/manifest.xml"
check "it asks for UTF-8 as the ANSI code page" grep -q '>UTF-8</activeCodePage>' "$WORK/manifest.xml"
check "it names Windows 10 and 11 as supported" grep -q '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' "$WORK/manifest.xml"
check "it runs as the invoker" grep -q 'level="asInvoker"' "$WORK/manifest.xml"
checks_done
