#!/usr/bin/env bash
# Installs the game into a temporary prefix and starts it through the installed launcher:
# the per-user folder is prepared and the progress file lands there.
#   run_install.sh BUILD_DIR
set -u
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d /tmp/tangrel-install.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAILED: $*"; echo "0 passed, 1 failed"; exit 1; }
# Starts the installed launcher, lets it run SECONDS and closes it the normal way.
run_launcher() {
  local pid
  "$WORK/prefix/games/tangrel" >"$WORK/out" 2>&1 &
  pid=$!
  sleep "$1"
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill -9 "$pid"; fail "the game did not close on SIGTERM"; }
}

cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || fail "cmake --install"
# The launcher finds the program and its data from where it lies, under any prefix.
for f in games/tangrel lib/games/tangrel/tangrel lib/games/tangrel/Sounds.spk share/games/tangrel/Sprites.gpk \
         share/games/tangrel/Sounds.spk share/games/tangrel/Sounds/theme1.mid \
         share/applications/example.brenmoor_studio.Tangrel.desktop share/icons/hicolor/64x64/apps/tangrel.png; do
  [ -e "$WORK/prefix/$f" ] || fail "missing $f"
done
grep -qx "Exec=$WORK/prefix/games/tangrel" "$WORK/prefix/share/applications/example.brenmoor_studio.Tangrel.desktop" \
  || fail "the desktop entry does not name the installed launcher"

export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/.local/share" XDG_CONFIG_HOME="$WORK/home/.config"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TANGREL_NO_DIALOGS=1
mkdir -p "$HOME"
run_launcher 3
user="$XDG_DATA_HOME/tangrel"
[ -L "$user/Episode0.dat" ] || fail "the per-user folder has no level files"
[ "$(stat -c %s "$user/Users.dat" 2>/dev/null)" = 5076 ] || { cat "$WORK/out"; fail "no Users.dat in the per-user folder"; }
[ -f "$XDG_CONFIG_HOME/tangrel/user.reg" ] || fail "no settings saved"

# A file of the player's own under a data name is kept; a stale link is renewed.
rm "$user/Episode90.dat"
echo "[level90]" >"$user/Episode90.dat"
ln -sfn /nonexistent/Sprites.gpk "$user/Sprites.gpk"
run_launcher 2
[ ! -L "$user/Episode90.dat" ] && grep -q level90 "$user/Episode90.dat" || fail "the player's own file was replaced"
[ "$(readlink "$user/Sprites.gpk")" = "$WORK/prefix/share/games/tangrel/Sprites.gpk" ] || fail "a stale link was kept"
echo "1 passed, 0 failed"
