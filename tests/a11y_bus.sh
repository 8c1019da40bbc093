# Sourced by the real-window tests: a private session bus with the accessibility
# bus on it; logs go to $work, process ids onto pids. With AT_SPI_BUS_ADDRESS
# set, Qt 6.4 silently stays off the bus.
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 | {
    read -r address; read -r pid
    echo "export DBUS_SESSION_BUS_ADDRESS='$address'; dbus_pid=$pid"; })"
pids+=("$dbus_pid")
unset AT_SPI_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/a11y.log" 2>&1 &
pids+=($!)
sleep 0.5
/usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &
pids+=($!)
