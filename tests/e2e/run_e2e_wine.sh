#!/usr/bin/env bash
# Plays the Windows build (tangrel.exe from its zip) under wine64 in Xvfb with xdotool, checks
# what it shows, the registry and the progress file, and compares its menu with the Linux
# build's pixel by pixel.
#   run_e2e_wine.sh ZIP [LINUX_GAME_DIR]
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

# The zip holds one folder with the game; TANGREL_E2E_FOLDER_NAME names a folder to unpack it
# into (a name in other scripts than Latin tests the paths the game hands the system).
UNPACK="$WORK${TANGREL_E2E_FOLDER_NAME:+/$TANGREL_E2E_FOLDER_NAME}"
mkdir -p "$UNPACK"
(cd "$UNPACK" && unzip -q "$ZIP") || { echo "cannot unpack $ZIP" >&2; exit 2; }
GAME=$(find "$UNPACK" -maxdepth 2 -name tangrel.exe -printf '%h\n' | head -1)
check "the zip holds one folder with tangrel.exe, the levels, packages, music and the font" \
  test -n "$GAME" -a -f "$GAME/Episode90.dat" -a -f "$GAME/Sprites.gpk" -a -f "$GAME/Sounds.spk" \
  -a -f "$GAME/Sounds/theme3.mid" -a -f "$GAME/LiberationSerif-Regular.ttf"

start_game() {
  (cd "$GAME" && exec "$WINE64" ./tangrel.exe >"$WORK/game.out" 2>"$WORK/game.err") &
  GAME_PID=$!
  await_window 300
  STARTUP_MS=$WINDOW_MS
  echo "the window showed after $STARTUP_MS ms"
}
# A value of the key as eight hex digits, from the real registry.
reg_value() {
  local v
  v=$("$WINE64" reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" 'tolower($1) == tolower(n) && $2 == "REG_DWORD" { print $3 }')
  [ -n "$v" ] && printf '%08x' "$((v))"
}
reg_count() { "$WINE64" reg query "$KEY" 2>/dev/null | tr -d '\r' | grep -c 'REG_DWORD'; }
# A shot with the pointer out of the way, and the game's 800 x 600 picture out of it into FILE
# (a window at scale 1): the menus of the two builds are compared so.
menu_picture() {
  to_screen 5 5; xdotool mousemove "$SX" "$SY"; sleep 1
  shot
  convert "$WORK/shot.png" -crop "800x600+$GX+$GY" +repage "$1"
}

# --- first run: defaults, menu, a level played through --------------------------------
start_game
check "the window opens" test -n "$WIN"
echo "start-up under Wine (process start to window): $STARTUP_MS ms"
check "the first run opens full screen on the monitor" is_fullscreen
shot
check "the menu shows its golden title" is_warm 300 30 200 50
click_at 400 172   # Episode 1, row 0
shot
check "row 0 starts level 0: the empty slot shows the playing background" is_bluish 360 160 80 80
check "the panel is drawn" is_warm 700 560 60 20

xdotool key space; sleep 0.6; shot
check "Space on an unsolved level opens the message box (black around it)" is_black 10 10 60 60
xdotool key a; sleep 0.6; shot
check "a key closes the message box" is_bluish 360 160 80 80

# A piece comes home 10 px a frame: on a loaded machine Wine's frames come slowly.
for _ in 1 2 3; do xdotool key F1; sleep 4; done
shot
check "F1 brought every piece home: the slot is covered" is_golden 310 110 180 180
click_at 100 100   # a release completes the level
sleep 4.5; shot
check "the level-complete display ends on the golden 'Complete' plate" is_golden 340 170 120 60
click_at 100 100   # a press goes on to level 1
shot
check "a press after the display goes to the next level (the slot is empty again)" is_bluish 360 160 80 80

xdotool key alt+Return; sleep 2
check "Alt+Enter switches to a window of 800 x 600" is_windowed
shot
check "the window shows the game at scale 1" is_bluish 360 160 80 80
xdotool key alt+Return; sleep 2
check "Alt+Enter switches back to full screen" is_fullscreen

# --- options and exit -------------------------------------------------------------
geometry
click_at 710 575   # the panel's menu button
shot
check "the panel's menu button returns to the menu" is_warm 300 30 200 50
click_at 150 350   # Options
click_at 582 307   # Tips: off
click_at 582 266   # Full: off (stored for the next start)
click_at 495 491   # OK
click_at 135 456   # Exit
click_at 438 345   # Yes
check "Exit, Yes: the process ends by itself" ended_by_itself 150
check "the game exits with status 0" test "${GAME_RC:-1}" -eq 0
check "the registry key holds the six values" test "$(reg_count)" -eq 6
check "registry: Tips off, Full off, normal difficulty, plain look" \
  test "$(reg_value Tips)$(reg_value Full)$(reg_value Difficulty)$(reg_value 3D)" = "00000000000000000000000100000000"
SOUNDS=$(reg_value Sounds) MUSIC=$(reg_value Music)
echo "registry: Sounds=$SOUNDS Music=$MUSIC (off when Wine offers no sound output)"
check "registry: Sounds and Music are stored as 0 or 1" grep -qE '^(0000000[01]){2}$' <<<"$SOUNDS$MUSIC"
check "Users.dat is 5076 bytes" test "$(stat -c %s "$GAME/Users.dat" 2>/dev/null)" -eq 5076
check "Users.dat marks level 0 solved" test "$(od -An -tx1 -j24 -N4 "$GAME/Users.dat" | tr -d ' ')" = "ffffffff"

# --- second run: windowed, level 0 shows its solved mark ----------------------------
start_game
check "the second start opens a window (Full was switched off)" is_windowed
menu_picture "$WORK/menu-windows.png"
check "level 0 shows its solved mark (its box differs from level 1's)" differs 340 154 340 185 24 24
click_at 135 456   # Exit
click_at 438 345   # Yes
check "the second run ends by Exit, Yes with status 0" ended_by_itself 150
check "and its status is 0" test "${GAME_RC:-1}" -eq 0

# --- no sound device and no MIDI output ---------------------------------------------
# Without Wine's audio drivers there is neither: Sounds and Music go off, nothing hangs.
"$WINE64" reg delete "$KEY" /f >/dev/null 2>&1
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv=" start_game
shot
check "without a sound device the menu still shows" is_warm 300 30 200 50
click_at 135 456   # Exit
click_at 438 345   # Yes
check "without a sound device Exit, Yes ends the game at once" ended_by_itself 150
check "without a sound device Sounds and Music are saved off" \
  test "$(reg_value Sounds)$(reg_value Music)" = "0000000000000000"

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
  menu_picture "$WORK/menu-linux.png"
  kill -TERM "$GAME_PID"; ended_by_itself 150
  DIFF=$(compare -metric AE "$WORK/menu-windows.png" "$WORK/menu-linux.png" null: 2>&1 | awk '{ print int($1) }')
  NEAR=$(compare -metric AE -fuzz 25% "$WORK/menu-windows.png" "$WORK/menu-linux.png" null: 2>&1 | awk '{ print int($1) }')
  echo "menu, Windows build against Linux build: $DIFF of 480000 pixels differ ($(awk -v d="$DIFF" 'BEGIN { printf "%.3f", 100 * d / 480000 }') %), $NEAR by more than a quarter of the range"
  if [ -n "${E2E_SHOTS:-}" ]; then cp "$WORK/menu-windows.png" "$WORK/menu-linux.png" "$E2E_SHOTS/"; fi
  # Text antialiasing aside the two pictures are the same.
  check "the menu matches the Linux build's (under 1 % of the pixels differ)" test "${DIFF:-480000}" -lt 4800
fi

checks_done
