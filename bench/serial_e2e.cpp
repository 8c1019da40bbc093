// A scanner on a pseudo-terminal: a thread of its own writes a ScannerStream at
// full speed into the master side, so that the window's thread only reads; the
// shown window's serial control has the slave side open ("Открыть порт").
// Afterwards every line of the log is held against the bytes sent (StreamCheck);
// the run fails on any difference.
//
// By bytes (bench/run: 10,000,000, --quick 1,000,000, --bytes N), until the log
// holds a character line for every byte that is not a carriage return:
//
//   bench: serial_e2e bytes=<N> mb_per_s=<x> lost=<k> max_stall_ms=<z>
//   bench: serial_e2e cr=none bytes=<N> mb_per_s=<x> lost=<k> max_stall_ms=<z>
//
// The second case (--cr none) is a scanner that ends its reads with nothing: no
// commit ever comes, and every digit stays in the scan box.
//
// mb_per_s   N / 1,000,000 over the seconds from the first byte written to the
//            last character line in the log.
// lost       bytes other than carriage returns that never became a character
//            line; the run gives up once nothing has arrived for 10 s.
// max_stall_ms  the longest gap between two ticks of a 1 ms precise timer on the
//            window's thread, its own 1 ms included: the longest the event loop
//            went without turning, as any timer of the window (the commit's
//            among them) feels it, waits of the GLib event loop included.
//
// A note on stderr gives the processor time the window's thread had (on a shared
// machine the figures follow it) and the longest the scan box grew. --rate B
// writes B bytes a second (a serial line at 921,600 baud carries 92,160).
//
// By time (tools/soak: --seconds N [--seed S]), with kilobytes of noise between
// reads so that the scan box stays short over minutes:
//
//   soak: seconds=<s> bytes=<n> bytes_per_s=<r> character_lines=<n> carriage_returns=<n>
//         scan_lines=<n> ticks=<n> missing=0 faults=0 rss_growth_mib=<m> bytes_per_line=<x>
//         log_model_bytes_per_line=<y> result=ok
//
// ticks are the commit timer's ticks, one per scan line; several carriage returns
// before one tick give one commit. The memory the process grew by is set against
// what the log stores per line.

#include "benchsupport.h"
#include "eventlog.h"
#include "main_window.h"
#include "ptypair.h"
#include "runtime.h"
#include "scanbox.h"
#include "serialcontrol.h"
#include "scannerstream.h"
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
#include <time.h>
#include <unistd.h>

namespace {

constexpr qint64 GiveUpAfterNs = 10'000'000'000;

double threadCpuSeconds()
{
    timespec used {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return double(used.tv_sec) + double(used.tv_nsec) / 1e9;
}

// What a scan line of n characters costs the log beyond the six bytes of every
// line (its code and its time): its place in the list of other lines (a QString, 24 bytes), its row
// number (8), and the string's own block (a 16-byte header and n + 1 UTF-16
// units) as malloc rounds it, with malloc's 8 bytes of bookkeeping.
double scanLineBytes(qint64 lines, qint64 characters)
{
    if (lines == 0)
        return 0;
    const double average = double(characters) / double(lines);
    const double block = 16 * std::ceil((16 + 2 * (average + 1) + 8) / 16);
    return double(lines) * (24 + 8 + block);
}

// The form with its port open on the scanner, and what a run watches while the
// bytes arrive: when it is done, how long the event loop went without turning,
// the commit timer's ticks, and whether anything still arrives at all.
class Run : public QObject
{
public:
    explicit Run(const ScannerStream &stream)
        : log(form.findChild<EventLog *>(QStringLiteral("List1")))
        , box(form.findChild<ScanBox *>(QStringLiteral("txtSkaner")))
        , commit(form.findChild<QTimer *>(QStringLiteral("TimerCOM")))
        , port(form.findChild<SerialControl *>(QStringLiteral("MSComm1")))
        , m_stream(stream)
        , m_writing(stream)
    {
        // Connected after the form's own handler: the chunk's lines are in the log.
        connect(port, &SerialControl::OnComm, this, [this] { received(); });
        m_heartbeat.setTimerType(Qt::PreciseTimer);
        m_heartbeat.setInterval(1);
        connect(&m_heartbeat, &QTimer::timeout, this, [this] { beat(); });
        commit->installEventFilter(this);
    }

    ~Run() { stopWriting(); }

    bool open() { return m_pty.masterFd() >= 0 && bench::openScannerPort(&form, m_pty.slavePath()); }

    // Writes `bytes` at most (a time that runs out stops at the end of a read; a
    // rate above 0 is bytes a second), made ahead where given, and runs the event loop until the expected
    // character lines are in (or, with none expected, until the writer is done and
    // the log has settled) or nothing has come for 10 s.
    void run(qint64 bytes, std::chrono::steady_clock::duration runFor, qint64 rate,
        const QByteArray &ahead = {})
    {
        m_clock.start();
        m_heartbeat.start();
        m_writer = std::thread(
            &Run::write, this, bytes, std::chrono::steady_clock::now() + runFor, rate, ahead);
        m_loop.exec();
        m_heartbeat.stop();
        if (m_doneNs < 0)
            m_doneNs = m_lastProgressNs;
    }

    // Stops the writer (a reader that went away leaves it waiting); false if a
    // write failed.
    bool stopWriting()
    {
        m_stop = true;
        if (m_writer.joinable())
            m_writer.join();
        return !m_failed;
    }
    qint64 written() const { return m_written; }

    // After the last commit, every line of the log against what was written.
    StreamCheck check()
    {
        QElapsedTimer settle;
        settle.start();
        while (commit->isActive() && settle.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        StreamCheck check(m_stream, m_written);
        for (qsizetype row = 0; row < log->count(); ++row)
            check.line(log->item(row));
        check.finish(box->text());
        return check;
    }

    qint64 doneNs() const { return m_doneNs; }
    qint64 maxGapNs() const { return m_maxGapNs; }
    qsizetype longestBox() const { return m_longestBox; }

    Form1 form;
    EventLog *log;
    ScanBox *box;
    QTimer *commit;
    SerialControl *port;
    qsizetype expected = -1;
    qint64 ticks = 0;

private:
    void write(qint64 bytes, std::chrono::steady_clock::time_point until, qint64 rate,
        QByteArray block)
    {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point started = Clock::now();
        qsizetype done = 0;
        while (!m_stop) {
            if (done == block.size()) {
                if (m_written >= bytes || Clock::now() >= until)
                    break;
                block.clear();
                done = 0;
                m_writing.appendReads(block, 1 << 16);
                block.truncate(std::min<qint64>(block.size(), bytes - m_written));
            }
            qint64 allowed = block.size() - done;
            if (rate > 0) {
                const std::chrono::duration<double> elapsed = Clock::now() - started;
                allowed = std::min(allowed, qint64(double(rate) * elapsed.count()) + 1 - m_written);
                if (allowed <= 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    continue;
                }
            }
            const ssize_t n = ::write(m_pty.masterFd(), block.constData() + done, size_t(allowed));
            if (n > 0) {
                done += n;
                m_written += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                m_failed = true;
                break;
            } else { // full: wait for the reader, waking now and then to see whether to stop
                pollfd writable { m_pty.masterFd(), POLLOUT, 0 };
                ::poll(&writable, 1, 100);
            }
        }
        m_finished = true;
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        ticks += event->type() == QEvent::Timer;
        return false;
    }

    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_maxGapNs = std::max(m_maxGapNs, now - m_lastTickNs);
        m_lastTickNs = now;
    }

    void received()
    {
        m_longestBox = std::max(m_longestBox, box->text().size());
        if (m_doneNs < 0 && expected >= 0 && log->characterLineCount() >= expected) {
            tick();
            m_doneNs = m_lastTickNs;
            m_loop.quit();
        }
    }

    void beat()
    {
        tick();
        if (log->count() != m_lastCount) {
            m_lastCount = log->count();
            m_lastProgressNs = m_lastTickNs;
        }
        const qint64 quietNs = m_lastTickNs - m_lastProgressNs;
        const bool settled = expected < 0 && quietNs > 500'000'000 && !commit->isActive()
            && (m_finished || !port->PortOpen());
        if (settled || quietNs > GiveUpAfterNs)
            m_loop.quit();
    }

    const ScannerStream m_stream; // as it was before the first byte, for the check
    ScannerStream m_writing;
    PseudoTerminal m_pty;
    std::thread m_writer;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_finished = false;
    std::atomic<bool> m_failed = false;
    std::atomic<qint64> m_written = 0;
    QEventLoop m_loop;
    QTimer m_heartbeat;
    QElapsedTimer m_clock;
    qint64 m_doneNs = -1;
    qint64 m_lastTickNs = 0;
    qint64 m_maxGapNs = 0;
    qsizetype m_lastCount = 0;
    qint64 m_lastProgressNs = 0;
    qsizetype m_longestBox = 0;
};

int byBytes(qsizetype bytes, qint64 rate, ScannerStream::Ending ending)
{
    const ScannerStream stream(20240611u, 0, ending);
    Run run(stream);
    if (bytes < 1 || !run.open()) {
        std::fprintf(stderr, "serial_e2e: nothing to send, or the port did not open\n");
        return 1;
    }
    QByteArray data;
    // Made ahead, so that making them takes no time from the window's thread.
    ScannerStream(stream).appendReads(data, bytes);
    data.truncate(bytes);
    run.expected = bytes - data.count('\r');
    const double cpuBefore = threadCpuSeconds();
    run.run(bytes, std::chrono::hours(24), rate, data);
    const double cpu = threadCpuSeconds() - cpuBefore;
    const bool wrote = run.stopWriting() && run.written() == bytes;
    const StreamCheck check = run.check();

    const qsizetype lost = std::max<qsizetype>(0, run.expected - run.log->characterLineCount());
    const double seconds = double(run.doneNs()) / 1e9;
    std::printf("bench: serial_e2e %sbytes=%lld mb_per_s=%.2f lost=%lld max_stall_ms=%.1f\n",
        ending == ScannerStream::Ending::None ? "cr=none " : "", static_cast<long long>(bytes),
        double(bytes) / 1e6 / seconds, static_cast<long long>(lost), double(run.maxGapNs()) / 1e6);
    std::fflush(stdout);
    std::fprintf(stderr,
        "serial_e2e: the window's thread ran %.2f s of the %.2f s; the scan box grew to %lld "
        "characters\n",
        cpu, seconds, static_cast<long long>(run.longestBox()));
    if (!wrote)
        std::fprintf(stderr, "serial_e2e: only %lld of %lld bytes could be written\n",
            static_cast<long long>(run.written()), static_cast<long long>(bytes));
    if (check.faults > 0)
        std::fprintf(stderr, "serial_e2e: %s\n", qPrintable(check.firstFault));
    return wrote && lost == 0 && check.faults == 0 ? 0 : 1;
}

int fail(const char *why)
{
    std::printf("soak: result=failed reason=\"%s\"\n", why);
    return 1;
}

int soak(qint64 seconds, std::uint64_t seed)
{
    const ScannerStream stream(seed, 16384);
    Run run(stream);
    if (!run.open())
        return fail("the port did not open");
    const std::int64_t rssBefore = bench::residentBytes();
    QElapsedTimer elapsed;
    elapsed.start();
    run.run(std::numeric_limits<qint64>::max(), std::chrono::seconds(seconds), 0);
    const double runSeconds = double(elapsed.elapsed()) / 1000;
    const std::int64_t rssAfter = bench::residentBytes();
    if (!run.stopWriting())
        return fail("writing into the pseudo-terminal failed");
    if (!run.port->PortOpen())
        return fail("the port closed during the run");
    const StreamCheck check = run.check();

    const qint64 lines = run.log->count();
    const qint64 written = run.written();
    const double growth = double(rssAfter - rssBefore);
    const double model
        = 6.0 * double(lines) + scanLineBytes(check.scanLines, check.scanCharacters);
    const bool ok = check.faults == 0 && run.ticks == check.scanLines;
    std::printf("soak: seconds=%.0f bytes=%lld bytes_per_s=%.0f character_lines=%lld "
                "carriage_returns=%lld scan_lines=%lld ticks=%lld missing=%lld faults=%lld "
                "rss_growth_mib=%.1f bytes_per_line=%.2f log_model_bytes_per_line=%.2f result=%s\n",
        runSeconds, static_cast<long long>(written), double(written) / runSeconds,
        static_cast<long long>(check.characterLines),
        static_cast<long long>(check.carriageReturns), static_cast<long long>(check.scanLines),
        static_cast<long long>(run.ticks), static_cast<long long>(check.missing),
        static_cast<long long>(check.faults), growth / (1 << 20),
        lines ? growth / double(lines) : 0.0, lines ? model / double(lines) : 0.0,
        ok ? "ok" : "lost");
    if (!ok && !check.firstFault.isEmpty())
        std::fprintf(stderr, "soak: first fault at %s\n", qPrintable(check.firstFault));
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    // The program's own runtime, so that the event loop turns as it does there.
    Runtime app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const qint64 seconds = bench::option(arguments, QStringLiteral("--seconds")).toLongLong();
    if (seconds > 0)
        return soak(seconds, bench::option(arguments, QStringLiteral("--seed"), "1").toULongLong());
    const QString bytes = bench::option(arguments, QStringLiteral("--bytes"));
    const QString cr = bench::option(arguments, QStringLiteral("--cr"));
    if (bytes.isEmpty()) {
        // Both cases, each in a process of its own.
        const QString n = arguments.contains(QStringLiteral("--quick")) ? "1000000" : "10000000";
        return bench::runCases({ { "--bytes", n }, { "--bytes", n, "--cr", "none" } });
    }
    const qint64 rate = bench::option(arguments, QStringLiteral("--rate")).toLongLong();
    return byBytes(bytes.toLongLong(), rate,
        cr == QLatin1String("none") ? ScannerStream::Ending::None
                                    : ScannerStream::Ending::CarriageReturn);
}
