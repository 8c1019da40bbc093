// The scan box with N characters already in it, shown and focused:
//
//   bench: scan_box chars=<N> append_us_p99=<x> idle_cpu_pct=<y> bytes_per_char=<z>
//
// append_us_p99: one 12-digit read appended at the end as the receive path does
// it, and the paint that follows; idle_cpu_pct: the process's processor use over
// 2 s with the box idle and its caret blinking; bytes_per_char: the resident
// growth from the empty box to the full one, per character.
//
// Without arguments it runs every case, each in a process of its own; --quick
// leaves out the longest. One case: --chars N. --impl QLineEdit measures a plain
// line edit configured as the form's boxes once were, for comparison.

#include "benchsupport.h"
#include "scanbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <limits>
#include <memory>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

namespace {

constexpr int Samples = 300;
// A box that takes long over each append is sampled for this long at most.
constexpr qint64 SampleBudgetMs = 8000;

double processCpuSeconds()
{
#if defined(Q_OS_UNIX)
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
    return 0;
#endif
}

// The two boxes behind one face: the calls the form makes.
template<typename Box> int measure(Box *box, const QString &impl, qsizetype chars)
{
    // The form's scan box: its font and place.
    QFont font;
    font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("PT Sans"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(12);
    font.setStyleStrategy(QFont::PreferNoShaping);
    box->setFont(font);
    box->resize((2415 + 7) / 15, (372 + 7) / 15);
    bench::showAndSettle(box);
    box->activateWindow();
    box->setFocus();
    QCoreApplication::processEvents();
    if (!box->hasFocus())
        std::fprintf(stderr, "scan_box: warning: the box has no focus; the caret does not blink\n");

    // The glyphs of the digits are cached at their first paint: not the text's cost.
    box->setText(QStringLiteral("0123456789ABCDEF"));
    box->repaint();
    box->setText(QString());
    box->repaint();
    QCoreApplication::processEvents();
    const std::int64_t before = bench::residentBytes();
    {
        QString text(chars, Qt::Uninitialized);
        for (qsizetype i = 0; i < chars; ++i)
            text[i] = QLatin1Char("0123456789ABCDEF"[i % 16]);
        box->setText(text);
    }
    box->end(false);
    box->repaint();
    QCoreApplication::processEvents();
    const std::int64_t after = bench::residentBytes();

    const QString read = QStringLiteral("0123456789AB");
    QList<double> samples;
    QElapsedTimer budget;
    budget.start();
    while (samples.size() < Samples && (samples.size() < 10 || budget.elapsed() < SampleBudgetMs)) {
        QElapsedTimer timer;
        timer.start();
        box->end(false);
        box->insert(read);
        box->repaint();
        QCoreApplication::processEvents();
        samples.append(double(timer.nsecsElapsed()) / 1000.0);
    }

    QEventLoop idle;
    QTimer::singleShot(2000, &idle, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = processCpuSeconds();
    idle.exec();
    const double cpu = processCpuSeconds() - cpuBefore;

    // The median as a note: on a busy machine the 99th percentile is mostly the
    // scheduler's.
    std::fprintf(stderr, "scan_box: chars=%lld append_us_p50=%.1f samples=%lld\n",
        static_cast<long long>(chars), bench::quantile(samples, 0.5),
        static_cast<long long>(samples.size()));
    std::printf(
        "bench: scan_box %schars=%lld append_us_p99=%.1f idle_cpu_pct=%.2f bytes_per_char=%.2f\n",
        impl.isEmpty() ? "" : qPrintable(QStringLiteral("impl=%1 ").arg(impl)),
        static_cast<long long>(chars), bench::quantile(samples, 0.99),
        100.0 * cpu / (double(wall.nsecsElapsed()) / 1e9),
        before < 0 || chars == 0 ? -1.0 : double(after - before) / double(chars));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString impl = bench::option(arguments, QStringLiteral("--impl"));
    const QString chars = bench::option(arguments, QStringLiteral("--chars"));
    if (!chars.isEmpty()) {
        if (impl == QLatin1String("QLineEdit")) {
            auto box = std::make_unique<QLineEdit>();
            box->setMaxLength(std::numeric_limits<int>::max());
            return measure(box.get(), impl, chars.toLongLong());
        }
        auto box = std::make_unique<ScanBox>();
        return measure(box.get(), QString(), chars.toLongLong());
    }

    const bool quick = arguments.contains(QStringLiteral("--quick"));
    QList<QStringList> cases;
    for (const char *count : { "10000", "1000000", "10000000" }) {
        if (!quick || qstrcmp(count, "10000000") != 0)
            cases.append(QStringList { QStringLiteral("--chars"), QString::fromLatin1(count) });
    }
    return bench::runCases(cases);
}
