// The program's start as form/main.cpp makes it, with its phases marked: the
// start-up benchmark runs it beside bare_window. After the first paint, the cost
// of the first key (a typed "a", through the key preview into the log and on the
// screen) and of the US keymap, which the key behind a line needs (compiled when a
// key's tooltip first asks for it).
// Qt's translations are loaded before the window as in main.cpp; what that costs
// is printed on its own.
//   main ... translations ... application ... Form1 ... shown ... paint ... key ...

#include "startupphases.h"

#include "form/main_window.h"
#include "form/qttranslations.h"
#include "form/runtime.h"
#include "keys/uslayout.h"
#include "log/eventlog.h"

#include <QApplication>
#include <QKeyEvent>

#include <memory>

namespace {

// The first key: pressed where the operator types, until the log shows its line.
void firstKey(startup::Phases &phases, Form1 &form)
{
    auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    QWidget *target = form.focusWidget() ? form.focusWidget() : &form;
    const qint64 t0 = startup::nowNs();
    // Key "a" as X delivers it: its keycode and keysym.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, QStringLiteral("a"));
    QApplication::sendEvent(target, &press);
    phases.lasted("key", startup::nowNs() - t0);
    log->viewport()->repaint();
    phases.lasted("key_shown", startup::nowNs() - t0);
    if (log->count() != 1)
        std::printf("key_lost 1 ");
    const qint64 t1 = startup::nowNs();
    (void)usLayoutKey(38, false);
    phases.lasted("keymap", startup::nowNs() - t1);
}

} // namespace

int main(int argc, char *argv[])
{
    startup::Phases phases(argc, argv);
    phases.mark("main");
    QString why;
    if (!displayAvailable(&why))
        return 1;
    auto guard = std::make_unique<StartupGuard>();
    Runtime app(argc, argv);
    guard.reset();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvatek.Orvatek"));
    const qint64 t0 = startup::nowNs();
    if (!installQtTranslations(&why))
        std::fprintf(stderr, "startup_form: %s\n", why.toLocal8Bit().constData());
    phases.lasted("translations", startup::nowNs() - t0);
    phases.mark("application");
    Form1 form;
    phases.mark("Form1");
    phases.untilFirstPaint(&form, [&] { firstKey(phases, form); });
    form.show();
    phases.mark("shown");
    return app.exec();
}
