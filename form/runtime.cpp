#include "form/runtime.h"

#include "errors/runtimeerror.h"

#include <QMessageBox>

#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

namespace {

// The event loop runs on Qt's own dispatcher, not GLib's: under a flood of
// serial data GLib's turns let a due timer wait behind several rounds of reads
// and repaints, while Qt's own turns through posted events, the port and the
// timers in every pass. The commit's 100 ms and the operator's keys stay on
// time. Nothing in the program needs GLib's loop.
int &withOwnEventDispatcher(int &argc)
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    return argc;
}

} // namespace

Runtime::Runtime(int &argc, char **argv)
    : QApplication(withOwnEventDispatcher(argc), argv)
{
    setUntrappedReport(&Runtime::reportUntrapped);
}

bool Runtime::notify(QObject *receiver, QEvent *event)
{
    // The last resort: the handlers and slots of the program catch what they throw
    // themselves (see untrapped()), since unwinding through Qt's event delivery is
    // undefined. What ends up here comes from a widget's own event handler (a
    // paint, a key, a mouse event), which no slot's guard covers.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportUntrapped(RuntimeError::from(std::current_exception()));
    }
    return true;
}

void Runtime::reportUntrapped(const RuntimeError &error)
{
    static bool reporting = false;
    const QString text = QStringLiteral("Ошибка выполнения ") + QString::number(error.number())
        + QStringLiteral(":\n\n") + error.description();
    std::fprintf(stderr, "orvatek: run-time error %d: %s\n", error.number(),
        error.description().toLocal8Bit().constData());
    std::fflush(stderr);
    // A second error while the report is up (a timer tick, a serial
    // notification) is only written out: exiting now would also end the
    // report's own loop and take it off the screen. The program ends once the
    // operator has closed the one report.
    if (reporting)
        return;
    reporting = true;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Orvatek"), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    QCoreApplication::exit(ExitStatus);
}

bool displayAvailable(QString *why)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    if (why)
        *why = QStringLiteral("no display: neither DISPLAY nor WAYLAND_DISPLAY is set; "
                              "start it from a desktop session (or under xvfb-run)");
    return false;
#else
    Q_UNUSED(why);
    return true;
#endif
}

namespace {

QtMessageHandler previousHandler = nullptr;

void startupMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr,
            "orvatek: cannot reach the display%s%s; start it from a desktop session (or under "
            "xvfb-run)\n",
            display.isEmpty() ? "" : " ", display.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    // The platform plugin's own complaints lead up to that fatal message.
    if (QByteArray(context.category ? context.category : "").startsWith("qt.qpa."))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

StartupGuard::StartupGuard()
{
    previousHandler = qInstallMessageHandler(startupMessage);
}

StartupGuard::~StartupGuard()
{
    qInstallMessageHandler(previousHandler);
}
