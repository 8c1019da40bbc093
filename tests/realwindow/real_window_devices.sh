#!/usr/bin/env bash
# Two keyboards under Xvfb: its own "Xvfb keyboard" types a read, and the core
# XTEST keyboard, as xdotool types, adds a key in its middle. Each key line names
# the device it came from, and the read's analysis finds keys of two devices.
# With "openbox" after the typist, under a window manager. With SCREENSHOT_DIR
# set, the tooltip of a key line of each device is saved there.
set -euo pipefail
unset QT_QPA_PLATFORM
program=$1
typist=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"

start_display 1024x768x24
setxkbmap -layout us
start_accessibility_bus
[ "${3:-}" != openbox ] || start_window_manager
start_program "$program"

# "12", then "3" from the core keyboard, then "45" and Enter: one read.
"$typist" 'Xvfb keyboard' d:10 d:11 c:12 d:13 d:14 d:36
lines=$(/usr/bin/python3 "$here/read_window.py" 6 described)
device() { grep "^log:KeyAscii=$1"$'\t' <<<"$lines" | grep -o 'Устройство: «[^»]*»'; }
for code in 49 50 52 53 13; do
    [ "$(device $code)" = 'Устройство: «Xvfb keyboard»' ] ||
        { printf 'key %s not tied to the Xvfb keyboard:\n%s\n' "$code" "$lines"; exit 1; }
done
[ "$(device 51)" = 'Устройство: «Virtual core XTEST keyboard»' ] ||
    { printf 'the middle key not tied to the XTEST keyboard:\n%s\n' "$lines"; exit 1; }

# The tooltips of the first key (the Xvfb keyboard's) and the middle one (XTEST's).
if [ -n "${SCREENSHOT_DIR:-}" ]; then
    placed=$(/usr/bin/python3 "$here/read_window.py" 6 placed)
    for code in 49 51; do
        shown=$(visible_windows)
        xdotool mousemove $(grep "^log:KeyAscii=$code"$'\t' <<<"$placed" | cut -f2)
        wait_until more_windows_than "$shown"
        /usr/bin/import -window root "$SCREENSHOT_DIR/tooltip-$code.png"
        xdotool mousemove 0 0
        wait_until eval '[ "$(visible_windows)" -le "$shown" ]'
    done
fi

# The read's analysis, from its last line.
analyse_last_read orvatek
analysis=$(/usr/bin/python3 "$here/atspi.py" orvatek text 'Разбор чтения' .)
grep -q 'клавиши чтения пришли с двух устройств: «Xvfb keyboard», «Virtual core XTEST keyboard»' <<<"$analysis" ||
    { printf 'no two-devices finding in the analysis:\n%s\n' "$analysis"; exit 1; }
printf 'key lines:\n%s\n' "$lines"

