#!/usr/bin/env bash
# Makes the Debian package from a build, checks it, unpacks it into a scratch root and plays
# the installed launcher in Xvfb: the menu shows, the game closes normally, the progress and
# the options land in the player's XDG folders, and they outlive the package.
#   run_deb.sh BUILD_DIR
set -u
BUILD=$(cd "${1:?usage: run_deb.sh BUILD_DIR}" && pwd)
. "$(dirname "$0")/../e2e/checks.sh"
. "$(dirname "$0")/../e2e/xsession.sh"
x_session_work deb

# --- the package ----------------------------------------------------------------------
DEB="$BUILD/tangrel_2.0.0-1_$(dpkg --print-architecture).deb"
rm -f "$DEB"
(cd "$BUILD" && cpack -G DEB >"$WORK/cpack.out" 2>&1) || { cat "$WORK/cpack.out"; bad "cpack"; finish; }
check "the package is written as $(basename "$DEB")" test -s "$DEB"
[ -s "$DEB" ] || finish
echo "package size: $(stat -c %s "$DEB") bytes"
dpkg-deb --field "$DEB" Package Version Architecture Section Depends Installed-Size

# lintian, once: no errors; the warnings and notes are printed for the record.
lintian --display-level '>=pedantic' "$DEB" >"$WORK/lintian.out" 2>&1
sed 's/^/lintian: /' "$WORK/lintian.out"
check "lintian reports no errors" test "$(grep -c '^E:' "$WORK/lintian.out")" -eq 0

deps=$(dpkg-deb --field "$DEB" Depends)
for d in libsdl2-2.0-0 libfreetype6 libfluidsynth3 timgm6mb-soundfont fonts-liberation; do
  check "depends on $d" grep -q "\\b$d\\b" <<<"$deps"
done
# Removing the package runs nothing of ours: nothing can reach into the players' folders.
dpkg-deb --ctrl-tarfile "$DEB" | tar -t >"$WORK/control.list"
check "no maintainer scripts" bash -c "! grep -Eq 'preinst|postinst|prerm|postrm' '$WORK/control.list'"

ROOT="$WORK/root"
dpkg -x "$DEB" "$ROOT" || { bad "dpkg -x"; finish; }
(cd "$ROOT" && find . \( -type f -o -type l \) | sed 's#^\.##' | sort) >"$WORK/files"
sed 's/^/installed: /' "$WORK/files"
for f in /usr/games/tangrel /usr/lib/games/tangrel/tangrel /usr/lib/games/tangrel/Sounds.spk \
         /usr/share/games/tangrel/Sprites.gpk /usr/share/games/tangrel/Textures.gpk \
         /usr/share/games/tangrel/Sounds.spk /usr/share/games/tangrel/Episode0.dat \
         /usr/share/games/tangrel/Sounds/theme1.mid \
         /usr/share/applications/example.brenmoor_studio.Tangrel.desktop \
         /usr/share/metainfo/example.brenmoor_studio.Tangrel.metainfo.xml \
         /usr/share/man/man6/tangrel.6.gz /usr/share/doc/tangrel/copyright; do
  check "installs $f" test -e "$ROOT$f"
done
# Every icon size, drawn at that size.
for n in 16 24 32 48 64 128 256; do
  png="$ROOT/usr/share/icons/hicolor/${n}x${n}/apps/tangrel.png"
  check "icon ${n}x${n}" test "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${n}x${n}"
done
check "the sounds link beside the program reaches the shared data" \
  cmp -s "$ROOT/usr/lib/games/tangrel/Sounds.spk" "$ROOT/usr/share/games/tangrel/Sounds.spk"
check "the manual page reads" bash -c "zcat '$ROOT/usr/share/man/man6/tangrel.6.gz' | man -l - 2>/dev/null | grep -q 'Alt+Enter'"

appstreamcli validate --no-net "$ROOT/usr/share/metainfo/example.brenmoor_studio.Tangrel.metainfo.xml" \
  >"$WORK/appstream.out" 2>&1
rc=$?
sed 's/^/appstreamcli: /' "$WORK/appstream.out"
check "appstreamcli validate passes" test "$rc" -eq 0
desktop-file-validate "$ROOT/usr/share/applications/example.brenmoor_studio.Tangrel.desktop" >"$WORK/dfv.out" 2>&1
rc=$?
sed 's/^/desktop-file-validate: /' "$WORK/dfv.out"
check "desktop-file-validate passes" test "$rc" -eq 0
check "the desktop entry starts the launcher" \
  grep -qx 'Exec=/usr/games/tangrel' "$ROOT/usr/share/applications/example.brenmoor_studio.Tangrel.desktop"

# --- played from the scratch root --------------------------------------------------------
SCREEN_W=1024 SCREEN_H=768
x_session_start "$SCREEN_W" "$SCREEN_H" 140 || { bad "no X session"; finish; }
export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/data" XDG_CONFIG_HOME="$WORK/home/config"
export SDL_AUDIODRIVER=dummy TANGREL_NO_DIALOGS=1
mkdir -p "$HOME"
USER_DIR="$XDG_DATA_HOME/tangrel"

play() {
  mkdir -p "$WORK/elsewhere"
  (cd "$WORK/elsewhere" && exec "$ROOT/usr/games/tangrel" >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
  await_window 100
}
exit_from_menu() { click_at 135 456; click_at 438 345; }  # Exit, Yes

play
shot
check "the installed launcher reaches the menu" is_warm 300 30 200 50
exit_from_menu
check "Exit, Yes: the game ends by itself" ended_by_itself
check "with status 0" test "${GAME_RC:-1}" -eq 0
check "Users.dat is written in \$XDG_DATA_HOME/tangrel" test "$(stat -c %s "$USER_DIR/Users.dat" 2>/dev/null)" = 5076
check "the options are written in \$XDG_CONFIG_HOME/tangrel" test -s "$XDG_CONFIG_HOME/tangrel/user.reg"
check "the player's folder links to the shared data, copying nothing" \
  test "$(readlink "$USER_DIR/Sprites.gpk")" = "$ROOT/usr/share/games/tangrel/Sprites.gpk"
check "nothing else lands in the player's folder" \
  test "$(cd "$USER_DIR" && find . -type f | sort | tr '\n' ' ')" = "./Users.dat "
check "nothing lands in the folder the launcher was started from" test -z "$(ls -A "$WORK/elsewhere")"

# The player has solved level 5; the package goes away and comes back.
printf '\377\377\377\377' | dd of="$USER_DIR/Users.dat" bs=1 seek=$((24 + 4 * 5)) conv=notrunc status=none
before=$(md5sum <"$USER_DIR/Users.dat")
rm -rf "$ROOT"
check "removing the package leaves the progress" test "$(md5sum <"$USER_DIR/Users.dat")" = "$before"
check "and the options" test -s "$XDG_CONFIG_HOME/tangrel/user.reg"
dpkg -x "$DEB" "$ROOT"
play
shot
check "after a reinstall the game starts again" is_warm 300 30 200 50
exit_from_menu
ended_by_itself
check "level 5 is still solved" test "$(od -An -tx1 -j44 -N4 "$USER_DIR/Users.dat" | tr -d ' ')" = "ffffffff"
finish
