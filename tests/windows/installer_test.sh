#!/bin/bash
# The Windows installer under Wine, into a folder that already holds a file of
# the operator's: a silent install puts the program and its Start menu entry in
# place, the installed program brings up its window, installing and uninstalling
# are refused while it runs, and the silent uninstall removes what it installed
# and nothing else: the operator's file stays, and the folder goes only once it
# is empty.
#   installer_test.sh SETUP_EXE      (WINEPREFIX and DISPLAY set)
set -euo pipefail
setup=$1
dir='C:\Tools'
unixdir=$WINEPREFIX/drive_c/Tools
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Orvatek.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvatek'
fail() { echo "FAIL: $*"; exit 1; }
status() { local s=0; "$@" >/dev/null 2>&1 || s=$?; echo $s; }

rm -rf "$unixdir"
mkdir -p "$unixdir"
echo "the operator's own" >"$unixdir/notes.txt"
wine "$setup" /S "/D=$dir"
wineserver -w
[ -f "$unixdir/orvatek.exe" ] || fail "no orvatek.exe in $unixdir"
[ -f "$unixdir/uninstall.exe" ] || fail "no uninstaller"
[ -f "$menu" ] || fail "no Start menu entry"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no entry in the installed programs"
echo "PASS silent install into a folder in use"

wine "$unixdir/orvatek.exe" &
program=$!
# Looked for until it is there (60 s at most). A search fails now and then when one
# of the windows Wine makes and drops as a program starts goes while it is looked
# at: that search is simply repeated.
window=""
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^Orvatek$' 2>/dev/null | head -1) || true
    [ -z "$window" ] || break
    sleep 0.1
done
[ -n "$window" ] || fail "the installed program showed no window"
echo "PASS the installed program starts"

# While it runs: both refused with exit code 2, nothing touched. The uninstaller
# runs in place (_?=) so that its own exit code is seen.
before=$(cd "$unixdir" && find . -type f | sort | xargs md5sum)
[ "$(status wine "$setup" /S "/D=$dir")" = 2 ] || fail "installed over the running program"
[ "$(status wine "$unixdir/uninstall.exe" /S "_?=$dir")" = 2 ] \
    || fail "uninstalled the running program"
[ "$(cd "$unixdir" && find . -type f | sort | xargs md5sum)" = "$before" ] \
    || fail "files changed while the program ran"
echo "PASS install and uninstall refused while it runs"
kill "$program"
wineserver -k
wineserver -w

# The uninstaller copies itself away and runs from there: wait for every Wine
# process to end.
wine "$unixdir/uninstall.exe" /S
wineserver -w
[ "$(ls -A "$unixdir")" = notes.txt ] || fail "left behind or deleted: $(ls -A "$unixdir")"
[ ! -e "$menu" ] || fail "Start menu entry left behind"
! wine reg query "$key" >/dev/null 2>&1 || fail "registry entry left behind"
echo "PASS uninstall removes its own files only"

rm "$unixdir/notes.txt"
wine "$setup" /S "/D=$dir"
wineserver -w
wine "$unixdir/uninstall.exe" /S
wineserver -w
[ ! -e "$unixdir" ] || fail "left behind: $(find "$unixdir" | head -5)"
echo "PASS uninstall removes the folder once it is empty"
