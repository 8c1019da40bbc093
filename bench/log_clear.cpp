// Fills the log of the shown window with N lines, nearly all character lines and
// one scan line in every 1,000, runs the event loop every 1,000 lines, then clears
// it as the operator does with "X", and prints the resident size before the lines
// came, with the log full, and after the clear:
//
//   bench: log_clear lines=<N> rss_before_mb=<a> rss_full_mb=<b> rss_after_mb=<c>
//
// bench/run: 100,000,000 lines (--quick 10,000,000); --lines N for one size.

#include "benchsupport.h"
#include "eventlog.h"
#include "main_window.h"

#include <QApplication>

#include <cstdio>

namespace {

constexpr int EventLoopEvery = 1000;

double megabytes(std::int64_t bytes)
{
    return double(bytes) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString quick = arguments.contains(QStringLiteral("--quick")) ? "10000000" : "100000000";
    const qsizetype lines = bench::option(arguments, QStringLiteral("--lines"), quick).toLongLong();

    Form1 form;
    bench::showAndSettle(&form);
    EventLog *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    const std::int64_t before = bench::residentBytes();
    for (qsizetype i = 0; i < lines; ++i) {
        if ((i + 1) % EventLoopEvery == 0) {
            // A scan of 12 to 27 digits, each different.
            log->AddItem(QString::number(0x10000000000ull + quint64(i) * 7919, 16).toUpper());
            QCoreApplication::processEvents();
        } else {
            log->AddCharacterLine(quint8(i));
        }
    }
    QCoreApplication::processEvents();
    const std::int64_t full = bench::residentBytes();
    form.CmdClear_Click();
    QCoreApplication::processEvents();
    const std::int64_t after = bench::residentBytes();
    std::printf(
        "bench: log_clear lines=%lld rss_before_mb=%.1f rss_full_mb=%.1f rss_after_mb=%.1f\n",
        static_cast<long long>(lines), megabytes(before), megabytes(full), megabytes(after));
    return log->count() == 0 ? 0 : 1;
}
