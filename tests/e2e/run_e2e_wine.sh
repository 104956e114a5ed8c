#!/usr/bin/env bash
# Plays the Windows build (tangrel.exe from its zip) under wine64 in Xvfb with xdotool through
# the end-to-end walk (walk.txt), checks what it shows, the registry and the progress file, and
# compares its menu with the Linux build's pixel by pixel.
#   run_e2e_wine.sh ZIP [LINUX_GAME_DIR]
# The zip's folder is renamed TANGREL_E2E_FOLDER_NAME when that is set (any name, spaces and
# letters of any script included).
# WINEPREFIX may name a prefix made for this run (shared with the unit tests); otherwise a
# fresh one is made here. Either way the game's key is removed before the first start.
set -u
ZIP=$(realpath "${1:?usage: run_e2e_wine.sh ZIP [LINUX_GAME_DIR]}")
LINUX_GAME=${2:-}
[ -f "$ZIP" ] || { echo "no zip at $ZIP" >&2; exit 2; }
WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$WINE64" ] || { echo "wine64 is not installed" >&2; exit 2; }
WORK=$(mktemp -d /tmp/tangrel-e2e-wine.XXXXXX)
SCREEN_W=1024 SCREEN_H=768
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xsession.sh"
. "$(dirname "$0")/walk.sh"
wine_cleanup() { [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null; x_session_cleanup; }
trap wine_cleanup EXIT

x_session_start "$SCREEN_W" "$SCREEN_H" 150 || exit 2

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TANGREL_NO_DIALOGS=1
if [ -z "${WINEPREFIX:-}" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
  export WINEPREFIX="${WINEPREFIX:-$WORK/prefix}"
  t0=$(date +%s%N)
  "$WINE64" wineboot -i >/dev/null 2>&1
  wineserver -w
  echo "a fresh Wine prefix took $(( ($(date +%s%N) - t0) / 1000000 )) ms"
fi
export WINEPREFIX
KEY='HKCU\Software\Brenmoor Studio\Tangrel'
"$WINE64" reg delete "$KEY" /f >/dev/null 2>&1

# The zip holds one folder with the game.
(cd "$WORK" && unzip -q "$ZIP") || { echo "cannot unpack $ZIP" >&2; exit 2; }
GAME=$(find "$WORK" -maxdepth 2 -name tangrel.exe -printf '%h\n' | head -1)
if [ -n "${TANGREL_E2E_FOLDER_NAME:-}" ] && [ -n "$GAME" ] && [ "$GAME" != "$WORK/$TANGREL_E2E_FOLDER_NAME" ]; then
  mv "$GAME" "$WORK/$TANGREL_E2E_FOLDER_NAME" || { echo "cannot rename the game folder" >&2; exit 2; }
  GAME="$WORK/$TANGREL_E2E_FOLDER_NAME"
fi
check "the zip holds one folder with tangrel.exe, the levels, packages, music and the font" \
  test -n "$GAME" -a -f "$GAME/Episode90.dat" -a -f "$GAME/Sprites.gpk" -a -f "$GAME/Sounds.spk" \
  -a -f "$GAME/Sounds/theme3.mid" -a -f "$GAME/LiberationSerif-Regular.ttf"

start_game() {
  (cd "$GAME" && exec "$WINE64" ./tangrel.exe >"$WORK/game.out" 2>"$WORK/game.err") &
  GAME_PID=$!
  await_window 300
  STARTUP_MS=$WINDOW_MS
  echo "the window showed after $STARTUP_MS ms"
  STARTS=$((${STARTS:-0} + 1))
  [ "$STARTS" -eq 1 ] && echo "start-up under Wine (process start to window): $STARTUP_MS ms"
}
# A value of the key as eight hex digits, from the real registry.
reg_value() {
  local v
  v=$("$WINE64" reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" 'tolower($1) == tolower(n) && $2 == "REG_DWORD" { print $3 }')
  [ -n "$v" ] && printf '%08x' "$((v))"
}
reg_count() { "$WINE64" reg query "$KEY" 2>/dev/null | tr -d '\r' | grep -c 'REG_DWORD'; }

# --- the driver -----------------------------------------------------------------------
# Without Wine's audio drivers there is neither a sound device nor a MIDI output.
drv_start() {
  if [ "${1:-}" = noaudio ]; then
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv=" start_game
  else
    start_game
  fi
}
drv_stop() { kill -TERM "$GAME_PID"; }
drv_forget() { "$WINE64" reg delete "$KEY" /f >/dev/null 2>&1; }
drv_setting() { reg_value "$1"; }
drv_settings_count() { reg_count; }
E2E_END_TENTHS=150

walk wine

# --- the same menu from the Linux build ------------------------------------------------
if [ -n "$LINUX_GAME" ] && [ -x "$LINUX_GAME/tangrel" ]; then
  mkdir -p "$WORK/linux/home/.config/tangrel"
  cp -r "$LINUX_GAME" "$WORK/linux/game"
  cp "$GAME/Users.dat" "$WORK/linux/game/Users.dat"
  printf '[\\Software\\Brenmoor Studio\\Tangrel]\n"Sounds"=dword:00000000\n"Music"=dword:00000000\n"Difficulty"=dword:00000001\n"Full"=dword:00000000\n"Tips"=dword:00000000\n"3D"=dword:00000000\n' \
    >"$WORK/linux/home/.config/tangrel/user.reg"
  (cd "$WORK/linux/game" && HOME="$WORK/linux/home" XDG_CONFIG_HOME="$WORK/linux/home/.config" \
     SDL_AUDIODRIVER=dummy exec ./tangrel >/dev/null 2>&1) &
  GAME_PID=$!
  await_window 100
  walk_picture menu-linux
  kill -TERM "$GAME_PID"; ended_by_itself 150
  DIFF=$(compare -metric AE "$WORK/menu-windows.png" "$WORK/menu-linux.png" null: 2>&1 | awk '{ print int($1) }')
  NEAR=$(compare -metric AE -fuzz 25% "$WORK/menu-windows.png" "$WORK/menu-linux.png" null: 2>&1 | awk '{ print int($1) }')
  echo "menu, Windows build against Linux build: $DIFF of 480000 pixels differ ($(awk -v d="$DIFF" 'BEGIN { printf "%.3f", 100 * d / 480000 }') %), $NEAR by more than a quarter of the range"
  if [ -n "${E2E_SHOTS:-}" ]; then cp "$WORK/menu-windows.png" "$WORK/menu-linux.png" "$E2E_SHOTS/"; fi
  # Text antialiasing aside the two pictures are the same.
  check "the menu matches the Linux build's (under 1 % of the pixels differ)" test "${DIFF:-480000}" -lt 4800
fi

checks_done
