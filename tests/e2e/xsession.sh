# The X session the real game runs in for the end-to-end test and the memory measure:
# Xvfb on a free display with a window manager, and the mapping of game pixels onto it.
# Sourced; the caller sets WORK (removed at exit) and may set GAME_PID (killed at exit).
XVFB_PID="" WM_PID="" GAME_PID=""

x_session_cleanup() {
  [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

# x_session_start WIDTH HEIGHT FIRST_DISPLAY
x_session_start() {
  local n
  DISPLAY_NUM=""
  for n in $(seq "$3" $(($3 + 50))); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then DISPLAY_NUM=$n; break; fi
  done
  [ -n "$DISPLAY_NUM" ] || { echo "no free X display from :$3" >&2; return 1; }
  Xvfb ":$DISPLAY_NUM" -screen 0 "$1x$2x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$DISPLAY_NUM"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  # A window manager, as on a player's desktop: full screen is a request the manager grants.
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  sleep 1
}

# The window's geometry decides how game pixels map onto the screen.
geometry() {
  local info
  info=$(xwininfo -id "$WIN" 2>/dev/null)
  GX=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
  GY=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
  GW=$(awk '/Width:/ { print $NF }' <<<"$info")
  GH=$(awk '/Height:/ { print $NF }' <<<"$info")
}
# Game pixel -> screen pixel (the game keeps its 800 x 600 picture, letterboxed when scaled).
to_screen() {
  local x=$1 y=$2 s ox oy
  s=$(awk -v w="$GW" -v h="$GH" 'BEGIN { s = w / 800; if (h / 600 < s) s = h / 600; print s }')
  ox=$(awk -v w="$GW" -v s="$s" 'BEGIN { print int((w - 800 * s) / 2) }')
  oy=$(awk -v h="$GH" -v s="$s" 'BEGIN { print int((h - 600 * s) / 2) }')
  SX=$(awk -v g="$GX" -v o="$ox" -v s="$s" -v x="$x" 'BEGIN { print int(g + o + x * s) }')
  SY=$(awk -v g="$GY" -v o="$oy" -v s="$s" -v y="$y" 'BEGIN { print int(g + o + y * s) }')
}
