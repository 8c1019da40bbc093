#!/usr/bin/env bash
# Starts the real program under Xvfb, types into it with xdotool through the X
# server's own key path, and reads the window back over the accessibility bus.
set -euo pipefail
unset QT_QPA_PLATFORM
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"

start_display 640x480x24
# Give "ж" a key of its own before the program starts. Otherwise xdotool remaps a
# spare key just while typing it, and a busy program may read the key before it
# has seen the new mapping.
xmodmap -e 'keycode 248 = Cyrillic_zhe Cyrillic_ZHE'

start_accessibility_bus

# Type only once the window is up with the focus in its scan box: on a loaded
# machine keys sent earlier would go nowhere.
start_program "$program"
xdotool type --delay 60 '12'
xdotool key Return
xdotool type --delay 60 'ж'

# Keys as the scanner's home platform gives them (Ctrl+A still selects all),
# Alt codes on the keypad (1251 and 866), and a Russian layout with keys sent
# by their codes, as a scanner presses them: A with Shift, then Ctrl+].
xdotool key --delay 60 ctrl+a 5 6 Left Delete ctrl+BackSpace ctrl+Return ctrl+bracketright
xdotool keydown alt key --delay 60 KP_0 KP_1 KP_9 KP_2 keyup alt keydown alt key --delay 60 KP_1 KP_2 KP_8 keyup alt
# The server tells the program of a new key map before any key pressed after it.
setxkbmap -layout ru
/usr/bin/python3 -c 'import sys; from Xlib import display; from Xlib.ext import xtest
d = display.Display()
for code, down in ((50, 2), (38, 2), (38, 3), (50, 3), (37, 2), (35, 2), (35, 3), (37, 3)):
    xtest.fake_input(d, down, code); d.sync()'

# US International: the keys of ' and e, pressed by their codes, make "é" through
# the input method; it and "ä", which Windows-1251 lacks, are logged as 63.
setxkbmap -layout us -variant intl
/usr/bin/python3 -c 'from Xlib import display; from Xlib.ext import xtest
d = display.Display()
for code, down in ((48, 2), (48, 3), (26, 2), (26, 3)):
    xtest.fake_input(d, down, code); d.sync()'
xdotool type --delay 60 'ä'

seen=$(/usr/bin/python3 "$here/read_window.py" 16 described)
actual=$(cut -f1 <<<"$seen")
expected=$(printf 'log:KeyAscii=%s\n' 49 50 13 230 1 53 54 127 10 29 192 192 212 29 63 63; echo 'scan:ААФéä')
if [ "$actual" != "$expected" ]; then
    printf 'expected:\n%s\nactual:\n%s\n' "$expected" "$actual"; cat "$work/program.log"; exit 1
fi
echo "real window logged: ${actual//$'\n'/ }"

# What a key line says about itself, as a screen reader gets it: the character,
# the key by its US label with its X key code in passing (and no layout hint on a
# US layout) with the time of day, the Alt code that made a character, the
# wrong-layout hint, the dead key's composition and the character without a code.
described() {
    sed -n "$1p" <<<"$seen" | grep -q -- "$2" || { printf 'line %s lacks "%s":\n%s\n' "$1" "$2" "$seen"; exit 1; }
}
described 1 '^log:KeyAscii=49	Символ: 49 (0x31), «1» | Клавиша «1» (код клавиши 10)\. | Устройство: «Virtual core XTEST keyboard» | Время: [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]\{3\}$'
described 11 'Alt-кодом: Alt+0192 '
described 12 'Alt-кодом: Alt+128 '
described 13 'Клавиша «A» напечатала «Ф» (212), а на раскладке США даёт «A» (65)'
described 15 '«é» (U+00E9) .*мёртвой клавишей «.» и клавишей «E».* переключите'
described 16 'Символ «ä» (U+00E4) в Windows-1251 кода не имеет'

# Clearing, as screen readers count it: no line, then one for the next key.
xdotool mousemove --window "$window" 180 100 click 1
for _ in $(seq 50); do
    count=$(/usr/bin/python3 "$here/read_window.py" 0 | grep -c '^log:' || true)
    [ "$count" = 0 ] && break
    sleep 0.2
done
xdotool type --delay 60 '7'
after=$(/usr/bin/python3 "$here/read_window.py" 1 | grep '^log:' || true)
if [ "$count" != 0 ] || [ "$after" != 'log:KeyAscii=55' ]; then
    printf 'after clearing: %s lines, then:\n%s\n' "$count" "$after"; exit 1
fi
echo "cleared: 0 lines, then $after"

# Lines typed as fast as the X server takes them are told to screen readers at
# most once per 100 ms (with one more for the last of them), not once a line.
read -r events seconds probes < <(/usr/bin/python3 "$here/count_events.py" xdotool type --delay 1 "$(printf '%0300d' 0)")
/usr/bin/python3 "$here/read_window.py" $((301 + probes)) >/dev/null
echo "300 lines told in $events events over $seconds s"
if [ "$events" -lt 1 ] || [ "$events" -gt "$(awk -v s="$seconds" 'BEGIN { print int(s * 10) + 2 }')" ]; then
    exit 1
fi
