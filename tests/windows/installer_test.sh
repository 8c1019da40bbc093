#!/bin/bash
# The Windows installer under Wine: a silent install puts the program and its
# Start menu entry in place, the installed program brings up its window, and the
# silent uninstall leaves nothing of it behind (files, entry, registry).
#   installer_test.sh SETUP_EXE      (WINEPREFIX and DISPLAY set)
set -euo pipefail
setup=$1
dir='C:\Orvatek'
unixdir=$WINEPREFIX/drive_c/Orvatek
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Orvatek.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvatek'
fail() { echo "FAIL: $*"; exit 1; }

wine "$setup" /S "/D=$dir"
wineserver -w
[ -f "$unixdir/orvatek.exe" ] || fail "no orvatek.exe in $unixdir"
[ -f "$unixdir/uninstall.exe" ] || fail "no uninstaller"
[ -f "$menu" ] || fail "no Start menu entry"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no entry in the installed programs"
echo "PASS silent install"

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
kill "$program"
wineserver -k
wineserver -w
echo "PASS the installed program starts"

# The uninstaller copies itself away and runs from there: wait for every Wine
# process to end.
wine "$unixdir/uninstall.exe" /S
wineserver -w
[ ! -e "$unixdir" ] || fail "left behind: $(find "$unixdir" | head -5)"
[ ! -e "$menu" ] || fail "Start menu entry left behind"
! wine reg query "$key" >/dev/null 2>&1 || fail "registry entry left behind"
echo "PASS uninstall leaves nothing"
