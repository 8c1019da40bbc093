#include "form/indicator.h"
#include "form/main_window.h"
#include "form/runtime.h"
#include "log/eventlog.h"

#include <QTimer>

#include <cstdio>

// The real form as orvatek.exe shows it, which also prints on stdout what a test
// outside the program waits for: "active" once the window has the keyboard, each
// new line of the log ("line KeyAscii=49"), "cleared" when the log is emptied,
// and the indicator's colour when it changes ("indicator 0000FF"). Under Wine
// there is no accessibility bus to read the window from another process.
int main(int argc, char *argv[])
{
    Runtime app(argc, argv);
    Form1 form;
    auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    auto *shape = form.findChild<Indicator *>(QStringLiteral("Shape1"));
    qsizetype printed = 0;
    bool active = false;
    unsigned colour = shape->FillColor();
    const auto print = [](const QByteArray &line) {
        std::fputs(line.constData(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
    print("indicator " + QByteArray::number(colour, 16).rightJustified(6, '0').toUpper());
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &form, [&] {
        if (!active && form.isActiveWindow()) {
            active = true;
            print("active");
        }
        if (log->count() < printed) {
            printed = 0;
            print("cleared");
        }
        for (; printed < log->count(); ++printed)
            print("line " + log->item(printed).toUtf8());
        if (shape->FillColor() != colour) {
            colour = shape->FillColor();
            print("indicator " + QByteArray::number(colour, 16).rightJustified(6, '0').toUpper());
        }
    });
    poll.start(10);
    form.show();
    return app.exec();
}
