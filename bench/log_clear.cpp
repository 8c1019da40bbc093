// The shown window's log filled with N lines (bench::addLines), then "X"; the
// resident size before, with the log full and after:
//   bench: log_clear lines=<N> rss_before_mb=<a> rss_full_mb=<b> rss_after_mb=<c>

#include "benchsupport.h"
#include "form/main_window.h"
#include "log/eventlog.h"

#include <cstdio>

int logClear(const QStringList &arguments)
{
    const qint64 lines = bench::number(arguments, QStringLiteral("--lines"));
    Form1 form;
    bench::showAndSettle(&form);
    auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    const double before = double(bench::residentBytes()) / 1e6;
    bench::addLines(log, lines, false);
    const double full = double(bench::residentBytes()) / 1e6;
    form.CmdClear_Click();
    QCoreApplication::processEvents();
    std::printf(
        "bench: log_clear lines=%lld rss_before_mb=%.1f rss_full_mb=%.1f rss_after_mb=%.1f\n",
        static_cast<long long>(lines), before, full, double(bench::residentBytes()) / 1e6);
    return log->count() == 0 ? 0 : 1;
}
