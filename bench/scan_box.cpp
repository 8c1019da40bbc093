// The scan box with N characters already in it, shown and focused:
//   bench: scan_box [kind=zerowidth ]chars=<N> append_us_p99=<x> idle_cpu_pct=<y>
//   bytes_per_char=<z>
// A 12-digit read appended as the receive path does and painted; the processor
// use over 2 s idle with the caret blinking; the resident growth per character.
// zerowidth: zero-width spaces, as after pasting them.

#include "benchsupport.h"
#include "scanbox/scanbox.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <utility>

int scanBox(const QStringList &arguments)
{
    const qint64 chars = bench::number(arguments, QStringLiteral("--chars"));
    const bool zeroWidth = bench::option(arguments, QStringLiteral("--kind")) == "zerowidth";
    ScanBox box;
    QFont font; // the form's scan box: its font and place
    font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("PT Sans"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(12);
    font.setStyleStrategy(QFont::PreferNoShaping);
    box.setFont(font);
    box.resize((2415 + 7) / 15, (372 + 7) / 15);
    bench::showAndSettle(&box);
    box.activateWindow();
    box.setFocus();
    QCoreApplication::processEvents();
    if (!box.hasFocus())
        std::fprintf(stderr, "scan_box: warning: the box has no focus; the caret does not blink\n");
    // The glyphs of the digits are cached at their first paint: not the text's cost.
    for (const QString &text : { QStringLiteral("0123456789ABCDEF"), QString() }) {
        box.setText(text);
        box.repaint();
    }
    QCoreApplication::processEvents();
    const std::int64_t before = bench::residentBytes();
    QString text(chars, Qt::Uninitialized);
    for (qint64 i = 0; i < chars; ++i)
        text[i] = zeroWidth ? QChar(0x200B) : QChar(QLatin1Char("0123456789ABCDEF"[i % 16]));
    box.setText(std::exchange(text, QString()));
    box.end(false);
    box.repaint();
    QCoreApplication::processEvents();
    const std::int64_t after = bench::residentBytes();
    // A box that takes long over each read is sampled for 8 s at most.
    const QList<double> samples = bench::timesMicros(
        300,
        [&box] {
            box.end(false);
            box.insert(QStringLiteral("0123456789AB"));
            box.repaint();
            QCoreApplication::processEvents();
        },
        8000);

    QEventLoop idle;
    QTimer::singleShot(2000, &idle, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = bench::cpuSeconds();
    idle.exec();
    const double cpuPct
        = 100 * (bench::cpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9);
    // The median as a note: on a busy machine the 99th percentile is mostly the scheduler's.
    std::fprintf(stderr, "scan_box: chars=%lld append_us_p50=%.1f samples=%lld\n", chars,
        bench::quantile(samples, 0.5), qint64(samples.size()));
    std::printf(
        "bench: scan_box %schars=%lld append_us_p99=%.1f idle_cpu_pct=%.2f bytes_per_char=%.2f\n",
        zeroWidth ? "kind=zerowidth " : "", chars, bench::quantile(samples, 0.99), cpuPct,
        before < 0 || chars == 0 ? -1.0 : double(after - before) / double(chars));
    return 0;
}
