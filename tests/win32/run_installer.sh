#!/usr/bin/env bash
# The installer in a fresh Wine prefix, silently: the files in the player's own Programs
# folder, the Start-menu shortcut (its target and working folder read from the .lnk), the
# Apps entry, the game started through the shortcut and played until progress is saved, then
# the silent uninstall: the program gone, Users.dat and the options kept.
#   run_installer.sh SETUP_EXE
set -u
SETUP=$(realpath "${1:?usage: run_installer.sh SETUP_EXE}")
[ -f "$SETUP" ] || { echo "no installer at $SETUP" >&2; exit 2; }
WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$WINE64" ] || { echo "wine64 is not installed" >&2; exit 2; }
WORK=$(mktemp -d /tmp/tangrel-installer.XXXXXX)
SCREEN_W=1024 SCREEN_H=768
. "$(dirname "$0")/../e2e/checks.sh"
. "$(dirname "$0")/../e2e/xsession.sh"
cleanup() { wineserver -k 2>/dev/null; x_session_cleanup; }
trap cleanup EXIT
x_session_start "$SCREEN_W" "$SCREEN_H" 170 || exit 2

export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TANGREL_NO_DIALOGS=1
t0=$(date +%s%N)
"$WINE64" wineboot -i >/dev/null 2>&1
wineserver -w
echo "a fresh Wine prefix took $(( ($(date +%s%N) - t0) / 1000000 )) ms"
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\BrenmoorStudio.Tangrel2'
OPTIONS_KEY='HKCU\Software\Brenmoor Studio\Tangrel'
reg_field() {  # reg_field KEY NAME: the value's data as reg prints it
  "$WINE64" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" 'tolower($1) == tolower(n) { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
unix_path() { "$WINE64" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# --- silent install ----------------------------------------------------------------------
"$WINE64" "$SETUP" /S
wineserver -w
INSTALL_WIN=$(reg_field "$UNINSTALL_KEY" InstallLocation)
INSTALL=$(unix_path "$INSTALL_WIN")
echo "installed into $INSTALL_WIN"
check "the installer writes the Apps entry with the install folder" test -n "$INSTALL_WIN"
check "the folder is the player's own Programs folder" \
  grep -qiE '\\AppData\\Local\\Programs\\Tangrel 2\.0$' <<<"$INSTALL_WIN"
check "the game, its data, music and fonts are there" \
  test -f "$INSTALL/tangrel.exe" -a -f "$INSTALL/Sprites.gpk" -a -f "$INSTALL/Episode0.dat" \
  -a -f "$INSTALL/Sounds/theme1.mid" -a -f "$INSTALL/LiberationSerif-Regular.ttf" -a -f "$INSTALL/uninstall.exe"
check "no progress file comes with the installer" test ! -e "$INSTALL/Users.dat"
check "Apps: DisplayName" test "$(reg_field "$UNINSTALL_KEY" DisplayName)" = "Tangrel 2.0"
check "Apps: DisplayVersion 2.0.0" test "$(reg_field "$UNINSTALL_KEY" DisplayVersion)" = "2.0.0"
check "Apps: Publisher" test "$(reg_field "$UNINSTALL_KEY" Publisher)" = "Brenmoor Studio"
check "Apps: DisplayIcon is the game's own" test "$(reg_field "$UNINSTALL_KEY" DisplayIcon)" = "$INSTALL_WIN\\tangrel.exe,0"
check "Apps: UninstallString" test "$(reg_field "$UNINSTALL_KEY" UninstallString)" = "\"$INSTALL_WIN\\uninstall.exe\""
check "Apps: QuietUninstallString" test "$(reg_field "$UNINSTALL_KEY" QuietUninstallString)" = "\"$INSTALL_WIN\\uninstall.exe\" /S"
check "Apps: NoModify and NoRepair" test "$(reg_field "$UNINSTALL_KEY" NoModify)$(reg_field "$UNINSTALL_KEY" NoRepair)" = "0x10x1"
SIZE=$(( $(reg_field "$UNINSTALL_KEY" EstimatedSize) ))
FOLDER_KB=$(du -sk "$INSTALL" | cut -f1)
echo "EstimatedSize $SIZE KB, the folder $FOLDER_KB KB on this disk"
check "Apps: EstimatedSize is the folder's size in KB (within a tenth)" \
  test "$SIZE" -gt $((FOLDER_KB * 9 / 10)) -a "$SIZE" -lt $((FOLDER_KB * 11 / 10))

# --- the Start-menu shortcut ----------------------------------------------------------------
LNK=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Tangrel 2.0.lnk' | head -1)
check "the Start menu has 'Tangrel 2.0'" test -n "$LNK"
check "no desktop shortcut unless asked" test -z "$(find "$WINEPREFIX/drive_c/users" -path '*Desktop/Tangrel 2.0.lnk')"
# The shell link read field by field: the flags, the item list skipped, the target as the
# LinkInfo's local base path, then the counted UTF-16 strings (name, relative path, working
# folder, ...), each there when its flag is set.
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
read_link() {  # read_link FILE: sets LNK_TARGET and LNK_WORKDIR
  local f=$1 flags pos info base n bit
  LNK_TARGET="" LNK_WORKDIR=""
  [ "$(u32 "$f" 0)" = 76 ] || return 1
  flags=$(u32 "$f" 20) pos=76
  if (( flags & 1 )); then pos=$((pos + 2 + $(u16 "$f" $pos))); fi
  if (( flags & 2 )); then
    info=$(u32 "$f" $pos) base=$(u32 "$f" $((pos + 16)))
    LNK_TARGET=$(dd if="$f" bs=1 skip=$((pos + base)) count=$((info - base)) 2>/dev/null | tr '\0' '\n' | head -1)
    pos=$((pos + info))
  fi
  (( flags & 0x80 )) || return 1  # the strings are UTF-16
  for bit in 4 8 16; do
    (( flags & bit )) || continue
    n=$(u16 "$f" $pos)
    [ "$bit" = 16 ] && LNK_WORKDIR=$(dd if="$f" bs=1 skip=$((pos + 2)) count=$((2 * n)) 2>/dev/null | iconv -f UTF-16LE -t UTF-8 | tr -d '\0')
    pos=$((pos + 2 + 2 * n))
  done
}
read_link "$LNK"
echo "the shortcut: target '$LNK_TARGET', working folder '$LNK_WORKDIR'"
check "the shortcut's target is the installed tangrel.exe" test "$LNK_TARGET" = "$INSTALL_WIN\\tangrel.exe"
check "the shortcut's working folder is the game folder" test "$LNK_WORKDIR" = "$INSTALL_WIN"

# --- the game, started through the shortcut, plays level 0 and saves ----------------------
"$WINE64" reg delete "$OPTIONS_KEY" /f >/dev/null 2>&1
LNK_WIN=$("$WINE64" winepath -w "$LNK" 2>/dev/null | tr -d '\r')
"$WINE64" start "$LNK_WIN" >"$WORK/game.out" 2>&1 &
await_window 300
check "the game's window opens from the shortcut" test -n "$WIN"
shot
check "the menu shows its golden title" is_warm 300 30 200 50
click_at 400 172   # Episode 1, row 0
# A piece comes home 10 px a frame: on a loaded machine Wine's frames come slowly.
for _ in 1 2 3; do xdotool key F1; sleep 4; done
click_at 100 100   # the release completes the level
sleep 4.5
click_at 100 100   # on to level 1
click_at 710 575   # the panel's menu button
click_at 135 456   # Exit
click_at 438 345   # Yes
for _ in $(seq 150); do xdotool search --name "^Tangrel 2.0$" >/dev/null 2>&1 || break; sleep 0.1; done
wineserver -w
check "the game saved its progress in the game folder (its working folder)" \
  test "$(stat -c %s "$INSTALL/Users.dat" 2>/dev/null)" = 5076
check "and level 0 is marked solved" test "$(od -An -tx1 -j24 -N4 "$INSTALL/Users.dat" 2>/dev/null | tr -d ' ')" = "ffffffff"
check "the options are in the registry" test -n "$(reg_field "$OPTIONS_KEY" Tips)"

# --- silent uninstall: the program goes, the player's progress and options stay -------------
"$WINE64" "$INSTALL_WIN\\uninstall.exe" /S
wineserver -w
sleep 1; wineserver -w   # the uninstaller runs from a copy of itself, started as it ends
check "the program is removed" test ! -e "$INSTALL/tangrel.exe" -a ! -e "$INSTALL/uninstall.exe"
check "its data, music and fonts are removed" \
  test ! -e "$INSTALL/Sprites.gpk" -a ! -e "$INSTALL/Sounds" -a ! -e "$INSTALL/LiberationSans-Bold.ttf"
check "only Users.dat is left (the silent answer keeps the progress)" \
  test "$(ls -A "$INSTALL" 2>/dev/null)" = "Users.dat"
check "the kept Users.dat still marks level 0 solved" \
  test "$(od -An -tx1 -j24 -N4 "$INSTALL/Users.dat" 2>/dev/null | tr -d ' ')" = "ffffffff"
check "the Start-menu shortcut is gone" test ! -e "$LNK"
key_exists() { "$WINE64" reg query "$1" >/dev/null 2>&1; }
check "the Apps entry is gone" not key_exists "$UNINSTALL_KEY"
check "the options key stays" test -n "$(reg_field "$OPTIONS_KEY" Tips)"
checks_done
