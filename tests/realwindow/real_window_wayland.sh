#!/usr/bin/env bash
# Starts the real program in a headless Wayland session (sway), types into it
# with wtype and reads the window back over the accessibility bus.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -eq 0 ]; then
    # sway refuses to run as root: the session runs as nobody, on copies it can read.
    work=$(mktemp -d /tmp/orvatek-wayland.XXXXXX) # where nobody can reach it
    trap 'rm -rf "$work"' EXIT
    cp "$program" "$here/read_window.py" "$here/real_window.sh" "$0" "$work/"
    chown -R nobody:nogroup "$work"
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH="$PATH" HOME="$work" \
        bash "$work/$(basename "$0")" "$work/$(basename "$program")"
    exit
fi

. "$here/real_window.sh"
export XDG_RUNTIME_DIR=$work
# wtype reads its text in the locale's encoding.
export LC_ALL=C.UTF-8

echo 'output HEADLESS-1 resolution 640x480' >"$work/sway.conf"
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do compgen -G "$work/wayland-*.lock" >/dev/null && break; sleep 0.1; done
WAYLAND_DISPLAY=$(basename "$(compgen -G "$work/wayland-*.lock")" .lock)
export WAYLAND_DISPLAY

start_accessibility_bus
QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &
pids+=($!)
/usr/bin/python3 "$here/read_window.py" 0 >/dev/null

# One wtype, one keymap: its first key may be lost, so a throwaway key goes
# first and "X" (three Tabs on, then Space) clears whatever arrived.
wtype x -k Tab -k Tab -k Tab -k space -s 300 12 -k Return ж -s 100 \
    -M alt -P Alt_L -k KP_0 -k KP_1 -k KP_9 -k KP_2 -p Alt_L -m alt

actual=$(/usr/bin/python3 "$here/read_window.py" 5)
expected=$(printf 'log:KeyAscii=%s\n' 49 50 13 230 192; echo 'scan:12жА')
if [ "$actual" != "$expected" ]; then
    echo "expected:"; echo "$expected"; echo "actual:"; echo "$actual"
    cat "$work/program.log"
    exit 1
fi
# Wayland tells no program which device a key came from, and the key line says so.
/usr/bin/python3 "$here/read_window.py" 5 described | grep -q '^log:KeyAscii=49	.*Устройство: не известно — сеанс Wayland не сообщает' ||
    { echo "a key line under Wayland does not say that the session tells no device"; exit 1; }
echo "Wayland window logged: ${actual//$'\n'/ }"
