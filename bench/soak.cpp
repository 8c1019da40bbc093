// Soak: a scanner on a pseudo-terminal sends reads at full speed into the shown
// form, whose own serial control has the port open, for the given time. Then
// every line of the log is held against the bytes sent (StreamCheck), and the
// memory the process grew by is set against what the log stores per line.
//
//   soak [--seconds N] [--seed S]        (tools/soak runs it for minutes)
//
// Prints one line and exits 0 when nothing was lost:
//
//   soak: seconds=<s> bytes=<n> bytes_per_s=<r> character_lines=<n> carriage_returns=<n>
//         scan_lines=<n> ticks=<n> missing=0 faults=0 rss_growth_mib=<m> bytes_per_line=<x>
//         log_model_bytes_per_line=<y> result=ok
//
// scan_lines are the commits the log shows, ticks the commit timer's ticks seen;
// several carriage returns before one tick give one commit, so there are fewer
// of them than carriage returns.

#include "benchsupport.h"
#include "eventlog.h"
#include "main_window.h"
#include "scanbox.h"
#include "ptyscanner.h"
#include "runtime.h"
#include "serialcontrol.h"
#include "streamcheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace {

// What a scan line of n characters costs the log beyond the two bytes of its
// slot: its place in the list of other lines (a QString, 24 bytes), its row
// number (8), and the string's own block (a 16-byte header and n + 1 UTF-16
// units) as malloc rounds it, with malloc's 8 bytes of bookkeeping.
double scanLineBytes(qint64 lines, qint64 characters)
{
    if (lines == 0)
        return 0;
    const double average = double(characters) / double(lines);
    const double block = 16 * std::ceil((16 + 2 * (average + 1) + 8) / 16);
    return double(lines) * (24 + 8 + block);
}

// Counts the commit timer's ticks: each adds one line that is not a character line.
class TickCounter : public QObject
{
public:
    using QObject::QObject;
    qint64 ticks = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            ++ticks;
        return false;
    }
};

int fail(const char *why)
{
    std::printf("soak: result=failed reason=\"%s\"\n", why);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    // The program's own runtime, so that the event loop turns as it does there.
    Runtime app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qint64 seconds = bench::option(arguments, "--seconds", "600").toLongLong();
    const auto seed = std::uint64_t(bench::option(arguments, "--seed", "1").toULongLong());

    PtyScanner scanner;
    if (!scanner.isOpen())
        return fail("no pseudo-terminal");
    Form1 form;
    auto *port = form.findChild<SerialControl *>(QStringLiteral("MSComm1"));
    auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    auto *box = form.findChild<ScanBox *>(QStringLiteral("txtSkaner"));
    auto *timer = form.findChild<QTimer *>(QStringLiteral("TimerCOM"));
    port->setPortMapper([&scanner] {
        return QList<MappedPort> { { 1, scanner.slavePath(), QStringLiteral("soak") } };
    });
    bench::showAndSettle(&form);
    // A failed open would wait for the operator: answer its message instead.
    QTimer::singleShot(5000, &form, [] {
        if (auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            shown->reject();
    });
    form.findChild<QCheckBox *>(QStringLiteral("Check1"))->click();
    form.findChild<QPushButton *>(QStringLiteral("CmdOpen"))->click();
    if (!port->PortOpen())
        return fail("the port did not open");
    TickCounter commits;
    timer->installEventFilter(&commits);

    const std::int64_t rssBefore = bench::residentBytes();
    QElapsedTimer elapsed;
    elapsed.start();
    scanner.start(seed, std::chrono::seconds(seconds));

    // Done when the scanner has stopped, every byte has its line and the last
    // commit has come; the check below finds out whether the lines are right.
    QTimer poll;
    qint64 minute = 0;
    qint64 lastCount = -1;
    QObject::connect(&poll, &QTimer::timeout, &form, [&] {
        if (elapsed.elapsed() / 60000 > minute) {
            minute = elapsed.elapsed() / 60000;
            std::fprintf(stderr, "soak: %lld min, %lld bytes, %lld lines\n",
                static_cast<long long>(minute), static_cast<long long>(scanner.written()),
                static_cast<long long>(log->count()));
        }
        const qint64 count = log->count();
        const bool settled = count == lastCount && !timer->isActive();
        lastCount = count;
        if (scanner.finished() && (settled || !port->PortOpen()))
            QCoreApplication::quit();
    });
    poll.start(500);
    QApplication::exec();
    const double runSeconds = double(elapsed.elapsed()) / 1000;
    const std::int64_t rssAfter = bench::residentBytes();
    if (!scanner.finish())
        return fail("writing into the pseudo-terminal failed");
    if (!port->PortOpen())
        return fail("the port closed during the run");

    StreamCheck check(seed, scanner.written());
    for (qint64 row = 0, rows = log->count(); row < rows; ++row)
        check.line(log->item(row));
    check.finish(box->text());

    const qint64 lines = log->count();
    const double growth = double(rssAfter - rssBefore);
    const double model
        = 2.0 * double(lines) + scanLineBytes(check.scanLines(), check.scanCharacters());
    const bool ok = check.faults() == 0 && commits.ticks == check.scanLines();
    std::printf("soak: seconds=%.0f bytes=%lld bytes_per_s=%.0f character_lines=%lld "
                "carriage_returns=%lld scan_lines=%lld ticks=%lld missing=%lld faults=%lld "
                "rss_growth_mib=%.1f bytes_per_line=%.2f log_model_bytes_per_line=%.2f result=%s\n",
        runSeconds, static_cast<long long>(scanner.written()),
        double(scanner.written()) / runSeconds, static_cast<long long>(check.characterLines()),
        static_cast<long long>(check.carriageReturns()), static_cast<long long>(check.scanLines()),
        static_cast<long long>(commits.ticks), static_cast<long long>(check.missing()),
        static_cast<long long>(check.faults()), growth / (1 << 20),
        lines ? growth / double(lines) : 0.0, lines ? model / double(lines) : 0.0,
        ok ? "ok" : "lost");
    if (!ok && !check.firstFault().isEmpty())
        std::fprintf(stderr, "soak: first fault at %s\n", qPrintable(check.firstFault()));
    return ok ? 0 : 1;
}
