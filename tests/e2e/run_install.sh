#!/usr/bin/env bash
# Installs the game into a temporary prefix and starts it through the installed launcher:
# the per-user folder is prepared and the progress file lands there.
#   run_install.sh BUILD_DIR
set -u
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d /tmp/tangrel-install.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAILED: $*"; echo "0 passed, 1 failed"; exit 1; }

cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || fail "cmake --install"
# The launcher names its data folder as configured; point it at the temporary prefix.
sed "s#^data=.*#data=\"$WORK/prefix/lib/tangrel\"#" "$WORK/prefix/bin/tangrel" >"$WORK/launcher"
chmod +x "$WORK/launcher"
for f in lib/tangrel/tangrel lib/tangrel/Sprites.gpk lib/tangrel/Sounds.spk lib/tangrel/Sounds/theme1.mid \
         share/applications/tangrel.desktop share/icons/hicolor/64x64/apps/tangrel.png; do
  [ -e "$WORK/prefix/$f" ] || fail "missing $f"
done

export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/.local/share" XDG_CONFIG_HOME="$WORK/home/.config"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TANGREL_NO_DIALOGS=1
mkdir -p "$HOME"
"$WORK/launcher" >"$WORK/out" 2>&1 &
pid=$!
sleep 3
kill -TERM "$pid" 2>/dev/null
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && { kill -9 "$pid"; fail "the game did not close on SIGTERM"; }
user="$XDG_DATA_HOME/tangrel"
[ -L "$user/Episode0.dat" ] || fail "the per-user folder has no level files"
[ "$(stat -c %s "$user/Users.dat" 2>/dev/null)" = 5076 ] || { cat "$WORK/out"; fail "no Users.dat in the per-user folder"; }
[ -f "$XDG_CONFIG_HOME/tangrel/user.reg" ] || fail "no settings saved"
echo "1 passed, 0 failed"
