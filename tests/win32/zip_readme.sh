#!/usr/bin/env bash
# The Windows zip carries the player's notes: Tangrel-2.0/README.txt, with Windows line
# endings throughout, naming the controls, the registry key of the options, the progress file
# and how to remove the game.
#   zip_readme.sh ZIP
set -u
ZIP=$1
fail() { echo "FAILED: $*"; exit 1; }
[ -f "$ZIP" ] || fail "no zip at $ZIP"
unzip -l "$ZIP" Tangrel-2.0/README.txt >/dev/null 2>&1 || fail "the zip holds no Tangrel-2.0/README.txt"
# Every line feed follows a carriage return, and the last line ends with one.
bare=$(unzip -p "$ZIP" Tangrel-2.0/README.txt | tr -d '\r' | wc -l)
lines=$(unzip -p "$ZIP" Tangrel-2.0/README.txt | grep -c $'\r$')
[ "$bare" -gt 10 ] || fail "README.txt has only $bare lines"
[ "$lines" = "$bare" ] || fail "README.txt: $((bare - lines)) of $bare lines end without CR LF"
[ "$(unzip -p "$ZIP" Tangrel-2.0/README.txt | tail -c 2 | od -An -tx1 | tr -d ' ')" = 0d0a ] \
  || fail "README.txt does not end with CR LF"
body=$(unzip -p "$ZIP" Tangrel-2.0/README.txt | tr -d '\r')
for want in 'HKEY_CURRENT_USER\Software\Brenmoor Studio\Tangrel' 'Users.dat' 'tangrel.exe' \
            'Alt+Enter' 'F1' 'Backspace' 'Removing the game'; do
  grep -qF -- "$want" <<<"$body" || fail "README.txt does not mention $want"
done
echo "README.txt: $bare lines, all CR LF"
