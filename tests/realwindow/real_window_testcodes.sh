#!/usr/bin/env bash
# The test codes window of the real form under Xvfb, its port on a pseudo-terminal:
# opened from the log's context menu, moved on to the GS1 DataMatrix marking
# code, and sent that code's content through the terminal as a scanner without a
# suffix sends it, once whole and once with its GS lost; the verdict, the window's
# accessible description, is read back over the accessibility bus each time.
# With SCREENSHOT_DIR set, the window with the second verdict is saved there as
# test-codes.png.
set -euo pipefail
unset QT_QPA_PLATFORM
manual_form=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"
atspi() { /usr/bin/python3 "$here/atspi.py" manual_form "$@"; }

start_display 1366x768x24
start_accessibility_bus
export XDG_RUNTIME_DIR="$work"

# The scanner's side of the terminal is socat's standard input, held open here.
mkfifo "$work/scanner"
socat -u STDIN "pty,raw,echo=0,link=$work/tty" <"$work/scanner" 2>"$work/socat.log" &
pids+=($!)
exec 4>"$work/scanner"
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.1; done

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$manual_form" "$work/tty" >"$work/program.log" 2>&1 &
pids+=($!)
# The mode box by its accessible action, as a screen reader toggles it.
atspi press 'интерфейс RS-232' >/dev/null
atspi press 'Открыть порт' >/dev/null
atspi describe 'Состояние порта' '^Открыт COM1' >/dev/null

read -r x y < <(atspi where 'Журнал')
# Qt keeps pop-up menus off the accessibility bus: the entry, second from the
# bottom, is chosen with the keys.
xdotool mousemove "$x" "$y" click 3
xdotool key --delay 100 Up Up Return
for _ in 1 2 3; do atspi press 'Следующий ▶' >/dev/null; done
atspi where 'GS1 DataMatrix: код маркировки' >/dev/null

gs=$'\x1d'
code="0102001234567893"$'21aB3\'xY%Zq&7<R'"${gs}91AB12${gs}92T3J2YXRlazogbWFkZS11cCB0ZXN0IGRhdGEgb25seSE="
printf '%s' "$code" >&4
matched=$(atspi describe 'Тестовые коды' '^Совпало')
printf '%s' "${code//$gs/}" >&4
lost=$(atspi describe 'Тестовые коды' '^Не совпало(.|\n)*потерян GS')
printf 'whole: %s\nwithout GS: %s\n' "$matched" "$lost"
if [ -n "${SCREENSHOT_DIR:-}" ]; then
    import -window "$(xdotool search --name '^Тестовые коды$' | head -n1)" "$SCREENSHOT_DIR/test-codes.png"
fi
