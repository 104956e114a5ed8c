# Plays the end-to-end walk (tests/e2e/walk.txt, whose head explains its steps) through a
# driver. Sourced by a driver after checks.sh and xsession.sh; the driver sets GAME (the game
# folder) and gives the functions that differ between builds:
#   drv_start [noaudio]   start the game (GAME_PID) and wait for its window (await_window)
#   drv_stop              ask it to close as the system does
#   drv_forget            remove the stored options
#   drv_setting NAME      a stored option as eight hex digits, nothing when it is not stored
#   drv_settings_count    how many values the options key holds
#   drv_sound_heard       (where a step asks) the sound output carried sound
# and may set E2E_END_TENTHS, how long the game may take to end (tenths of a second, 100).
# Input, pictures and the colour tests are xsession.sh's; the game's error output is read
# from $WORK/game.err and the progress file from $GAME/Users.dat.

WALK_FILE="$(dirname "${BASH_SOURCE[0]}")/walk.txt"

walk_picture() {  # NAME: the game's picture with the pointer out of the way, into $WORK/NAME.png
  to_screen 5 5; xdotool mousemove "$SX" "$SY"; sleep 1
  shot
  convert "$WORK/shot.png" -crop "800x600+$GX+$GY" +repage "$WORK/$1.png"
}
walk_settings() {  # NAME=V...
  local pair
  for pair in "$@"; do
    [ "$(drv_setting "${pair%%=*}")" = "$(printf '%08x' "${pair#*=}")" ] || return 1
  done
}
walk_settings_bool() {  # NAME...
  local name v shown="" ok=0
  for name in "$@"; do
    v=$(drv_setting "$name")
    shown="$shown $name=$v"
    [[ $v =~ ^0000000[01]$ ]] || ok=1
  done
  echo "stored:$shown"
  return "$ok"
}
walk_progress_size() { test "$(stat -c %s "$GAME/Users.dat" 2>/dev/null)" -eq "$1"; }
walk_progress_bytes() {  # OFFSET HEX
  test "$(od -An -tx1 -j"$1" -N$((${#2} / 2)) "$GAME/Users.dat" 2>/dev/null | tr -d ' \n')" = "$2"
}

# walk_check MESSAGE [not] TEST ARGUMENTS...
walk_check() {
  local what=$1 neg=""
  shift
  if [ "$1" = not ]; then neg=not; shift; fi
  local t=$1
  shift
  case $t in
    window) check "$what" $neg test -n "$WIN" ;;
    fullscreen) check "$what" $neg is_fullscreen ;;
    windowed) check "$what" $neg is_windowed ;;
    golden | warm | bluish | black) check "$what" $neg "is_$t" "$@" ;;
    differs) check "$what" $neg differs "$@" ;;
    running) check "$what" $neg kill -0 "$GAME_PID" ;;
    reported) check "$what" $neg grep -q "$*" "$WORK/game.err" ;;
    ended) check "$what" $neg ended_by_itself "${E2E_END_TENTHS:-100}" ;;
    status) check "$what" $neg test "${GAME_RC:-1}" -eq "$1" ;;
    settings_count) check "$what" $neg test "$(drv_settings_count)" -eq "$1" ;;
    settings) check "$what" $neg walk_settings "$@" ;;
    settings_bool) check "$what" $neg walk_settings_bool "$@" ;;
    progress_size) check "$what" $neg walk_progress_size "$1" ;;
    progress_bytes) check "$what" $neg walk_progress_bytes "$1" "$2" ;;
    sound_heard) check "$what" $neg drv_sound_heard ;;
    *) bad "$what: no such test \"$t\" in $WALK_FILE" ;;
  esac
}

# walk BUILD [FILE]: every step of FILE (walk.txt) for BUILD, in order.
walk() {
  local build=$1 file=${2:-$WALK_FILE} line what builds step n=0
  local -a a
  while IFS= read -r -u 3 line || [ -n "$line" ]; do
    n=$((n + 1))
    case $line in '' | '#'*) continue ;; esac
    what=""
    if [[ $line == *' | '* ]]; then what=${line#* | }; line=${line%% | *}; fi
    read -r builds step line <<<"$line"
    [ "$builds" = "*" ] || [[ ",$builds," == *",$build,"* ]] || continue
    read -r -a a <<<"$line"
    case $step in
      start) drv_start "${a[@]}" ;;
      click) click_at "${a[0]}" "${a[1]}" ;;
      key) xdotool key "${a[0]}" ;;
      wait) sleep "${a[0]}" ;;
      shot) shot ;;
      picture) walk_picture "${a[0]}" ;;
      stop) drv_stop ;;
      wait_end) ended_by_itself "${E2E_END_TENTHS:-100}" ;;
      forget) drv_forget ;;
      hide) mv "$GAME/${a[0]}" "$WORK/${a[0]}.away" ;;
      restore) mv "$WORK/${a[0]}.away" "$GAME/${a[0]}" ;;
      check) walk_check "$what" "${a[@]}" ;;
      *) bad "$file:$n: no such step \"$step\"" ;;
    esac
  done 3<"$file"
}
