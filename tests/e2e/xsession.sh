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
# Where the game puts its 800 x 600 picture in a drawing area of W x H, as "X Y W H": the
# largest fitting size, centred; a whole factor when that keeps nine tenths of it.
picture_box() {
  local w=$1 h=$2 fw fh k
  if [ $((w * 600)) -le $((h * 800)) ]; then fw=$w; fh=$((w * 600 / 800)); else fh=$h; fw=$((h * 800 / 600)); fi
  k=$((fw / 800))
  if [ "$k" -ge 1 ] && [ $((k * 8000)) -ge $((fw * 9)) ]; then fw=$((k * 800)); fh=$((k * 600)); fi
  echo "$(((w - fw) / 2)) $(((h - fh) / 2)) $fw $fh"
}
# Game pixel -> screen pixel (the middle of the screen pixels that show it).
to_screen() {
  local bx by bw bh
  read -r bx by bw bh <<<"$(picture_box "$GW" "$GH")"
  SX=$((GX + bx + (2 * $1 + 1) * bw / 1600))
  SY=$((GY + by + (2 * $2 + 1) * bh / 1200))
}
