#!/usr/bin/env bash
# Puts the page around the game into the site: the page, its style and script, the icons and
# the app manifest, the three music themes rendered from the game's MIDI files, and last the
# offline worker with the list and version of every file the site then holds.
#   web/assemble.sh BUILD_WEB_DIR SITE_DIR LINUX_GAME_DIR
# The music is rendered with fluidsynth and the General MIDI SoundFont the desktop game plays
# them with, then encoded as Ogg Vorbis; a theme is rendered again only when its MIDI file, the
# SoundFont or the settings below change (kept in BUILD_WEB_DIR/music/).
set -euo pipefail

BUILD_WEB=${1:?usage: assemble.sh BUILD_WEB_DIR SITE_DIR LINUX_GAME_DIR}
SITE=${2:?usage: assemble.sh BUILD_WEB_DIR SITE_DIR LINUX_GAME_DIR}
GAME=${3:?usage: assemble.sh BUILD_WEB_DIR SITE_DIR LINUX_GAME_DIR}
HERE=$(cd "$(dirname "$0")" && pwd)
SOUNDFONT=${TANGREL_SOUNDFONT:-/usr/share/sounds/sf2/TimGM6mb.sf2}
RATE=44100
QUALITY=2  # Vorbis quality 2 (about 96 kbit/s): about 3 MB for the three themes

fail() { echo "assemble.sh: $*" >&2; exit 1; }
[ -d "$GAME" ] || fail "no game folder $GAME"
mkdir -p "$SITE/icons" "$SITE/music" "$BUILD_WEB/music"

# --- the page ----------------------------------------------------------------------------
cp "$HERE/index.html" "$HERE/style.css" "$HERE/page.js" "$HERE/manifest.webmanifest" "$SITE/"

# --- the icons the desktop build draws (build/icons/NxN/apps/tangrel.png) ------------------
ICONS=$(cd "$GAME/.." && pwd)/icons
for n in 16 24 32 48 64 128 256; do
  src="$ICONS/${n}x${n}/apps/tangrel.png"
  [ -f "$src" ] || fail "no icon $src (build the desktop game first: make build)"
  cp "$src" "$SITE/icons/tangrel-$n.png"
done

# --- the music -----------------------------------------------------------------------------
command -v fluidsynth >/dev/null || fail "fluidsynth is missing (scripts/install-deps installs it)"
command -v oggenc >/dev/null || fail "oggenc is missing (scripts/install-deps installs vorbis-tools)"
[ -f "$SOUNDFONT" ] || fail "no SoundFont $SOUNDFONT"
sf_id=$(stat -c '%s %Y' "$SOUNDFONT")
for n in 1 2 3; do
  mid="$GAME/Sounds/theme$n.mid"
  [ -f "$mid" ] || fail "no music $mid"
  out="$BUILD_WEB/music/theme$n.ogg"
  key=$(printf '%s\n' "$(sha256sum <"$mid")" "$SOUNDFONT $sf_id" "rate=$RATE quality=$QUALITY" \
    "$(fluidsynth --version 2>/dev/null | head -1)" "$(oggenc --version 2>/dev/null | head -1)" | sha256sum | cut -c1-64)
  if [ -f "$out" ] && [ "$(cat "$out.key" 2>/dev/null)" = "$key" ]; then
    echo "music: theme$n.ogg is up to date"
  else
    echo "music: rendering theme$n.mid"
    wav="$BUILD_WEB/music/theme$n.wav"
    fluidsynth -ni -q -F "$wav" -r "$RATE" "$SOUNDFONT" "$mid" >/dev/null 2>"$BUILD_WEB/music/theme$n.log" ||
      fail "fluidsynth could not render $mid (see $BUILD_WEB/music/theme$n.log)"
    [ -s "$wav" ] || fail "fluidsynth wrote no sound for $mid"
    oggenc -Q -q "$QUALITY" -o "$out.tmp" "$wav" || fail "oggenc could not encode $wav"
    rm -f "$wav"
    mv "$out.tmp" "$out"
    echo "$key" >"$out.key"
  fi
  cp "$out" "$SITE/music/theme$n.ogg"
done

# --- the offline worker: every file of the site, and a version made from their contents ----
rm -f "$SITE/sw.js"
files=$(cd "$SITE" && find . -type f ! -name '*.gz' ! -name '*.br' | sed 's|^\./||' | LC_ALL=C sort)
version=$(cd "$SITE" && printf '%s\n' "$files" | while read -r f; do printf '%s %s\n' "$(sha256sum <"$f" | cut -c1-64)" "$f"; done |
  sha256sum | cut -c1-16)
list=$(printf '%s\n' "$files" | sed 's/.*/"&"/' | paste -sd, - | sed 's/,/, /g')
sed -e "s|@VERSION@|$version|" -e "s|\[@FILES@\]|[$list]|" "$HERE/sw.js" >"$SITE/sw.js"
grep -q "$version" "$SITE/sw.js" || fail "could not write the worker's version"
echo "site: $(printf '%s\n' "$files" | wc -l) files, version $version, $(du -sk "$SITE" | cut -f1) kB"
