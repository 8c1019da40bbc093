// A scanner on a pseudo-terminal: a thread of its own writes a ScannerStream at
// full speed into the master side that the shown window opened ("Открыть порт");
// then StreamCheck holds every log line against the bytes sent, and any difference
// fails the run. cr=none: reads end with nothing, every digit stays in the scan box.
//   bench: serial_e2e [cr=none ]bytes=<N> mb_per_s=<x> lost=<k> max_stall_ms=<z> bytes_per_line=<b>
// By time, with noise between reads (tools/soak: --seconds S [--seed K]), one
// "soak:" line; its ticks are the commit timer's, one a scan line.

#include "benchsupport.h"
#include "form/main_window.h"
#include "log/eventlog.h"
#include "scanbox/scanbox.h"
#include "serial/serialcontrol.h"
#include "support/ptypair.h"
#include "streamcheck.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The form with its port open on the scanner, and what a run watches: when it is
// done, the event loop's stalls, the commit timer's ticks, whether bytes still come.
struct Run : QObject
{
    explicit Run(const ScannerStream &stream)
        : stream(stream)
        , writing(stream)
    {
        heartbeat.setTimerType(Qt::PreciseTimer);
        connect(&heartbeat, &QTimer::timeout, this, &Run::beat);
        connect(commit, &QTimer::timeout, this, [this] { ++ticks; });
    }
    ~Run() override { stopWriting(); }

    bool open() { return pty.masterFd() >= 0 && bench::openScannerPort(&form, pty.slavePath()); }

    // Writes `ahead`, then the stream, up to `bytes` or the time while the event
    // loop runs until the expected character lines are in (none expected: until
    // the log settles) or 10 s pass without any.
    void run(qint64 bytes, Clock::duration runFor, const QByteArray &ahead = {})
    {
        clock.start();
        heartbeat.start(1);
        writer = std::thread(&Run::write, this, bytes, Clock::now() + runFor, ahead);
        loop.exec();
        heartbeat.stop();
        doneNs = doneNs < 0 ? lastProgressNs : doneNs;
    }

    // Stops the writer; false if a write failed.
    bool stopWriting()
    {
        stop = true;
        if (writer.joinable())
            writer.join();
        return !failed;
    }

    // After the last commit, every line of the log against what was written.
    StreamCheck check()
    {
        QElapsedTimer settle;
        settle.start();
        while (commit->isActive() && settle.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return StreamCheck(stream, written, *log, box->text());
    }

    void write(qint64 bytes, Clock::time_point until, QByteArray block)
    {
        qsizetype done = 0;
        while (!stop) {
            if (done == block.size()) {
                if (written >= bytes || Clock::now() >= until)
                    break;
                block.clear();
                done = 0;
                writing.appendReads(block, 1 << 16);
                block.truncate(std::min<qint64>(block.size(), bytes - written));
            }
            const ssize_t n
                = ::write(pty.masterFd(), block.constData() + done, size_t(block.size() - done));
            if (n > 0) {
                done += n;
                written += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                failed = true;
                break;
            } else { // full: wait for the reader, waking now and then to see whether to stop
                pollfd writable { pty.masterFd(), POLLOUT, 0 };
                ::poll(&writable, 1, 100);
            }
        }
        finished = true;
    }

    void beat()
    {
        const qint64 now = clock.nsecsElapsed();
        maxGapNs = std::max(maxGapNs, now - lastTickNs);
        lastTickNs = now;
        if (log->count() != lastCount) {
            lastCount = log->count();
            lastProgressNs = now;
        }
        const qint64 quietNs = now - lastProgressNs;
        const bool settled = expected < 0 && quietNs > 500'000'000 && !commit->isActive()
            && (finished || !port->PortOpen());
        if (expected >= 0 && log->characterLineCount() >= expected)
            doneNs = now;
        if (doneNs >= 0 || settled || quietNs > 10'000'000'000)
            loop.quit();
    }

    const ScannerStream stream; // as it was before the first byte, for the check
    ScannerStream writing;
    PseudoTerminal pty;
    Form1 form;
    EventLog *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    ScanBox *box = form.findChild<ScanBox *>(QStringLiteral("txtSkaner"));
    QTimer *commit = form.findChild<QTimer *>(QStringLiteral("TimerCOM"));
    SerialControl *port = form.findChild<SerialControl *>(QStringLiteral("MSComm1"));
    std::thread writer;
    std::atomic<bool> stop = false, finished = false, failed = false;
    std::atomic<qint64> written = 0;
    QEventLoop loop;
    QTimer heartbeat;
    QElapsedTimer clock;
    qint64 expected = -1, ticks = 0, doneNs = -1, maxGapNs = 0;
    qint64 lastTickNs = 0, lastProgressNs = 0, lastCount = 0;
};

int byBytes(qint64 bytes, ScannerStream::Ending ending)
{
    Run run(ScannerStream(20240611u, 0, ending));
    if (!run.open())
        return 1;
    QByteArray data; // made ahead, so that making them takes no time from the window's thread
    ScannerStream(run.stream).appendReads(data, bytes);
    data.truncate(bytes);
    run.expected = bytes - data.count('\r');
    const std::int64_t rssBefore = bench::residentBytes();
    run.run(bytes, std::chrono::hours(24), data);
    const double perLine = double(bench::residentBytes() - rssBefore)
        / double(std::max<qint64>(1, run.log->count()));
    const bool wrote = run.stopWriting() && run.written == bytes;
    const StreamCheck check = run.check();
    const qint64 lost = std::max<qint64>(0, run.expected - run.log->characterLineCount());
    const double seconds = double(run.doneNs) / 1e9;
    std::printf("bench: serial_e2e %sbytes=%lld mb_per_s=%.2f lost=%lld max_stall_ms=%.1f "
                "bytes_per_line=%.2f\n",
        ending == ScannerStream::Ending::None ? "cr=none " : "", bytes,
        double(bytes) / 1e6 / seconds, lost, double(run.maxGapNs) / 1e6, perLine);
    if (!wrote)
        std::fprintf(stderr, "serial_e2e: only %lld of %lld bytes could be written\n",
            qint64(run.written), bytes);
    if (check.faults > 0)
        std::fprintf(stderr, "serial_e2e: %s\n", qPrintable(check.firstFault));
    return wrote && lost == 0 && check.faults == 0 ? 0 : 1;
}

int soak(qint64 seconds, std::uint64_t seed)
{
    Run run(ScannerStream(seed, 16384));
    const auto failed = [](const char *why) {
        std::printf("soak: result=failed reason=\"%s\"\n", why);
        return 1;
    };
    if (!run.open())
        return failed("the port did not open");
    const std::int64_t rssBefore = bench::residentBytes();
    QElapsedTimer elapsed;
    elapsed.start();
    run.run(std::numeric_limits<qint64>::max(), std::chrono::seconds(seconds));
    const double runSeconds = double(elapsed.elapsed()) / 1000;
    const double growth = double(bench::residentBytes() - rssBefore);
    if (!run.stopWriting())
        return failed("writing into the pseudo-terminal failed");
    if (!run.port->PortOpen())
        return failed("the port closed during the run");
    const StreamCheck check = run.check();

    // What the log stores: a line's code, a byte and a bit (a flood's times next to
    // nothing);
    // a scan line's place among the other lines (24), its row (8) and its Latin-1
    // text's block (16-byte header, n + 1 bytes, 8 of malloc's) in 16-byte steps.
    const auto lines = double(std::max<qint64>(1, run.log->count()));
    const double average
        = double(check.scanCharacters) / double(std::max<qint64>(1, check.scanLines));
    const double model
        = 1.125 * lines + double(check.scanLines) * (32 + 16 * std::ceil((average + 25) / 16));
    const bool ok = check.faults == 0 && run.ticks == check.scanLines;
    std::printf(
        "soak: seconds=%.0f bytes=%lld bytes_per_s=%.0f character_lines=%lld carriage_returns=%lld "
        "scan_lines=%lld ticks=%lld missing=%lld faults=%lld rss_growth_mib=%.1f "
        "bytes_per_line=%.2f "
        "log_model_bytes_per_line=%.2f result=%s\n",
        runSeconds, qint64(run.written), double(run.written) / runSeconds, check.characterLines,
        check.carriageReturns, check.scanLines, run.ticks, check.missing, check.faults,
        growth / (1 << 20), growth / lines, model / lines, ok ? "ok" : "lost");
    if (!ok && !check.firstFault.isEmpty())
        std::fprintf(stderr, "soak: first fault at %s\n", qPrintable(check.firstFault));
    return ok ? 0 : 1;
}

} // namespace

int serialE2e(const QStringList &arguments)
{
    if (const qint64 seconds = bench::number(arguments, QStringLiteral("--seconds")); seconds > 0)
        return soak(seconds, bench::option(arguments, QStringLiteral("--seed"), "1").toULongLong());
    const bool none = bench::option(arguments, QStringLiteral("--cr")) == QLatin1String("none");
    return byBytes(bench::number(arguments, QStringLiteral("--bytes")),
        none ? ScannerStream::Ending::None : ScannerStream::Ending::CarriageReturn);
}
