# The X session the real game runs in for the end-to-end tests, the package test and the
# memory measure: Xvfb on a free display with a window manager, the mapping of game pixels onto
# it, and what the tests do with the game there: wait for its window, click, read the colours
# of a screenshot, wait for it to end.
# Sourced; the caller sets WORK (removed at exit) and may set GAME_PID (killed at exit); the
# full-screen checks compare with SCREEN_W x SCREEN_H.
XVFB_PID="" WM_PID="" GAME_PID=""

# --- a run's start ------------------------------------------------------------------------
# x_session_game DIR: GAME_DIR, DIR as an absolute path; the run stops (status 2) unless it
# holds a built game (its tangrel).
x_session_game() {
  GAME_DIR=$(cd "$1" && pwd) && [ -x "$GAME_DIR/tangrel" ] && return 0
  echo "no game in $1 (expected $1/tangrel)" >&2
  exit 2
}
# x_session_tools WHO: the X server, the window manager and the X tools are installed, or WHO
# says which one is missing and the run stops (status 2).
x_session_tools() {
  local tool
  for tool in Xvfb openbox xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "$1: $tool is missing (make deps)" >&2; exit 2; }
  done
}
# x_session_work NAME: WORK, a fresh scratch folder /tmp/tangrel-NAME.XXXXXX, removed with
# the session when the script exits (a script with more to end traps EXIT itself afterwards
# and calls x_session_cleanup).
x_session_work() {
  WORK=$(mktemp -d "/tmp/tangrel-$1.XXXXXX")
  trap x_session_cleanup EXIT
}

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

# --- the game in the session ------------------------------------------------------------
# await_window TENTHS [SETTLE_SECONDS]: waits up to TENTHS tenths of a second for the game's
# window (WIN, empty when none showed; WINDOW_MS, how long the wait took), lets it settle
# (1.5 s unless told) and reads its geometry. Fails when no window showed.
await_window() {
  local t0
  t0=$(date +%s%N)
  WIN=""
  for _ in $(seq "$1"); do
    WIN=$(xdotool search --onlyvisible --name "^Tangrel 2.0$" 2>/dev/null | head -1)
    [ -n "$WIN" ] && break
    sleep 0.1
  done
  WINDOW_MS=$(( ($(date +%s%N) - t0) / 1000000 ))
  sleep "${2:-1.5}"
  [ -n "$WIN" ] && geometry
}
# ended_by_itself [TENTHS]: the game (GAME_PID) ends within TENTHS tenths of a second (100
# unless told); its exit status is then in GAME_RC.
ended_by_itself() {
  for _ in $(seq "${1:-100}"); do kill -0 "$GAME_PID" 2>/dev/null || { wait "$GAME_PID"; GAME_RC=$?; GAME_PID=""; return 0; }; sleep 0.1; done
  return 1
}

click_at() { to_screen "$1" "$2"; xdotool mousemove "$SX" "$SY"; sleep 0.25; xdotool click "${3:-1}"; sleep 0.5; }
# The whole screen into $WORK/shot.png; numbered copies land in E2E_SHOTS when it names a folder.
shot() {
  import -window root "$WORK/shot.png"
  if [ -n "${E2E_SHOTS:-}" ]; then SHOT_N=$((${SHOT_N:-0} + 1)); cp "$WORK/shot.png" "$E2E_SHOTS/$SHOT_N.png"; fi
}
# Mean colour of a game rectangle (x y w h) on the last shot, as "R G B".
mean() {
  to_screen "$1" "$2"; local x0=$SX y0=$SY
  to_screen $(($1 + $3)) $(($2 + $4)); local w=$((SX - x0)) h=$((SY - y0))
  convert "$WORK/shot.png" -crop "${w}x${h}+${x0}+${y0}" +repage -scale '1x1!' \
    -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}
is_golden() { read -r r g b <<<"$(mean "$@")"; [ "$r" -gt 140 ] && [ "$r" -gt "$b" ] && [ "$g" -gt "$b" ]; }
# Gold on dark wood: the captions and panel buttons average to a warm brown.
is_warm() { read -r r g b <<<"$(mean "$@")"; [ "$r" -gt 60 ] && [ "$r" -gt $((b + 30)) ]; }
is_bluish() { read -r r g b <<<"$(mean "$@")"; [ "$b" -gt "$r" ]; }
is_black() { read -r r g b <<<"$(mean "$@")"; [ "$r" -lt 8 ] && [ "$g" -lt 8 ] && [ "$b" -lt 8 ]; }
differs() {  # two game rectangles of one shot differ clearly in mean colour
  read -r r1 g1 b1 <<<"$(mean "$1" "$2" "$5" "$6")"
  read -r r2 g2 b2 <<<"$(mean "$3" "$4" "$5" "$6")"
  [ $(( (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2) )) -gt 200 ]
}
is_fullscreen() { geometry; [ "$GW" -eq "$SCREEN_W" ] && [ "$GH" -eq "$SCREEN_H" ]; }
is_windowed() { geometry; [ "$GW" -eq 800 ] && [ "$GH" -eq 600 ]; }
