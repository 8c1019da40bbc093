// Start-up, side by side: the program (startup_form, started as form/main.cpp
// starts it) and a bare Qt Widgets window of the same controls (bare_window), each
// a fresh process, taken in turns after one warm-up run of each. Medians of the
// runs, in ms since the process was started: entering main, the application made,
// the window made, shown, painted once; then the first key's cost (logged, and on
// the screen) and the US keymap's, and resident memory after the first paint.
// Meant for a real display (QT_QPA_PLATFORM=xcb under Xvfb).
//   bench: startup program=<form|bare> runs=<N> main_ms=... paint_ms=... key_ms=...
//   bench: startup paint_ratio=<form/bare>

#include "benchsupport.h"

#include <QHash>
#include <QProcess>

#include <chrono>
#include <cstdio>

namespace {

using Run = QHash<QString, double>;

bool runOnce(const QString &program, Run *run)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 since = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                             .count();
    process.start(program, { QStringLiteral("--since"), QString::number(since) });
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        return false;
    const QStringList words = QString::fromLatin1(process.readAllStandardOutput()).simplified().split(u' ');
    for (qsizetype i = 0; i + 1 < words.size(); i += 2)
        run->insert(words[i], words[i + 1].toDouble());
    return run->contains(QStringLiteral("paint"));
}

} // namespace

int startupTimes(const QStringList &arguments)
{
    const int runs = int(qMax<qint64>(1, bench::number(arguments, QStringLiteral("--runs"))));
    const QString dir = QCoreApplication::applicationDirPath();
    const QStringList programs { QStringLiteral("form"), QStringLiteral("bare") };
    const QHash<QString, QString> files { { programs[0], dir + QStringLiteral("/startup_form") },
        { programs[1], dir + QStringLiteral("/bare_window") } };
    QHash<QString, QHash<QString, QList<double>>> samples;
    for (int i = 0; i <= runs; ++i) {
        for (const QString &name : programs) {
            Run run;
            if (!runOnce(files[name], &run)) {
                std::fprintf(stderr, "startup: %s failed\n", qPrintable(files[name]));
                return 1;
            }
            if (i == 0) // the warm-up
                continue;
            for (auto it = run.cbegin(); it != run.cend(); ++it)
                samples[name][it.key()].append(it.value());
        }
    }
    const QStringList phases { "main", "translations", "application", "Form1", "window", "shown", "paint", "key",
        "key_shown", "keymap", "cpu", "rss_mb" };
    QHash<QString, double> paint, cpu;
    for (const QString &name : programs) {
        std::printf("bench: startup program=%s runs=%d", qPrintable(name), runs);
        for (const QString &phase : phases) {
            if (!samples[name].contains(phase))
                continue;
            const double median = bench::quantile(samples[name][phase], 0.5);
            if (phase == QLatin1String("paint"))
                paint[name] = median;
            if (phase == QLatin1String("cpu"))
                cpu[name] = median;
            std::printf(phase == QLatin1String("rss_mb") ? " %s=%.1f" : " %s_ms=%.2f",
                qPrintable(phase), median);
        }
        std::printf("\n");
    }
    std::printf("bench: startup paint_ratio=%.3f cpu_ratio=%.3f\n", paint[programs[0]] / paint[programs[1]],
        cpu[programs[0]] / cpu[programs[1]]);
    return 0;
}
