#!/usr/bin/env bash
# A scanner in keyboard mode that loses the GS: xdotool types a marking code
# without its two GS at a scanner's pace into the real program under Xvfb, the
# operator asks for "Разобрать чтение…" on the read's last line from the
# keyboard, and the analysis is read back over the accessibility bus; then the
# scanner's next keys, typed beside the analysis and into it, count as the form's,
# and so do those of a scan typed while the log's context menu is open.
# With SCREENSHOT_DIR set, the analysis window is saved there as read-analysis.png.
set -euo pipefail
unset QT_QPA_PLATFORM
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"

start_display 1024x768x24
start_accessibility_bus
start_program "$program"

# 01 GTIN, 21 serial (13), 91 key (4), 92 verification code (44): 85 characters
# with the GS, 83 without; Enter at once after them, as the scanner's suffix.
xdotool type --delay 10 '0104600439931256' '21ABC1234567890' '91EE06' \
    $'92dGVzdCBkYXRhIGZvciB0aGUgcmVhbCB3aW5kb3cgdGVz\r'
/usr/bin/python3 "$here/read_window.py" 84 >/dev/null

analyse_last_read orvatek
analysis=$(/usr/bin/python3 "$here/atspi.py" orvatek text 'Разбор чтения' .)
analysis_window=$(xdotool search --onlyvisible --name '^Разбор чтения' | head -n1)

# The scanner goes on while the analysis is open: every key of the next read is
# logged once, as in the form, the window that opened beside it takes none; nor
# does it when a window manager gives it the focus (forced here), where Escape and
# Enter are the scanner's keys too, not the window's.
lines() { /usr/bin/python3 "$here/read_window.py" "$1" | grep -c '^log:'; }
xdotool type --delay 10 $'4600439931256\r'
[ "$(lines 98)" = 98 ] || { echo "keys lost or logged twice beside the analysis"; exit 1; }
xdotool windowfocus --sync "$analysis_window"
xdotool type --delay 10 $'12 \e\r'
[ "$(lines 103)" = 103 ] || { echo "keys at the analysis window lost or logged twice"; exit 1; }
/usr/bin/python3 "$here/read_window.py" 103 | tail -n 7 | grep -qz 'KeyAscii=49.*KeyAscii=50.*KeyAscii=32.*KeyAscii=27.*KeyAscii=13' \
    || { echo "keys at the analysis window not logged as typed"; exit 1; }
xdotool search --onlyvisible --name '^Разбор чтения' >/dev/null

# A scan while the log's context menu is open: its first character closes the
# menu, choosing nothing (no window more than before), and every key is logged
# once, its closing Enter the form's.
windows=$(visible_windows)
read -r x y < <(/usr/bin/python3 "$here/atspi.py" orvatek where 'Журнал')
open_log_menu "$x" "$y"
xdotool type --delay 10 $'45\r'
[ "$(lines 106)" = 106 ] || { echo "keys lost or logged twice at the menu"; exit 1; }
/usr/bin/python3 "$here/read_window.py" 106 | tail -n 4 | grep -qz 'KeyAscii=52.*KeyAscii=53.*KeyAscii=13' \
    || { echo "keys at the menu not logged as typed"; exit 1; }
menu_closed() { [ "$(visible_windows)" = "$windows" ]; }
wait_until menu_closed

for expected in 'Чтение: 84 символа, окончание CR' 'потерян GS после поля (21) (позиция 32)' 'в коде маркировки 83 символа вместо 85' \
    'Похоже на сканер' 'Похоже на национальный код маркировки' '(01) 04600439931256 — GTIN'; do
    grep -q -- "$expected" <<<"$analysis" || {
        printf 'the analysis lacks "%s":\n%s\n' "$expected" "$analysis"; exit 1; }
done
printf 'analysis read back:\n%s\n' "$analysis"
if [ -n "${SCREENSHOT_DIR:-}" ]; then
    import -window "$(xdotool search --name '^Разбор чтения' | head -n1)" "$SCREENSHOT_DIR/read-analysis.png"
fi
