#!/usr/bin/env bash
# Idle CPU of the real program on the menu: the game started in Xvfb (with a window manager)
# on a screen of the given size, in a window of 800 x 600 or full screen, left alone on the
# menu; its user and system time over SECONDS (10 unless told), as a share of one core, and
# the X server's beside it.
# Prints one markdown line.
#   idle_cpu.sh GAME_DIR window|full SCREEN_WxSCREEN_H [SECONDS] [FIRST_DISPLAY]
set -u
. "$(dirname "$0")/../tests/e2e/xsession.sh"
x_session_game "${1:?usage: idle_cpu.sh GAME_DIR window|full WxH [SECONDS] [FIRST_DISPLAY]}"
MODE=${2:?window or full}
SIZE=${3:?screen size, e.g. 1920x1080}
SECONDS_=${4:-10}
FIRST=${5:-130}
case $MODE in window) FULL=0 ;; full) FULL=1 ;; *) echo "mode: window or full" >&2; exit 2 ;; esac
SCREEN_W=${SIZE%x*} SCREEN_H=${SIZE#*x}
x_session_tools idle_cpu
x_session_work idle
x_session_start "$SCREEN_W" "$SCREEN_H" "$FIRST" || exit 2

# Sounds and music off (no synthesiser at work), tips off, the window 800 x 600.
mkdir -p "$WORK/home/.config/tangrel" "$WORK/game"
printf '[\\Software\\Brenmoor Studio\\Tangrel]\n"Sounds"=dword:00000000\n"Music"=dword:00000000\n"Difficulty"=dword:00000001\n"Full"=dword:0000000%d\n"Tips"=dword:00000000\n"3D"=dword:00000001\n[\\Software\\Brenmoor Studio\\Tangrel\\Window]\n"Width"=dword:00000320\n"Height"=dword:00000258\n' \
  "$FULL" >"$WORK/home/.config/tangrel/user.reg"
cp -r "$GAME_DIR"/. "$WORK/game/"
cd "$WORK/game" || exit 2
HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" SDL_AUDIODRIVER=dummy TANGREL_NO_DIALOGS=1 \
  ./tangrel >"$WORK/log" 2>&1 &
GAME_PID=$!
await_window 100 3 || { echo "idle_cpu: the game's window did not appear" >&2; cat "$WORK/log" >&2; exit 1; }
# The pointer rests away from the menu items.
xdotool mousemove $((SCREEN_W - 1)) $((SCREEN_H - 1)); sleep 1
HZ=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
t0=$(cpu "$GAME_PID"); x0=$(cpu "$XVFB_PID"); s0=$(date +%s%N)
sleep "$SECONDS_"
t1=$(cpu "$GAME_PID"); x1=$(cpu "$XVFB_PID"); s1=$(date +%s%N)
kill -0 "$GAME_PID" 2>/dev/null || { echo "idle_cpu: the game ended early" >&2; exit 1; }
share() { awk -v t="$1" -v hz="$HZ" -v ns=$((s1 - s0)) 'BEGIN { printf "%.1f", 100 * t / hz / (ns / 1e9) }'; }
geometry
kill -TERM "$GAME_PID"
ended_by_itself 50
echo "| Idle on the menu, $MODE ${GW}x${GH} on a ${SCREEN_W}x${SCREEN_H} screen, over ${SECONDS_} s | $(share $((t1 - t0))) % of a core | X server: $(share $((x1 - x0))) % |"
