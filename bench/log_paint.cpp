// Refresh() of the shown log with a scan line of N digits in view, scrolled
// halfway along it; the median of 20:
//   bench: log_paint line_chars=<N> refresh_ms=<x>

#include "benchsupport.h"
#include "log/eventlog.h"

#include <QScrollBar>

#include <cstdio>
#include <utility>

int logPaint(const QStringList &arguments)
{
    const qsizetype chars = bench::number(arguments, QStringLiteral("--chars"));
    EventLog log;
    bench::placeLikeTheLog(&log);
    bench::showAndSettle(&log);
    QString line(chars, Qt::Uninitialized);
    for (qsizetype i = 0; i < chars; ++i)
        line[i] = QLatin1Char("0123456789ABCDEF"[i % 16]);
    log.AddScanLine(std::exchange(line, QString()));
    for (int code = 0; code < 20; ++code)
        log.AddCharacterLine(quint8(code));
    log.Refresh();
    log.horizontalScrollBar()->setValue(log.horizontalScrollBar()->maximum() / 2);
    const double us = bench::quantile(bench::timesMicros(20, [&log] { log.Refresh(); }), 0.5);
    std::printf("bench: log_paint line_chars=%lld refresh_ms=%.2f\n", static_cast<long long>(chars),
        us / 1000);
    return log.isVisible() ? 0 : 1;
}
