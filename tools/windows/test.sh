#!/bin/bash
# Builds the Windows product, its package and its test programs, and runs them
# under Wine on Xvfb: the portable unit tests, the Win32 serial port on a
# pseudo-terminal mapped to COM1 (a 20 MB flood among them), the real window
# typed into under a US and a Russian layout and fed keys with times of their
# own, and the installer (into a folder that holds another file; refused while
# the program runs; uninstall).
#   tools/windows/test.sh [BUILD_DIR]     (default: build-windows)
# The first run on a machine also builds Qt for Windows (see qt.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)

sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
need=()
for p in wine wine64 xvfb xdotool x11-xkb-utils python3 locales; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi
# Wine takes its Russian code pages from the locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    $sudo sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi

start=$SECONDS
mapfile -t packages < <("$here/package.sh" "$build")
echo "windows: built and packaged in $((SECONDS - start)) s: ${packages[*]}"

export WINEPREFIX=$build/wine WINEDEBUG=-all LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
# No Mono or Gecko to install, and no Linux menu entries for the Start menu's.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export QT_QPA_PLATFORM=windows
scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

# A display of our own; -noreset keeps it when the last client goes.
for n in $(seq 70 99); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
done
Xvfb ":$n" -screen 0 1024x768x24 -noreset -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$n
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w

# The test programs beside the package's DLLs, plugins and qt.conf.
tests=$build/wintests
rm -rf "$tests"
cp -r "$build/package/orvatek" "$tests"
. "$build/windows-deps.txt"
cp "$qt/bin/Qt6Test.dll" "$tests/"
for t in tst_keys tst_eventlog tst_scanbox tst_devices tst_win32port log_form key_times; do
    cp "$build/$t.exe" "$tests/"
done

failed=()
run() { # name command...: one test, its output kept in the scratch folder
    local name=$1; shift
    local t0=$SECONDS
    if "$@" >"$scratch/$name.out" 2>&1; then
        echo "windows: PASS $name ($((SECONDS - t0)) s)"
    else
        echo "windows: FAIL $name ($((SECONDS - t0)) s)"
        tail -40 "$scratch/$name.out"
        # QtTest writes its report in the ANSI code page, Windows-1251 here.
        [ ! -f "$scratch/$name.txt" ] || iconv -c -f CP1251 -t UTF-8 "$scratch/$name.txt" | tail -40
        failed+=("$name")
    fi
}
unit() { # program [report]: a QtTest program; its report goes to a file (Wine's console may mangle it)
    local report=$scratch/${2:-$1}.txt
    wine "$tests/$1.exe" -o "$report,txt" && grep -q '^Totals: .* 0 failed' "$report"
}
for t in tst_keys tst_eventlog tst_scanbox tst_devices; do
    run "$t" unit "$t"
done
# What a key gives on a US layout must not depend on the layout that is active.
ru_keys() {
    local status=0
    setxkbmap -layout ru && unit tst_keys tst_keys_ru || status=$?
    setxkbmap -layout us
    return $status
}
run tst_keys_ru ru_keys
run tst_win32port python3 "$root/tests/windows/pty_device.py" COM1 -- \
    wine "$tests/tst_win32port.exe" -o "$scratch/tst_win32port.txt,txt"
# What the flood measured: memory, the window's longest stall, closing's time.
grep -h '^flood:\|^closing' "$scratch/tst_win32port.out" | sed 's/^/windows: /' || true
# Keys with times of their own keep their gaps across a stall of the window's thread.
run key_times wine "$tests/key_times.exe"
run real_window python3 "$root/tests/windows/real_window.py" "$tests/log_form.exe"
run installer bash "$root/tests/windows/installer_test.sh" "${packages[1]}"

echo "windows: all done in $((SECONDS - start)) s"
if [ ${#failed[@]} -gt 0 ]; then
    echo "windows: failed: ${failed[*]}"
    exit 1
fi
