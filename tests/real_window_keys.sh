#!/usr/bin/env bash
# Starts the real program under Xvfb, types into it with xdotool through the X
# server's own key path, and reads the window back over the accessibility bus.
set -euo pipefail
unset QT_QPA_PLATFORM AT_SPI_BUS_ADDRESS
# A private session bus, for the accessibility bus to live on.
[ "${ORVATEK_OWN_BUS:-}" = 1 ] || exec env ORVATEK_OWN_BUS=1 dbus-run-session -- bash "$0" "$@"
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'echo "failed at line $LINENO"; tail -n 20 "$work"/*.log' ERR

# A display of our own, whichever number is free. Without -noreset the server
# starts afresh whenever its last client leaves, dropping the key map below.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
# "ж" gets a key of its own before the program starts: else xdotool remaps a spare
# key just while typing it, and a busy program may read it before the new mapping.
xmodmap -e 'keycode 248 = Cyrillic_zhe Cyrillic_ZHE'

/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/a11y.log" 2>&1 &
sleep 0.5
/usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &

export XDG_RUNTIME_DIR="$work"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &

window=$(timeout 30 xdotool search --sync --name '^Orvatek$' | head -n1)
xdotool windowfocus --sync "$window"
# Keys go only once the focus is in the scan box: sent earlier, they would go nowhere.
/usr/bin/python3 "$here/read_window.py" 0 >/dev/null
xdotool type --delay 60 '12'
xdotool key Return
xdotool type --delay 60 'ж'

actual=$(/usr/bin/python3 "$here/read_window.py" 4)
expected=$'log:KeyAscii=49\nlog:KeyAscii=50\nlog:KeyAscii=13\nlog:KeyAscii=230\nscan:12ж'
if [ "$actual" != "$expected" ]; then
    printf 'expected:\n%s\nactual:\n%s\n' "$expected" "$actual"; cat "$work/program.log"; exit 1
fi
echo "real window logged: ${actual//$'\n'/ }"
