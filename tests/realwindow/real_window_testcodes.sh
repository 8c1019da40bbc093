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
# The screen is 1024 by 768 unless given; with "openbox" after it, a window
# manager runs. With the analysis of a read open beside the test codes window,
# the main window stays uncovered and comes to the top when activated, the
# analysis leaves the symbol and the verdict in view, and every window lies
# within the screen.
# With SCREENSHOT_DIR set, the window with the second verdict is saved there as
# test-codes.png, the screen with the analysis open as test-codes-screen.png,
# and the window with the own code's verdict as test-codes-own.png.
set -euo pipefail
unset QT_QPA_PLATFORM
manual_form=$1
screen=${2:-1024x768}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/real_window.sh"
atspi() { /usr/bin/python3 "$here/atspi.py" manual_form "$@"; }

start_display "${screen}x24"
[ "${3:-}" != openbox ] || start_window_manager
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
    atspi inside "$screen" "${names[i]}" 'Итог сравнения' '◀ Предыдущий' 'Следующий ▶' \
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
# The scan line comes 100 ms after the CR: bytes sent before it would go ahead
# of it in the log, and the log's last line would then be the first read's.
atspi empty 'Скан' >/dev/null
printf '%s' "${code//$gs/}" >&4
# The reads' moments are the log's: the time between them is there, whatever it is.
lost=$(atspi describe 'Тестовые коды' \
    '^Данные не совпали(.|\n)*потерян GS(.|\n)*\n2 чтения: 1 совпало, (.|\n)*1 — потерян GS'\
'(.|\n)*;\nот чтения до чтения: последний раз ([0-9]+,[0-9]{3} мс|[0-9]+,[0-9] с)')
printf 'whole: %s\nwithout GS: %s\n' "$matched" "$lost"
# screenshot FILE NAME-REGEX: the window of that name ("root": the screen).
screenshot() {
    [ -z "${SCREENSHOT_DIR:-}" ] || [ "$2" = root ] \
        || import -window "$(xdotool search --onlyvisible --name "$2" | head -n1)" "$SCREENSHOT_DIR/$1"
    [ -z "${SCREENSHOT_DIR:-}" ] || [ "$2" != root ] || import -window root "$SCREENSHOT_DIR/$1"
}
screenshot test-codes.png '^Тестовые коды$'

# The analysis of the last read, chosen with the keys on the log's last line
# (third entry from the bottom), beside the other windows: none covers the main
# window, nor the analysis the symbol or the verdict.
analyse_last_read manual_form
atspi text 'Разбор чтения' 'потерян GS' >/dev/null
kept=$(atspi inside "$screen" "${names[3]}" 'Итог сравнения' | sed 's/.*: //; s/ /,/g')
# shellcheck disable=SC2086 # one argument a rectangle
/usr/bin/python3 "$here/windows.py" "$screen" '^Orvatek$' '^Тестовые коды$' '^Разбор чтения' -- $kept
screenshot test-codes-screen.png root
if wm_is_up; then
    main=$(xdotool search --onlyvisible --name '^Orvatek$' | head -n1)
    xdotool windowactivate "$main"
    main_on_top() { [ "$(($(top_window)))" = "$main" ]; }
    wait_until main_on_top
fi

# The own code scanned into its dialog: the dialog is modal, so the keys go to
# its line, not to the log. The scanner's identifier goes to its own line, its
# Ctrl+] is a GS, and its Enter ends the scan, leaving the dialog open for OK.
atspi press 'Свой код…' >/dev/null
timeout 30 xdotool search --sync --onlyvisible --name '^Свой код$' >/dev/null
read -r x y < <(atspi where 'Содержимое своего кода')
xdotool mousemove "$x" "$y" click 1
xdotool type --delay 20 ']d1Ёж'
xdotool key ctrl+bracketright
xdotool type --delay 20 '91'
xdotool key Return
atspi where 'Скан закончен клавишей Enter: проверьте содержимое и нажмите OK.' >/dev/null
atspi text 'Содержимое своего кода' '^Ёж«GS»91$' >/dev/null
atspi text 'Идентификатор символики своего кода' '^\]d1$' >/dev/null
xdotool search --onlyvisible --name '^Свой код$' >/dev/null
# Enter in the identifier's line is the dialog's OK.
read -r x y < <(atspi where 'Идентификатор символики своего кода')
xdotool mousemove "$x" "$y" click 1 key Return
atspi text 'Содержимое кода' '^Ёж«GS»91$' >/dev/null
# The keyboard is back with the main window, not left nowhere by the dialog.
main=$(xdotool search --name '^Orvatek$' | head -n1)
main_has_focus() { [ "$(xdotool getwindowfocus)" = "$main" ]; }
wait_until main_has_focus
printf ']d1Ёж\x1d91' >&4
own=$(atspi describe 'Тестовые коды' '^Данные совпали байт в байт(.|\n)*\n1 чтение: 1 совпало$')
printf 'own code: %s\n' "$own"
screenshot test-codes-own.png '^Тестовые коды$'
show 'Следующий ▶' "${names[4]}"
