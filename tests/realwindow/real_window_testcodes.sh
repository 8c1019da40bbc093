#!/usr/bin/env bash
# The test codes window of the real form on a small screen (1024 by 768) under
# Xvfb, its port on a pseudo-terminal: opened from the log's context menu, moved
# through all nine codes, each with its name, verdict and buttons on the screen and
# the window of one size, back to the GS1 DataMatrix marking code, and sent that
# code's content through the terminal, once whole as a scanner set to send its
# identifier and a CR sends it and once with its GS lost and no suffix; the
# verdict and the tally, the window's accessible description, are read back over
# the accessibility bus each time.
# Then the operator's own code typed into its dialog (Cyrillic and «GS»), shown in
# place of the test code, the keyboard back with the main window, and a read of it
# judged a match.
# With SCREENSHOT_DIR set, the window with the second verdict is saved there as
# test-codes.png, and the window with the own code's verdict as
# test-codes-own.png.
set -euo pipefail
unset QT_QPA_PLATFORM
manual_form=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"
atspi() { /usr/bin/python3 "$here/atspi.py" manual_form "$@"; }

start_display 1024x768x24
# Keys of their own for what the own code types that a US layout lacks, before
# the program starts; otherwise xdotool remaps a spare key just while typing each,
# and a busy program may read it before it has seen the new mapping.
xmodmap -e 'keycode 219 = Cyrillic_io Cyrillic_IO' -e 'keycode 222 = Cyrillic_zhe Cyrillic_ZHE' \
    -e 'keycode 230 = guillemotleft guillemotright'
start_accessibility_bus
export XDG_RUNTIME_DIR="$work"

# The scanner's side of the terminal is socat's standard input, held open here.
mkfifo "$work/scanner"
socat -u STDIN "pty,raw,echo=0,link=$work/tty" <"$work/scanner" 2>"$work/socat.log" &
pids+=($!)
exec 4>"$work/scanner"
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.1; done

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$manual_form" "$work/tty" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
# The mode box by its accessible action, as a screen reader toggles it.
atspi press 'интерфейс RS-232' >/dev/null
atspi press 'Открыть порт' >/dev/null
atspi describe 'Состояние порта' '^Открыт COM1' >/dev/null

read -r x y < <(atspi where 'Журнал')
# The entry, second from the bottom, is chosen with the keys.
open_log_menu "$x" "$y"
xdotool key --delay 100 Up Up Return

names=('EAN-13' 'Code 128: регистр и знаки' 'GS1-128: GTIN, партия, срок годности'
    'GS1 DataMatrix: код маркировки' 'Data Matrix без GS1: то же содержимое'
    'QR: кириллица в UTF-8' 'Code 39' 'ITF-14' 'PDF417 с GS')
# A button pressed over the bus is released 100 ms later, and only then does the
# code change: each press waits for the next code's name, so none merges with
# the one before.
show() {
    atspi press "$1" >/dev/null
    atspi where "$2" >/dev/null
}
size=
for i in "${!names[@]}"; do
    [ "$i" = 0 ] || show 'Следующий ▶' "${names[i]}"
    atspi inside 1024x768 "${names[i]}" 'Итог сравнения' '◀ Предыдущий' 'Следующий ▶' \
        'Тестовые коды' >"$work/extents"
    now=$(grep '^Тестовые коды: ' "$work/extents" | cut -d' ' -f5-)
    [ "${size:=$now}" = "$now" ] || { echo "${names[i]}: window $now, was $size"; exit 1; }
done
echo "window size on every code: $size"
for i in 7 6 5 4 3; do show '◀ Предыдущий' "${names[i]}"; done

gs=$'\x1d'
code="0102001234567893"$'21aB3\'xY%Zq&7<R'"${gs}91AB12${gs}92T3J2YXRlazogbWFkZS11cCB0ZXN0IGRhdGEgb25seSE="
# As a scanner set to send its identifier and a CR sends it: a match.
printf '%s\r' "]d2$code" >&4
matched=$(atspi describe 'Тестовые коды' '^Данные совпали байт в байт; сканер добавил идентификатор \]d2 \(верный для GS1 DataMatrix\) и окончание CR\.\n1 чтение: 1 совпало$')
printf '%s' "${code//$gs/}" >&4
# The reads' moments are the log's: the time between them is there, whatever it is.
lost=$(atspi describe 'Тестовые коды' \
    '^Данные не совпали(.|\n)*потерян GS(.|\n)*\n2 чтения: 1 совпало, (.|\n)*1 — потерян GS'\
'(.|\n)*;\nот чтения до чтения: последний раз ([0-9]+,[0-9]{3} мс|[0-9]+,[0-9] с)')
printf 'whole: %s\nwithout GS: %s\n' "$matched" "$lost"
screenshot() {
    [ -z "${SCREENSHOT_DIR:-}" ] \
        || import -window "$(xdotool search --name '^Тестовые коды$' | head -n1)" "$SCREENSHOT_DIR/$1"
}
screenshot test-codes.png

# The own code: the dialog is modal, so the keys typed go to its line, not to the
# log; Enter is its OK.
atspi press 'Свой код…' >/dev/null
timeout 30 xdotool search --sync --onlyvisible --name '^Свой код$' >/dev/null
read -r x y < <(atspi where 'Содержимое своего кода')
xdotool mousemove "$x" "$y" click 1
xdotool type --delay 20 'Ёж«GS»91'
atspi text 'Содержимое своего кода' '^Ёж«GS»91$' >/dev/null
xdotool key Return
atspi text 'Содержимое кода' '^Ёж«GS»91$' >/dev/null
# The keyboard is back with the main window, not left nowhere by the dialog.
main=$(xdotool search --name '^Orvatek$' | head -n1)
main_has_focus() { [ "$(xdotool getwindowfocus)" = "$main" ]; }
wait_until main_has_focus
printf 'Ёж\x1d91' >&4
own=$(atspi describe 'Тестовые коды' '^Данные совпали байт в байт\.\n1 чтение: 1 совпало$')
printf 'own code: %s\n' "$own"
screenshot test-codes-own.png
show 'Следующий ▶' "${names[4]}"
