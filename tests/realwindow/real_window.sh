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

# Runs the command until it succeeds, every 0.1 s for at most 30 s: a wait for a
# state, however slow the machine.
wait_until() {
    for _ in $(seq 300); do "$@" >/dev/null 2>&1 && return; sleep 0.1; done
    echo "still not so after 30 s: $*" >&2
    return 1
}

# Whether a name is owned on the bus at $1 (a name asked for before its owner
# has it would be started a second time from its service file).
has_owner() {
    dbus-send --bus="$1" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$2" | grep -q 'boolean true'
}

start_accessibility_bus() {
    eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | {
        read -r address; read -r pid
        echo "export DBUS_SESSION_BUS_ADDRESS='$address'; dbus_pid=$pid"; })"
    pids+=("$dbus_pid")
    # With it set, Qt 6.4 silently stays off the bus.
    unset AT_SPI_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/a11y.log" 2>&1 &
    pids+=($!)
    # The registry and the program ask the launcher for the accessibility bus.
    wait_until has_owner "$DBUS_SESSION_BUS_ADDRESS" org.a11y.Bus
    local a11y
    a11y=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress | tr -d ' ')
    /usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &
    pids+=($!)
    wait_until has_owner "$a11y" org.a11y.atspi.Registry
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
    program_pid=$!
    pids+=("$program_pid")
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Orvatek$' | head -n1)
    xdotool windowfocus --sync "$window"
    /usr/bin/python3 "$here/read_window.py" 0 >/dev/null
}

# The program's mapped X windows, counted; more than $1 of them.
visible_windows() {
    xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | wc -l
}
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }

# open_log_menu X Y: right-clicks at X Y and returns once the context menu is up,
# so that keys sent next reach it (before that they go to the window under it).
# Qt keeps pop-up menus off the accessibility bus; under Xvfb without a window
# manager a menu is an X window of the program's own (override-redirect), so the
# menu is up when the program ($program_pid) shows one window more than before
# the click. A tooltip that comes up meanwhile counts as well: click where none
# shows.
open_log_menu() {
    local before
    before=$(visible_windows)
    xdotool mousemove "$1" "$2" click 3
    wait_until more_windows_than "$before"
}

# analyse_last_read APP: the log's last line made current from the keyboard (a
# click first gives the log the focus, and a window manager hands the click on
# only once it has activated the window), then "Разобрать чтение…" from the menu
# key. Qt keeps pop-up menus off the accessibility bus: the entry is chosen with
# the keys, third from the bottom. The pointer is taken off the log, where a
# line's tooltip would count as the menu.
analyse_last_read() {
    local x y before
    read -r x y < <(/usr/bin/python3 "$here/atspi.py" "$1" where 'Журнал')
    xdotool mousemove "$x" "$y" click 1 mousemove 1000 740
    /usr/bin/python3 "$here/atspi.py" "$1" focused 'Журнал' >/dev/null
    xdotool key End
    before=$(visible_windows)
    xdotool key Menu
    wait_until more_windows_than "$before"
    xdotool key --delay 100 Up Up Up Return
}

# A window manager on the display, as every desktop has one (openbox): returns
# once it manages windows.
wm_is_up() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
start_window_manager() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    wait_until wm_is_up
}

# The window on top of the window manager's stacking order.
top_window() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*, //; s/.* //'; }
