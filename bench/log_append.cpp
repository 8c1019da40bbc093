// Appends N character lines to a shown log, running the event loop every 1,000
// lines, and prints the time and the resident memory that each line cost. Each
// line reads the clock and keeps its time, as when every byte arrives in a
// notification of its own:
//
//   bench: log_append impl=<List1|QListWidget> lines=<N> ns_per_line=<x> bytes_per_line=<y>
//
// Without arguments it runs every case, each in a process of its own; --quick
// leaves out the longest ones. One case: --impl List1|QListWidget --lines N.

#include "benchsupport.h"
#include "eventlog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <array>
#include <cstdio>
#include <memory>

namespace {

constexpr int EventLoopEvery = 1000;

int runOne(const QString &impl, qsizetype lines)
{
    // Lines are made once: the cost measured is the log's, not the formatting's.
    std::array<QString, 256> texts;
    for (int code = 0; code < 256; ++code)
        texts[std::size_t(code)] = QStringLiteral("KeyAscii=") + QString::number(code);

    std::unique_ptr<QWidget> log;
    EventLog *list1 = nullptr;
    QListWidget *baseline = nullptr;
    if (impl == QLatin1String("List1")) {
        log.reset(list1 = new EventLog);
    } else if (impl == QLatin1String("QListWidget")) {
        // The baseline in its fastest setting: rows of one height are not measured one by one.
        log.reset(baseline = new QListWidget);
        baseline->setUniformItemSizes(true);
    } else {
        std::fprintf(stderr, "log_append: unknown impl %s\n", qPrintable(impl));
        return 2;
    }
    bench::placeLikeTheLog(log.get());
    bench::showAndSettle(log.get());

    const std::int64_t before = bench::residentBytes();
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < lines; ++i) {
        const QString &text = texts[std::size_t(i & 0xFF)];
        if (list1)
            list1->AddItem(text);
        else
            baseline->addItem(text);
        if ((i + 1) % EventLoopEvery == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    const double ns = double(timer.nsecsElapsed());
    const std::int64_t after = bench::residentBytes();

    std::printf("bench: log_append impl=%s lines=%lld ns_per_line=%.0f bytes_per_line=%.1f\n",
        qPrintable(impl), static_cast<long long>(lines), ns / double(lines),
        before < 0 ? -1.0 : double(after - before) / double(lines));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString impl = bench::option(arguments, QStringLiteral("--impl"));
    const QString lines = bench::option(arguments, QStringLiteral("--lines"));
    if (!impl.isEmpty() && !lines.isEmpty())
        return runOne(impl, lines.toLongLong());

    const bool quick = arguments.contains(QStringLiteral("--quick"));
    QList<QStringList> cases;
    for (const char *lines : { "10000", "100000", "1000000", "10000000" }) {
        if (!quick || qstrcmp(lines, "10000000") != 0)
            cases.append({ "--impl", "List1", "--lines", lines });
    }
    for (const char *lines : { "10000", "100000", "1000000" }) {
        if (!quick || qstrcmp(lines, "1000000") != 0)
            cases.append({ "--impl", "QListWidget", "--lines", lines });
    }
    return bench::runCases(cases);
}
