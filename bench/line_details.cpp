// A scan line's description (tooltip, accessible description) after N bytes from
// the port since the scan line before, the median of 50:
//   bench: line_details bytes_before=<N> describe_us=<x>

#include "benchsupport.h"
#include "log/eventlog.h"

#include <cstdio>

int lineDetails(const QStringList &arguments)
{
    const qint64 bytes = bench::number(arguments, QStringLiteral("--bytes"));
    EventLog log;
    for (qint64 i = 0; i < bytes; ++i) // 64 bytes a notification, one moment each
        log.AddCharacterLine(quint8("0123456789ABCDEF\x1d"[i % 17]), i / 64);
    log.noteCarriageReturn(bytes / 64);
    log.AddScanLine(QStringLiteral("0123456789ABCDEF"));
    const double us = bench::quantile(
        bench::timesMicros(50, [&log] { log.lineDetails(log.count() - 1); }), 0.5);
    std::printf("bench: line_details bytes_before=%lld describe_us=%.1f\n",
        static_cast<long long>(bytes), us);
    return 0;
}
