# Sourced by the real-window tests: a private work directory ($work, mode 0700)
# removed at the end with every process put on pids, and a private session bus
# with the accessibility bus on it. Keys are typed as UTF-8 text whatever the
# caller's locale.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "failed at line $LINENO"; tail -n 20 "$work"/*.log' ERR

start_accessibility_bus() {
    eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | {
        read -r address; read -r pid
        echo "export DBUS_SESSION_BUS_ADDRESS='$address'; dbus_pid=$pid"; })"
    pids+=("$dbus_pid")
    # With it set, Qt 6.4 silently stays off the bus.
    unset AT_SPI_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/a11y.log" 2>&1 &
    pids+=($!)
    sleep 0.5
    /usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &
    pids+=($!)
}

# A display of our own, whichever number is free. Without -noreset the server
# starts afresh whenever its last client leaves, dropping any key map set on it
# and refusing connections while it does.
start_display() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$work/display")"
    # The server may take a moment to accept clients on a loaded machine.
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}

# The program (and its arguments) started on the display and the accessibility
# bus; returns once its window has the focus in the scan box, where keys go.
start_program() {
    export XDG_RUNTIME_DIR="$work"
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@" >"$work/program.log" 2>&1 &
    pids+=($!)
    window=$(timeout 30 xdotool search --sync --name '^Orvatek$' | head -n1)
    xdotool windowfocus --sync "$window"
    /usr/bin/python3 "$here/read_window.py" 0 >/dev/null
}

# Runs the command given, which opens a context menu of the program's window
# ($window) by a click or the menu key, and returns once the menu's window is
# mapped (an override-redirect window of the program; a tooltip is one too, so
# the pointer is kept off lines and controls meanwhile): keys sent before that
# go to the window beneath.
wait_for_menu() {
    local pid id
    pid=$(xdotool getwindowpid "$window")
    "$@"
    for _ in $(seq 300); do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
        done
        sleep 0.1
    done
    echo "no menu up after: $*"
    return 1
}
