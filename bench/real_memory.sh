#!/usr/bin/env bash
# Peak memory of the real program, display stack included: the game started full screen in
# Xvfb with a window manager, level 94 (twelve pieces) solved with F1, then every piece
# turned 23 times with the wheel, so that nearly every one of the 288 piece pictures is
# built. Prints one markdown line per figure.
#   real_memory.sh GAME_DIR
set -u
. "$(dirname "$0")/../tests/e2e/xsession.sh"
x_session_game "${1:?usage: real_memory.sh GAME_DIR}"
x_session_tools real_memory
x_session_work mem
x_session_start 1024 768 120 || exit 2

mkdir -p "$WORK/home" "$WORK/game"
cp -r "$GAME_DIR"/. "$WORK/game/"
cd "$WORK/game" || exit 2
HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" SDL_AUDIODRIVER=dummy TANGREL_NO_DIALOGS=1 \
  ./tangrel >"$WORK/log" 2>&1 &
GAME_PID=$!
await_window 100 3 || { echo "real_memory: the game's window did not appear" >&2; exit 1; }
point() { to_screen "$1" "$2"; xdotool mousemove "$SX" "$SY"; sleep 0.2; }
hwm() { awk '/VmHWM/ { printf "%.1f MB", $2 / 1024 }' "/proc/$GAME_PID/status"; }

MENU=$(hwm)
point 190 280; xdotool click 1; sleep 0.5   # Episode 5
point 620 300; xdotool click 1; sleep 1.5   # its row 14: level 94
for _ in $(seq 14); do xdotool key F1; sleep 1.2; done
# Each piece's position lies inside it, and it turns about that point. The level files end
# their lines with CR LF.
positions=$(awk '{ sub(/\r$/, "") } /^\[level94\]/ { on = 1; next } /^\[/ { on = 0 }
  on && /^Form_[0-9]+_X=/ { split($0, a, /[_=]/); x[a[2]] = a[4] }
  on && /^Form_[0-9]+_Y=/ { split($0, a, /[_=]/); y[a[2]] = a[4] }
  END { for (n = 1; n <= 12; ++n) if (n in x) print x[n], y[n] }' Episode90.dat)
[ "$(wc -l <<<"$positions")" -eq 12 ] || { echo "real_memory: level 94 is not a twelve-piece level" >&2; exit 1; }
while read -r x y; do
  point "$x" "$y"
  for _ in $(seq 23); do xdotool click 5; sleep 0.08; done
  sleep 0.3
done <<<"$positions"
WORST=$(hwm)
kill -0 "$GAME_PID" 2>/dev/null || { echo "real_memory: the game ended early" >&2; exit 1; }
# Close it the normal way (it saves and ends by itself).
kill -TERM "$GAME_PID"
ended_by_itself 50
echo "| Real program under Xvfb (software OpenGL), peak memory (VmHWM) at the menu | $MENU |"
echo "| Real program under Xvfb, level 94 after 276 turns of its twelve pieces | $WORST |"
