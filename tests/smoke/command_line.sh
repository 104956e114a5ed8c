#!/usr/bin/env bash
# The real program started oddly: --help and --version answer and end without a display or a
# sound card; an unknown option is refused; without a display the game says so in one line
# and ends at once with status 1 (it must not run on unseen).
#   command_line.sh GAME_BINARY
set -u
GAME=${1:?usage: command_line.sh GAME_BINARY}
WORK=$(mktemp -d /tmp/tangrel-cmdline.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
. "$(dirname "$0")/../e2e/checks.sh"
cd "$WORK" || exit 2
# No display of any kind, no driver asked for, a home of its own.
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR -u TANGREL_NOTICE \
    HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" SDL_AUDIODRIVER=dummy \
    timeout 10 "$GAME" "$@" >"$WORK/out" 2>"$WORK/err"
  RC=$?
}

run --help
check "--help ends with 0" test "$RC" = 0
check "--help prints the usage" grep -q '^Usage: tangrel \[--help | --version\]' "$WORK/out"
check "--help writes nothing on standard error" test ! -s "$WORK/err"

run --version
check "--version ends with 0" test "$RC" = 0
check "--version prints the version" test "$(cat "$WORK/out")" = "tangrel 2.0.0"

run --fullscreen
check "an unknown option ends with 2" test "$RC" = 2
check "an unknown option is named" grep -qx "tangrel: unknown option '--fullscreen'" "$WORK/err"

t0=$(date +%s%N)
run
ms=$(( ($(date +%s%N) - t0) / 1000000 ))
echo "without a display: status $RC after $ms ms; standard error:"; sed 's/^/  /' "$WORK/err"
check "without a display the game ends with 1 (not killed by the timeout)" test "$RC" = 1
check "without a display it ends at once (under 3 s)" test "$ms" -lt 3000
check "without a display it says so in one line" test "$(wc -l <"$WORK/err")" = 1
check "the line names the missing display and SDL's reason" grep -Eq '^tangrel: cannot open a display: .+' "$WORK/err"
check "without a display nothing is written" test ! -e "$WORK/home/.config/tangrel/user.reg" -a ! -e "$WORK/Users.dat"
checks_done
