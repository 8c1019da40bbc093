// A copy of every line of the shown log (bench::addLines, timed), with details or
// without, until the clipboard holds it; the longest the event loop went without
// turning (a 1 ms timer); the process's peak resident size, the log's included:
//   bench: copy lines=<N> details=<0|1> seconds=<s> max_stall_ms=<m> peak_mb=<p>

#include "benchsupport.h"
#include "log/eventlog.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <utility>

int copyLines(const QStringList &arguments)
{
    const qint64 lines = bench::number(arguments, QStringLiteral("--lines"));
    const bool details = bench::number(arguments, QStringLiteral("--details")) == 1;
    EventLog log;
    bench::placeLikeTheLog(&log);
    bench::showAndSettle(&log);
    bench::addLines(&log, lines, true);
    log.selectAll();
    QGuiApplication::clipboard()->clear();

    QEventLoop loop;
    QTimer heartbeat;
    QElapsedTimer clock;
    qint64 last = 0, stall = 0;
    const auto beat = [&] {
        stall = std::max(stall, clock.nsecsElapsed() - std::exchange(last, clock.nsecsElapsed()));
        if (!log.isCopying())
            loop.quit();
    };
    QObject::connect(&heartbeat, &QTimer::timeout, &loop, beat);
    heartbeat.setTimerType(Qt::PreciseTimer);
    clock.start();
    heartbeat.start(1);
    details ? log.copyWithDetails() : log.copy();
    beat(); // the call's own slice
    loop.exec();
    std::printf("bench: copy lines=%lld details=%d seconds=%.2f max_stall_ms=%.1f peak_mb=%.0f\n",
        static_cast<long long>(lines), details ? 1 : 0, double(clock.nsecsElapsed()) / 1e9,
        double(stall) / 1e6, double(bench::peakResidentBytes()) / 1e6);
    return QGuiApplication::clipboard()->text().isEmpty() ? 1 : 0;
}
