#include "devices/keydevices.h"
#include "form/main_window.h"
#include "form/runtime.h"
#include "log/eventlog.h"

#include <QTimer>

#include <cstdio>

#include <windows.h>

// Keys sent to the real form with SendInput, each carrying its own time
// (KEYBDINPUT.time), while the window's thread stalls for 300 ms: the log must keep
// the gaps between the times given, not between the moments the stalled thread got
// to the keys. Each of them is tied to its raw press by that time: its line names
// a device (Wine's own keyboard; Windows names none for a program's keys). Then a
// key posted as messages, which has no raw press, whose line says it could not be
// tied to a device. Prints each key line with its gap and ends with 0 when all holds.
namespace {

void sendKey(WORD vk, WORD scanCode, DWORD time)
{
    INPUT input[2] = {};
    for (INPUT &one : input) {
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = vk;
        one.ki.wScan = scanCode;
        one.ki.time = time;
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// The line's gap to the previous key in whole milliseconds ("100,000 мс"); -1: none.
// The line's device, as its tooltip says it.
QString deviceOf(const QString &details)
{
    const QString label = QStringLiteral("Устройство: ");
    return details.mid(details.indexOf(label)).section(u'\n', 0, 0);
}

int gapOf(const QString &details)
{
    const QString label = QStringLiteral("После предыдущей клавиши: ");
    const qsizetype at = details.indexOf(label);
    QString gap = details.mid(at + label.size()).section(u' ', 0, 0);
    return at < 0 ? -1 : qRound(gap.replace(u',', u'.').toDouble());
}

} // namespace

int main(int argc, char *argv[])
{
    Runtime app(argc, argv);
    Form1 form;
    auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    int step = 0;
    DWORD first = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &form, [&] {
        if (step == 0 && form.isActiveWindow()) {
            first = GetTickCount();
            sendKey('A', 0x1E, first);
            step = 1;
        } else if (step == 1 && log->count() == 1 && GetTickCount() - first > 200) {
            // Four keys that came 100 ms after the first and 10 ms apart, all taken
            // from the queue after a stall of the window's thread.
            const WORD keys[][2]
                = { { 'B', 0x30 }, { 'C', 0x2E }, { 'D', 0x20 }, { VK_RETURN, 0x1C } };
            for (int i = 0; i < 4; ++i)
                sendKey(keys[i][0], keys[i][1], first + 100 + 10 * i);
            Sleep(300);
            step = 2;
        } else if (step == 2 && log->count() >= 5) {
            // A key as a program that posts key messages types it: no raw press.
            // Its WM_CHAR comes from TranslateMessage.
            const auto window = reinterpret_cast<HWND>(form.winId());
            PostMessageW(window, WM_KEYDOWN, 'E', 1 | (0x12 << 16));
            PostMessageW(window, WM_KEYUP, 'E', 1 | (0x12 << 16) | (3u << 30));
            step = 3;
        } else if (step == 3 && log->count() >= 6) {
            QList<int> gaps;
            QStringList devices;
            for (qsizetype row = 0; row < log->count(); ++row) {
                gaps << gapOf(log->lineDetails(row));
                devices << deviceOf(log->lineDetails(row));
                std::printf("%s gap %d ms\n", qPrintable(log->item(row)), gaps.last());
            }
            const bool kept = gaps.mid(1, 4) == QList<int> { 100, 10, 10, 10 };
            std::printf(kept ? "gaps kept\n" : "gaps lost\n");
            const QString untied = KeyDevices::describe(KeyDevices::Unknown).first();
            const bool tied = !devices.first().isEmpty() && devices.count(devices.first()) == 5
                && devices.first() != untied && devices.last() == untied;
            std::printf(tied ? "devices told\n" : "devices wrong\n");
            std::fflush(stdout);
            if (!tied) { // in UTF-8, for the log of the run
                for (const QString &device : devices)
                    std::printf("%s\n", device.toUtf8().constData());
            }
            QCoreApplication::exit(kept && tied ? 0 : 1);
        }
    });
    poll.start(10);
    form.show();
    return app.exec();
}
