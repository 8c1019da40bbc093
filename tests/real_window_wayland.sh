#!/usr/bin/env bash
# Starts the real program in a headless Wayland session (sway), types into it
# with wtype and reads the window back over the accessibility bus.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
for tool in sway wtype setpriv dbus-daemon /usr/bin/python3 /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "missing: $tool"; exit 1; }
done
if [ "$(id -u)" -eq 0 ]; then
    # sway refuses to run as root: the session runs as nobody, on copies it can read.
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$program" "$here/read_window.py" "$0" "$work/"
    chown -R nobody:nogroup "$work"
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH="$PATH" HOME="$work" \
        bash "$work/$(basename "$0")" "$work/$(basename "$program")"
    exit
fi

XDG_RUNTIME_DIR=$(mktemp -d) # private, mode 0700
export XDG_RUNTIME_DIR
# wtype reads its text in the locale's encoding.
export LC_ALL=C.UTF-8
unset AT_SPI_BUS_ADDRESS
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
trap 'echo "failed at line $LINENO"; tail -n 20 "$XDG_RUNTIME_DIR"/*.log' ERR

echo 'output HEADLESS-1 resolution 640x480' >"$XDG_RUNTIME_DIR/sway.conf"
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$XDG_RUNTIME_DIR/sway.conf" >"$XDG_RUNTIME_DIR/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do compgen -G "$XDG_RUNTIME_DIR/wayland-*.lock" >/dev/null && break; sleep 0.1; done
socket=$(compgen -G "$XDG_RUNTIME_DIR/wayland-*.lock")
export WAYLAND_DISPLAY=$(basename "$socket" .lock)

# A private session bus with the accessibility bus on it, as in the X test.
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | {
    read -r address; read -r pid
    echo "export DBUS_SESSION_BUS_ADDRESS='$address'; dbus_pid=$pid"; })"
pids+=("$dbus_pid")
/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$XDG_RUNTIME_DIR/a11y.log" 2>&1 &
pids+=($!)
sleep 0.5
/usr/libexec/at-spi2-registryd >"$XDG_RUNTIME_DIR/registry.log" 2>&1 &
pids+=($!)

QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$XDG_RUNTIME_DIR/program.log" 2>&1 &
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
    cat "$XDG_RUNTIME_DIR/program.log"
    exit 1
fi
echo "Wayland window logged: ${actual//$'\n'/ }"
