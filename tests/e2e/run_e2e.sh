#!/usr/bin/env bash
# Plays the real game in Xvfb with xdotool and checks what it shows and what it saves.
#   run_e2e.sh GAME_DIR
set -u
GAME_DIR=$(cd "${1:?usage: run_e2e.sh GAME_DIR}" && pwd)
if [ ! -x "$GAME_DIR/tangrel" ]; then
  echo "no game in $GAME_DIR (expected $GAME_DIR/tangrel)" >&2
  exit 2
fi
WORK=$(mktemp -d /tmp/tangrel-e2e.XXXXXX)
SCREEN_W=1024 SCREEN_H=768
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xsession.sh"
trap x_session_cleanup EXIT

x_session_start "$SCREEN_W" "$SCREEN_H" 90 || exit 2

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw" SDL_DISKAUDIODELAY=10
export TANGREL_NO_DIALOGS=1
mkdir -p "$HOME"
cp -r "$GAME_DIR" "$WORK/game"
REG="$XDG_CONFIG_HOME/tangrel/user.reg"

start_game() {
  (cd "$WORK/game" && exec ./tangrel >"$WORK/game.out" 2>"$WORK/game.err") &
  GAME_PID=$!
  await_window 100
}
reg_value() { grep -i "^\"$1\"=dword:" "$REG" | head -1 | sed 's/.*dword://'; }

# --- first run: defaults, menu, a level played through --------------------------------
start_game
check "the first run opens full screen" is_fullscreen
shot
check "the menu shows its golden title" is_warm 300 30 200 50
click_at 400 172   # Episode 1, row 0
shot
check "row 0 starts level 0: the empty slot shows the playing background" is_bluish 360 160 80 80
check "the panel is drawn" is_warm 700 560 60 20

xdotool key space; sleep 0.6; shot
check "Space on an unsolved level opens the message box (black around it)" is_black 10 10 60 60
# Alt+Enter switches the mode and leaves the box open: Alt's own key-down is no key.
xdotool key alt+Return; sleep 2
check "Alt+Enter with the message box open switches to a window" is_windowed
shot
check "the message box stays open in the window" is_black 10 10 60 60
xdotool key alt+Return; sleep 2
check "Alt+Enter with the message box open switches back to full screen" is_fullscreen
shot
check "the message box stays open in full screen" is_black 10 10 60 60
xdotool key a; sleep 0.6; shot
check "a key closes the message box" is_bluish 360 160 80 80

for _ in 1 2 3; do xdotool key F1; sleep 1.5; done
shot
check "F1 brought every piece home: the slot is covered" is_golden 310 110 180 180
click_at 100 100   # a release completes the level
# Alt+Enter during the display switches the mode and leaves the display on (it starts again).
xdotool key alt+Return; sleep 2
check "Alt+Enter during the level-complete display switches to a window" is_windowed
xdotool key alt+Return; sleep 2
check "Alt+Enter during the level-complete display switches back to full screen" is_fullscreen
sleep 4.5; shot
check "the level-complete display ends on the golden 'Complete' plate" is_golden 340 170 120 60
check "the display is still on after Alt+Enter: no piece below the plate" not is_golden 310 265 180 30
click_at 100 100   # a press goes on to level 1
shot
check "a press after the display goes to the next level (the slot is empty again)" is_bluish 360 160 80 80

xdotool key alt+Return; sleep 2
check "Alt+Enter switches to a window" is_windowed
xdotool key alt+Return; sleep 2
check "Alt+Enter switches back to full screen" is_fullscreen

# --- options and exit -------------------------------------------------------------
geometry
click_at 710 575   # the panel's menu button
shot
check "the panel's menu button returns to the menu" is_warm 300 30 200 50
click_at 150 350   # Options
click_at 533 445   # Sounds: off
click_at 582 307   # Tips: off
click_at 582 266   # Full: off (stored for the next start)
click_at 495 491   # OK
click_at 135 456   # Exit
click_at 438 345   # Yes
check "Exit, Yes: the process ends by itself" ended_by_itself
check "the game exits with status 0" test "${GAME_RC:-1}" -eq 0
check "user.reg holds the six values" \
  test "$(awk '/^\[/ { inkey = ($0 == "[\\Software\\Brenmoor Studio\\Tangrel]") } inkey && /=dword:/' "$REG" | wc -l)" -eq 6
check "user.reg: Sounds off, Tips off, Full off, Music on, normal difficulty, plain look" \
  test "$(reg_value Sounds)$(reg_value Tips)$(reg_value Full)$(reg_value Music)$(reg_value Difficulty)$(reg_value 3D)" \
  = "000000000000000000000000000000010000000100000000"
check "Users.dat is 5076 bytes" test "$(stat -c %s "$WORK/game/Users.dat" 2>/dev/null)" -eq 5076
check "Users.dat marks level 0 solved" test "$(od -An -tx1 -j24 -N4 "$WORK/game/Users.dat" | tr -d ' ')" = "ffffffff"

# The first run had music and effects on: the audio output carries sound, not silence.
loud_samples() { od -An -td2 -v -w2 "$WORK/audio.raw" 2>/dev/null | awk '$1 > 1000 || $1 < -1000 { n++ } END { print n + 0 }'; }
check "the music and the effects reach the audio output" test "$(loud_samples)" -gt 1000

# --- second run: windowed, level 0 shows its solved mark ----------------------------
start_game
check "the second start opens a window (Full was switched off)" is_windowed
shot
check "level 0 shows its solved mark (its box differs from level 1's)" differs 340 154 340 185 24 24
kill -TERM "$GAME_PID"
check "SIGTERM closes the game the normal way" ended_by_itself

# --- a missing sprite package -------------------------------------------------------
mv "$WORK/game/Sprites.gpk" "$WORK/Sprites.gpk.away"
start_game
check "with Sprites.gpk missing the game keeps running" kill -0 "$GAME_PID"
check "the missing package is reported" grep -q "Cannot open file Sprites.gpk" "$WORK/game.err"
kill -TERM "$GAME_PID"
check "and it can be closed" ended_by_itself
mv "$WORK/Sprites.gpk.away" "$WORK/game/Sprites.gpk"

# --- no audio device ------------------------------------------------------------------
rm -f "$REG"
SDL_AUDIODRIVER=no-such-driver start_game
shot
check "without an audio device the menu still shows" is_warm 300 30 200 50
kill -TERM "$GAME_PID"
ended_by_itself
check "without an audio device Sounds and Music are saved off" \
  test "$(reg_value Sounds)$(reg_value Music)" = "0000000000000000"

. "$(dirname "$0")/scaled_window.sh"

checks_done
