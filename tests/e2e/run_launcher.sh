#!/usr/bin/env bash
# The installed launcher started as a player would, in Xvfb under a window manager: a fresh
# home, a second start with every link already right (nothing is made again), a read-only
# game folder, a home that cannot be written (the game plays from the fallback folder and the
# player is told on screen), and nothing writable at all (the game still starts).
# Run as root, the player is the user nobody: permissions do not hold back root.
#   run_launcher.sh BUILD_DIR
set -u
BUILD=$(cd "${1:?usage: run_launcher.sh BUILD_DIR}" && pwd)
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xsession.sh"
x_session_work launcher
chmod 755 "$WORK"

cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || { bad "cmake --install"; finish; }
LAUNCHER="$WORK/prefix/games/tangrel"
DATA="$WORK/prefix/share/games/tangrel"
SCREEN_W=1024 SCREEN_H=768
x_session_start "$SCREEN_W" "$SCREEN_H" 150 || exit 2

if [ "$(id -u)" = 0 ]; then
  PLAYER=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
  own() { chown -R 65534:65534 "$@"; }
  PLAYER_NAME=$(id -un 65534)
else
  PLAYER=()
  own() { :; }
  PLAYER_NAME=$(id -un)
fi
# A player's folders: HOME and its settings; TMPDIR under the scratch folder.
new_home() {
  H="$WORK/$1" T="$WORK/$1-tmp"
  mkdir -p "$H/.config/tangrel" "$T"
  # A window of 800 x 600, no sound.
  printf '[\\Software\\Brenmoor Studio\\Tangrel]\n"Sounds"=dword:00000000\n"Music"=dword:00000000\n"Difficulty"=dword:00000001\n"Full"=dword:00000000\n"Tips"=dword:00000000\n"3D"=dword:00000001\n[\\Software\\Brenmoor Studio\\Tangrel\\Window]\n"Width"=dword:00000320\n"Height"=dword:00000258\n' \
    >"$H/.config/tangrel/user.reg"
  own "$H" "$T"
  USER_DIR="$H/.local/share/tangrel"
}
# launch [ENV=VALUE...]: starts the launcher as the player, with its output in $WORK/out.
launch() {
  (exec env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$H" TMPDIR="$T" USER="$PLAYER_NAME" \
     XDG_CONFIG_HOME="$H/.config" SDL_AUDIODRIVER=dummy "$@" "${PLAYER[@]}" "$LAUNCHER" >"$WORK/out" 2>&1) &
  GAME_PID=$!
}
# The game closes the normal way on SIGTERM and ends by itself.
close_game() {
  kill -TERM "$GAME_PID" 2>/dev/null
  ended_by_itself 100 || { kill -9 "$GAME_PID" 2>/dev/null; GAME_PID=""; bad "$1: the game did not close on SIGTERM"; }
}
# Each link's inode and change time: a link made again has new ones.
link_stamps() { for f in Episode0.dat Episode50.dat Episode75.dat Episode90.dat Sprites.gpk Textures.gpk; do stat -c '%n %i %Z' "$1/$f"; done; }
game_window_shows() { await_window 150 2 && is_windowed && kill -0 "$GAME_PID" 2>/dev/null; }
said() { grep -qF -- "$1" "$WORK/out"; }

# --- a fresh home ------------------------------------------------------------------------
new_home fresh
launch TANGREL_NO_DIALOGS=1
check "fresh home: the game's window shows" game_window_shows
close_game "fresh home"
check "fresh home: the folder holds a link to each data file" \
  test "$(readlink "$USER_DIR/Episode0.dat")" = "$DATA/Episode0.dat" -a "$(readlink "$USER_DIR/Textures.gpk")" = "$DATA/Textures.gpk"
check "fresh home: the progress lands in the folder" test "$(stat -c %s "$USER_DIR/Users.dat" 2>/dev/null)" = 5076
check "fresh home: nothing to tell the player" test ! -s "$WORK/out"

# --- every link already right: nothing is made again ---------------------------------------
link_stamps "$USER_DIR" >"$WORK/stamps.before"
sleep 1.1  # a link made again now would carry a later change time
launch TANGREL_NO_DIALOGS=1
check "second start: the game's window shows" game_window_shows
close_game "second start"
link_stamps "$USER_DIR" >"$WORK/stamps.after"
check "second start: no link was made again" cmp -s "$WORK/stamps.before" "$WORK/stamps.after"

# --- a read-only game folder whose links are right -------------------------------------------
chmod a-w "$USER_DIR"
launch TANGREL_NO_DIALOGS=1
check "read-only folder: the game's window shows" game_window_shows
kill -9 "$GAME_PID" 2>/dev/null; wait "$GAME_PID" 2>/dev/null; GAME_PID=""
check "read-only folder: the launcher made nothing (no ln, no mkdir complaint)" not grep -Eq '^(ln|mkdir):' "$WORK/out"
link_stamps "$USER_DIR" >"$WORK/stamps.after"
check "read-only folder: the links are as they were" cmp -s "$WORK/stamps.before" "$WORK/stamps.after"
chmod u+w "$USER_DIR"

# --- a read-only game folder with a stale link: the fallback, the progress carried over ------
ln -sfn /nonexistent/Sprites.gpk "$USER_DIR/Sprites.gpk"
chmod a-w "$USER_DIR"
launch TANGREL_NO_DIALOGS=1
FB="$T/tangrel-$PLAYER_NAME"
check "read-only folder, stale link: the game's window shows" game_window_shows
close_game "read-only folder, stale link"
check "read-only folder, stale link: the player is told where the progress goes" said "progress is kept in $FB"
check "read-only folder, stale link: the fallback holds the player's progress" cmp -s "$USER_DIR/Users.dat" "$FB/Users.dat"
check "read-only folder, stale link: the fallback's links are right" test "$(readlink "$FB/Sprites.gpk")" = "$DATA/Sprites.gpk"
chmod u+w "$USER_DIR"

# --- a home that cannot be written: the fallback, and the note on screen ---------------------
new_home lockedhome
rm -rf "$H/.local"
chmod a-w "$H"
FB="$T/tangrel-$PLAYER_NAME"
# The options are kept apart here, so that only the game folder is missing.
mkdir -p "$WORK/lockedhome-config/tangrel" && cp "$H/.config/tangrel/user.reg" "$WORK/lockedhome-config/tangrel/"
own "$WORK/lockedhome-config"
launch XDG_CONFIG_HOME="$WORK/lockedhome-config"
# The note comes first, in a box of its own; the game's window follows once it is answered.
await_window 150 1
check "unwritable home: a note shows on screen before the game (a small box)" \
  bash -c "[ -n '$WIN' ] && [ '$GW' -lt 800 ] && [ '$GH' -lt 600 ]"
[ -n "${E2E_SHOTS:-}" ] && shot
[ -n "$WIN" ] && { xdotool windowactivate --sync "$WIN" 2>/dev/null; xdotool key --window "$WIN" Return; sleep 0.5; xdotool key Return; }
check "unwritable home: the game's window shows after the note" game_window_shows
close_game "unwritable home"
check "unwritable home: the note names the folder and the reason" said "could not be prepared (mkdir:"
check "unwritable home: the progress lands in the fallback folder" test "$(stat -c %s "$FB/Users.dat" 2>/dev/null)" = 5076
check "unwritable home: the fallback is the player's own, closed to others" \
  test "$(stat -c '%a %u' "$FB")" = "700 $(stat -c %u "$H")"

# --- nothing can be written: the game starts anyway ----------------------------------------
new_home nowhere
rm -rf "$H/.local"
chmod -R a-w "$H" "$T"
launch TANGREL_NO_DIALOGS=1
check "nothing writable: the game's window shows" game_window_shows
kill -9 "$GAME_PID" 2>/dev/null; wait "$GAME_PID" 2>/dev/null; GAME_PID=""
check "nothing writable: the player is told the progress will not be saved" said "your progress will not be saved"
check "nothing writable: the note reached the game for the screen" grep -q '^Tangrel 2.0: Your folder' "$WORK/out"
check "nothing writable: no file appeared in the installed data" test -z "$(find "$DATA" -newer "$LAUNCHER" -name Users.dat)"
finish
