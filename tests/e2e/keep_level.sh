#!/usr/bin/env bash
# The level in play survives the focus going to another window and coming back, minimise and
# restore, and the screen-mode switch; keys without a code of their own still count as keys.
# The real game in Xvfb, driven with xdotool.
#   keep_level.sh GAME_DIR
set -u
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xsession.sh"
x_session_game "${1:?usage: keep_level.sh GAME_DIR}"
x_session_work keep
SCREEN_W=1024 SCREEN_H=768
OTHER_PID=""
cleanup() {
  [ -n "$OTHER_PID" ] && kill "$OTHER_PID" 2>/dev/null
  x_session_cleanup
}
trap cleanup EXIT

x_session_start "$SCREEN_W" "$SCREEN_H" 51 || exit 2

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
export SDL_AUDIODRIVER=dummy TANGREL_NO_DIALOGS=1
mkdir -p "$HOME"
cp -r "$GAME_DIR" "$WORK/game"

(cd "$WORK/game" && exec ./tangrel >"$WORK/game.out" 2>"$WORK/game.err") &
GAME_PID=$!
await_window 100 || { bad "the game's window shows"; checks_done; exit 1; }

# The slot-box's mean colour on the last shot, and whether two such colours are close.
slot() { mean 310 110 180 180; }
close_to() {
  local r1 g1 b1 r2 g2 b2
  read -r r1 g1 b1 <<<"$1"
  read -r r2 g2 b2 <<<"$2"
  [ $(( (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2) )) -le 30 ]
}
far_from() { ! close_to "$@"; }

xdotool key alt+Return; sleep 2
check "Alt+Enter switches to a window" is_windowed
click_at 400 172   # Episode 1, row 0: level 0
shot
EMPTY=$(slot)
check "level 0 starts with an empty slot" is_bluish 360 160 80 80

xdotool key F1; sleep 2   # the first piece moves into its place
shot
PLACED=$(slot)
check "F1 placed a piece: the slot is no longer empty" far_from "$PLACED" "$EMPTY"

# Another window takes the focus, then the game gets it back.
xmessage -geometry 300x100+20+20 "another window" >/dev/null 2>&1 &
OTHER_PID=$!
for _ in $(seq 30); do
  OTHER=$(xdotool search --onlyvisible --name "^xmessage$" 2>/dev/null | head -1)
  [ -n "$OTHER" ] && break
  sleep 0.1
done
check "another window showed" test -n "$OTHER"
xdotool windowactivate --sync "$OTHER" 2>/dev/null; sleep 1
check "the other window has the focus" test "$(xdotool getactivewindow)" = "$OTHER"
xdotool windowactivate --sync "$WIN" 2>/dev/null; sleep 1.5
check "the game has the focus again" test "$(xdotool getactivewindow)" = "$WIN"
shot
check "after the focus came back the piece is still in the slot" close_to "$(slot)" "$PLACED"

# Minimised and restored.
xdotool windowminimize --sync "$WIN" 2>/dev/null; sleep 1
xdotool windowactivate --sync "$WIN" 2>/dev/null; sleep 1.5
geometry
shot
check "after a minimise and restore the piece is still in the slot" close_to "$(slot)" "$PLACED"

# Full screen and back.
xdotool key alt+Return; sleep 2
check "Alt+Enter switches to full screen" is_fullscreen
shot
check "in full screen the piece is still in the slot" close_to "$(slot)" "$PLACED"
xdotool key alt+Return; sleep 2
check "Alt+Enter switches back to a window" is_windowed
shot
check "back in the window the piece is still in the slot" close_to "$(slot)" "$PLACED"

# Keys the translation has no code of its own for are keys too: on a German layout the o and
# a umlauts and the ISO key beside Shift close the message box as any key does.
setxkbmap de 2>/dev/null || echo "(no German layout: the umlauts go by a spare key code)"
sleep 0.5
for k in odiaeresis adiaeresis less; do
  xdotool key space; sleep 1; shot
  check "Space opens the message box ($k next)" is_black 10 10 60 60
  xdotool key "$k"; sleep 1; shot
  check "the key $k closes it" not is_black 10 10 60 60
done
check "and the piece is still in the slot" close_to "$(slot)" "$PLACED"

kill -TERM "$GAME_PID"
check "the game closes the normal way" ended_by_itself
check "the game exits with status 0" test "${GAME_RC:-1}" -eq 0
check "no error was reported" test ! -s "$WORK/game.err"

checks_done
