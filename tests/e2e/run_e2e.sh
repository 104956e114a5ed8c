#!/usr/bin/env bash
# Plays the real game in Xvfb with xdotool through the end-to-end walk (walk.txt) and checks
# what it shows and what it saves; then the window the player resizes (scaled_window.sh).
#   run_e2e.sh GAME_DIR
# The game is copied into a folder named TANGREL_E2E_FOLDER_NAME ("game" unless set).
set -u
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xsession.sh"
. "$(dirname "$0")/walk.sh"
x_session_game "${1:?usage: run_e2e.sh GAME_DIR}"
x_session_work e2e
SCREEN_W=1024 SCREEN_H=768

x_session_start "$SCREEN_W" "$SCREEN_H" 90 || exit 2

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw" SDL_DISKAUDIODELAY=10
export TANGREL_NO_DIALOGS=1
mkdir -p "$HOME"
GAME="$WORK/${TANGREL_E2E_FOLDER_NAME:-game}"
cp -r "$GAME_DIR" "$GAME"
REG="$XDG_CONFIG_HOME/tangrel/user.reg"

start_game() {
  (cd "$GAME" && exec ./tangrel >"$WORK/game.out" 2>"$WORK/game.err") &
  GAME_PID=$!
  await_window 100
}
reg_value() { grep -i "^\"$1\"=dword:" "$REG" | head -1 | sed 's/.*dword://'; }

# --- the driver -----------------------------------------------------------------------
drv_start() {
  if [ "${1:-}" = noaudio ]; then SDL_AUDIODRIVER=no-such-driver start_game; else start_game; fi
}
drv_stop() { kill -TERM "$GAME_PID"; }
drv_forget() { rm -f "$REG"; }
drv_setting() { reg_value "$1"; }
drv_settings_count() {
  awk '/^\[/ { inkey = ($0 == "[\\Software\\Brenmoor Studio\\Tangrel]") } inkey && /=dword:/' "$REG" | wc -l
}
# The first run has music and effects on: the disk driver's output carries sound, not silence.
drv_sound_heard() {
  test "$(od -An -td2 -v -w2 "$WORK/audio.raw" 2>/dev/null | awk '$1 > 1000 || $1 < -1000 { n++ } END { print n + 0 }')" -gt 1000
}

walk linux

. "$(dirname "$0")/scaled_window.sh"

checks_done
