// N character lines appended to a shown log, the event loop run every 1,000, each
// line with a time of its own; the time and resident memory a line cost. The
// baseline: a QListWidget in its fastest setting (uniform item sizes).
//   bench: log_append impl=<List1|QListWidget> lines=<N> ns_per_line=<x> bytes_per_line=<y>

#include "benchsupport.h"
#include "log/eventlog.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <array>
#include <cstdio>

int logAppend(const QStringList &arguments)
{
    const QString impl = bench::option(arguments, QStringLiteral("--impl"));
    const qint64 lines = bench::number(arguments, QStringLiteral("--lines"));
    // Lines are made once: the cost measured is the log's, not the formatting's.
    std::array<QString, 256> texts;
    for (int code = 0; code < 256; ++code)
        texts[std::size_t(code)] = QStringLiteral("KeyAscii=") + QString::number(code);
    EventLog list1;
    QListWidget baseline;
    QWidget *log = impl == QLatin1String("List1") ? static_cast<QWidget *>(&list1) : &baseline;
    baseline.setUniformItemSizes(true);
    bench::placeLikeTheLog(log);
    bench::showAndSettle(log);

    const std::int64_t before = bench::residentBytes();
    QElapsedTimer timer;
    timer.start();
    for (qint64 i = 0; i < lines; ++i) {
        const QString &text = texts[std::size_t(i & 0xFF)];
        log == &list1 ? list1.AddItem(text) : baseline.addItem(text);
        if ((i + 1) % 1000 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    const double ns = double(timer.nsecsElapsed());
    std::printf("bench: log_append impl=%s lines=%lld ns_per_line=%.0f bytes_per_line=%.1f\n",
        qPrintable(impl), static_cast<long long>(lines), ns / double(lines),
        before < 0 ? -1.0 : double(bench::residentBytes() - before) / double(lines));
    return 0;
}
