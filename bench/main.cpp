#include "benchsupport.h"

#include "form/runtime.h"

#include <QProcess>

#include <cstdio>

namespace {

const QList<std::pair<QString, int (*)(const QStringList &)>> benchmarks {
    { "log_append", logAppend }, { "key_latency", keyLatency }, { "scan_box", scanBox },
    { "serial_e2e", serialE2e }, { "log_clear", logClear }, { "log_paint", logPaint },
    { "line_details", lineDetails }, { "copy", copyLines }, { "read_analysis", readAnalysis }
};

// Every case in order, a benchmark and its arguments; "full" ones are left out of
// a quick run, "quick" ones only run there.
const char *const cases[] = { "log_append --impl List1 --lines 10000",
    "log_append --impl List1 --lines 100000", "log_append --impl List1 --lines 1000000",
    "full log_append --impl List1 --lines 10000000", "log_append --impl QListWidget --lines 10000",
    "log_append --impl QListWidget --lines 100000",
    "full log_append --impl QListWidget --lines 1000000",
    // The baseline repaints slowly with many lines present: fewer samples there.
    "full key_latency --impl List1 --present 10000 --samples 2000",
    "full key_latency --impl List1 --present 1000000 --samples 2000",
    "full key_latency --impl QListWidget --present 10000 --samples 500",
    "full key_latency --impl QListWidget --present 1000000 --samples 100",
    "quick key_latency --impl List1 --present 10000 --samples 300",
    "quick key_latency --impl List1 --present 1000000 --samples 300",
    "quick key_latency --impl QListWidget --present 10000 --samples 100",
    "quick key_latency --impl QListWidget --present 1000000 --samples 20", "scan_box --chars 10000",
    "scan_box --chars 1000000", "full scan_box --chars 10000000",
    "scan_box --kind zerowidth --chars 1000000", "full serial_e2e --bytes 10000000",
    "full serial_e2e --bytes 10000000 --cr none", "quick serial_e2e --bytes 1000000",
    "quick serial_e2e --bytes 1000000 --cr none", "full log_clear --lines 100000000",
    "quick log_clear --lines 10000000", "log_paint --chars 100", "log_paint --chars 1000000",
    "log_paint --chars 10000000", "line_details --bytes 1000", "line_details --bytes 20000000",
    "full copy --lines 10000000 --details 0", "full copy --lines 10000000 --details 1",
    "quick copy --lines 1000000 --details 0", "quick copy --lines 1000000 --details 1",
    "read_analysis --bytes 100", "read_analysis --bytes 100000" };

} // namespace

// "benchmarks [--quick]" runs the cases, each in a child process of its own;
// "benchmarks NAME ARGUMENTS..." runs one (tools/soak: serial_e2e --seconds S).
int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Runtime app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool quick = arguments.removeAll(QStringLiteral("--quick")) > 0;
    for (const auto &[name, measure] : benchmarks) {
        if (!arguments.isEmpty() && arguments.first() == name)
            return measure(arguments.mid(1));
    }
    int status = arguments.isEmpty() ? 0 : 2;
    for (const char *text : cases) {
        QStringList child = QString::fromLatin1(text).split(u' ');
        if (status == 2 || child.first() == QLatin1String(quick ? "full" : "quick"))
            continue;
        if (child.first() == QLatin1String("full") || child.first() == QLatin1String("quick"))
            child.removeFirst();
        if (QProcess::execute(QCoreApplication::applicationFilePath(), child) != 0) {
            std::fprintf(stderr, "benchmarks %s: failed\n", text);
            status = 1;
        }
        std::fflush(stdout);
    }
    return status;
}
