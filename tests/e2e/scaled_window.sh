# The window the player resizes: the picture scales, keeps its proportions, and the pointer
# still lands on what it shows; the size is remembered; a first window on a large desktop
# opens at a whole multiple of 800 x 600. Sourced by run_e2e.sh, after its other steps.

# A player who plays in a window, sounds and tips off; no window size remembered yet.
window_options() {
  mkdir -p "$(dirname "$REG")"
  printf '[\\Software\\Brenmoor Studio\\Tangrel]\n"Sounds"=dword:00000000\n"Music"=dword:00000000\n"Difficulty"=dword:00000001\n"Full"=dword:00000000\n"Tips"=dword:00000000\n"3D"=dword:00000000\n' >"$REG"
}
window_is() { geometry; [ "$GW" -eq "$1" ] && [ "$GH" -eq "$2" ]; }
# Mean red of a game rectangle: a hovered level row glows gold.
red_of() { read -r r _ _ <<<"$(mean "$@")"; echo "$r"; }
# The row under the pointer glows, its neighbours above and below do not.
row_lit() {  # x y of the row's top-left corner
  local mid up down
  mid=$(red_of "$1" "$2" 170 30); up=$(red_of "$1" $(($2 - 31)) 170 30); down=$(red_of "$1" $(($2 + 31)) 170 30)
  [ "$mid" -gt $((up + 15)) ] && [ "$mid" -gt $((down + 15)) ]
}
# A strip of the screen left of the picture, inside the window: the black bar.
left_bar_black() {
  local bx by bw bh
  read -r bx by bw bh <<<"$(picture_box "$GW" "$GH")"
  [ "$bx" -ge 4 ] || return 1
  convert "$WORK/shot.png" -crop "$((bx - 2))x$((GH - 20))+$((GX + 1))+$((GY + 10))" +repage -scale '1x1!' \
    -format '%[fx:int(255*r)+int(255*g)+int(255*b)]' info: | { read -r v; [ "$v" -lt 10 ]; }
}

# --- resized on a 1024 x 768 desktop --------------------------------------------------
window_options
start_game
check "a window player's first start on a small desktop: 800 x 600" window_is 800 600
xdotool windowsize "$WIN" 1000 700; sleep 1.2
check "the window takes the size the player drags it to" window_is 1000 700
to_screen 620 269; xdotool mousemove "$SX" "$SY"; sleep 0.6; shot
check "1000 x 700: the menu fills the height, its title where it belongs" is_warm 300 30 200 50
check "1000 x 700: black bars left and right" left_bar_black
check "the pointer over level 13's row at its scaled place lights that row" row_lit 530 253
# Episode 3, then its level 50 in the right column (a level with the blue playing field).
click_at 180 208
click_at 620 176; shot
check "clicks at their scaled places open episode 3 and start its level 50" is_bluish 360 160 80 80
xdotool key alt+Return; sleep 2
check "Alt+Enter from the resized window: full screen" is_fullscreen
xdotool key alt+Return; sleep 2
check "and back: the window has its size again" window_is 1000 700
kill -TERM "$GAME_PID"
check "the resized window closes normally" ended_by_itself
check "the size is saved beside the options" test "$(reg_value Width) $(reg_value Height)" = "000003e8 000002bc"
check "the options key still holds exactly its six values" \
  test "$(drv_settings_count)" -eq 6
start_game
check "the next start opens at the saved size" window_is 1000 700
kill -TERM "$GAME_PID"
ended_by_itself

# --- a first window on a large desktop ------------------------------------------------
kill "$WM_PID" "$XVFB_PID" 2>/dev/null
wait "$WM_PID" "$XVFB_PID" 2>/dev/null
WM_PID="" XVFB_PID=""
SCREEN_W=2560 SCREEN_H=1600
x_session_start "$SCREEN_W" "$SCREEN_H" 110 || { bad "no large X session"; return 0; }
window_options
start_game
check "a first window on a 2560 x 1600 desktop opens at 2x: 1600 x 1200" window_is 1600 1200
to_screen 400 203; xdotool mousemove "$SX" "$SY"; sleep 0.6; shot
check "2x: the menu title where it belongs" is_warm 300 30 200 50
check "2x: the pointer over level 1's row lights it" row_lit 310 191
xdotool windowsize "$WIN" 1300 900; sleep 1.2; geometry
to_screen 400 296; xdotool mousemove "$SX" "$SY"; sleep 0.6; shot
check "1300 x 900 (1.5x): the pointer over level 4's row lights it" row_lit 310 284
xdotool click 1; sleep 0.8; shot
check "1.5x: a click on the row starts a level" is_bluish 360 160 80 80
kill -TERM "$GAME_PID"
check "closes normally" ended_by_itself
check "the last size is saved" test "$(reg_value Width) $(reg_value Height)" = "00000514 00000384"
