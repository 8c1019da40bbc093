// Bytes written at full speed into a pseudo-terminal that a shown window's own
// serial control has open (opened through "Открыть порт"), until the log holds a
// character line for every byte that is not a carriage return:
//
//   bench: serial_e2e bytes=<N> mb_per_s=<x> lost=<k> max_stall_ms=<z>
//
// mb_per_s   N / 1,000,000 over the seconds from the first byte written to the
//            last character line in the log.
// lost       bytes other than carriage returns that never became a character
//            line; the run gives up once nothing has arrived for 10 s.
// max_stall_ms  the longest gap between two ticks of a 1 ms precise timer on
//            the window's thread over the same time, the timer's own 1 ms
//            included: the longest the event loop went without turning, as any
//            timer of the window (the commit's among them) feels it. Where Qt
//            runs on the GLib event loop, timers also wait while port activity
//            keeps the loop busy; that wait is counted too.
//
// A thread of its own writes, so that the window's thread only reads. A note on
// stderr gives the processor time the window's thread had (on a shared machine
// the figures follow it) and the longest the scan box grew. Once done, the run
// checks that the character lines give back the bytes in order and that the
// committed scans hold every hex digit sent, and fails otherwise.
// Without arguments it sends 10,000,000 bytes, with --quick 1,000,000; --bytes N
// sends N. --rate B writes B bytes a second instead of as fast as the window
// reads (a serial line at 921,600 baud carries 92,160).

#include "benchsupport.h"
#include "eventlines.h"
#include "eventlog.h"
#include "main_window.h"
#include "pty.h"
#include "runtime.h"
#include "scanbox.h"
#include "serialcontrol.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <random>
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

bool isHexDigit(char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F');
}

// What a scanner on a bench sends: reads of a few tens of characters, mostly
// digits, some with letters and punctuation, each ended by a carriage return and
// often a line feed, and now and then a burst of line noise of any byte value.
// Every byte value occurs. The same bytes on every run.
QByteArray scannerStream(qsizetype size)
{
    static const char hex[] = "0123456789ABCDEF";
    static const char printable[]
        = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-./+$% ";
    std::mt19937 random(20240611u);
    const auto below = [&random](unsigned n) { return random() % n; };

    QByteArray data;
    data.reserve(size + 64);
    for (int byte = 0; byte < 256; ++byte)
        data += char(byte);
    while (data.size() < size) {
        const unsigned kind = below(10);
        if (kind < 6) {
            for (unsigned n = 8 + below(33); n > 0; --n)
                data += hex[below(16)];
        } else if (kind < 9) {
            for (unsigned n = 8 + below(33); n > 0; --n)
                data += printable[below(sizeof printable - 1)];
        } else {
            for (unsigned n = 1 + below(16); n > 0; --n)
                data += char(below(256));
        }
        data += below(2) ? "\r\n" : "\r";
    }
    data.truncate(size);
    // The last read is ended too, so that it is committed.
    data[size - 1] = '\r';
    return data;
}

// Writes all of data into the non-blocking master side as fast as it takes it,
// or at most bytesPerSecond. Returns how much was written.
qsizetype writeAll(
    int fd, const QByteArray &data, qint64 bytesPerSecond, const std::atomic<bool> &stop)
{
    const auto start = std::chrono::steady_clock::now();
    qsizetype done = 0;
    while (done < data.size() && !stop.load(std::memory_order_relaxed)) {
        qsizetype allowed = data.size();
        if (bytesPerSecond > 0) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            allowed = std::min(allowed, qsizetype(double(bytesPerSecond) * elapsed.count()) + 1);
            if (allowed <= done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
        }
        pollfd ready { fd, POLLOUT, 0 };
        // Woken now and then to see whether the run was given up on.
        const int polled = ::poll(&ready, 1, 100);
        if (polled < 0 && errno != EINTR)
            break;
        if (polled <= 0)
            continue;
        if (ready.revents & (POLLERR | POLLHUP | POLLNVAL))
            break;
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(allowed - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return done;
}

// Opens COM1 (the pseudo-terminal) the way the operator does. A failure would
// show the modal message box; it is read out and closed so that the run ends.
bool openLikeTheOperator(Form1 *form)
{
    form->findChild<QCheckBox *>(QStringLiteral("Check1"))->click();
    form->findChild<QLineEdit *>(QStringLiteral("txtPort"))->setText(QStringLiteral("1"));
    form->findChild<QLineEdit *>(QStringLiteral("txtBod"))->setText(QStringLiteral("115200"));
    QTimer::singleShot(2000, form, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            std::fprintf(stderr, "serial_e2e: the port did not open\n");
            box->close();
        }
    });
    form->findChild<QPushButton *>(QStringLiteral("CmdOpen"))->click();
    return form->findChild<SerialControl *>(QStringLiteral("MSComm1"))->PortOpen();
}

// The character lines in the log against the bytes sent, and the committed scans
// against the hex digits sent. Empty when both agree, else what differs.
QString mismatch(const EventLog *log, const QByteArray &data)
{
    QString scans;
    qsizetype next = 0;
    for (qsizetype row = 0; row < log->count(); ++row) {
        const QString line = log->item(row);
        const int code = EventLines::characterCode(line);
        if (code < 0) {
            scans += line;
            continue;
        }
        while (next < data.size() && data.at(next) == '\r')
            ++next;
        if (next == data.size() || quint8(data.at(next)) != code)
            return QStringLiteral("line %1 is %2, not the byte sent").arg(row).arg(line);
        ++next;
    }
    QString digits;
    for (const char byte : data) {
        if (isHexDigit(byte))
            digits += QLatin1Char(byte);
    }
    if (scans != digits)
        return QStringLiteral("the committed scans hold %1 digits of the %2 sent")
            .arg(scans.size())
            .arg(digits.size());
    return {};
}

// Watches the window while the bytes arrive: when the last character line is in
// the log, how long the event loop went without turning, and whether anything
// still arrives at all.
class Watch
{
public:
    Watch(Form1 *form, qsizetype expected)
        : m_log(form->findChild<EventLog *>(QStringLiteral("List1")))
        , m_box(form->findChild<ScanBox *>(QStringLiteral("txtSkaner")))
        , m_expected(expected)
    {
        // Connected after the form's own handler: the chunk's lines are in the log.
        QObject::connect(form->findChild<SerialControl *>(QStringLiteral("MSComm1")),
            &SerialControl::OnComm, form, [this] { received(); });
        m_heartbeat.setTimerType(Qt::PreciseTimer);
        m_heartbeat.setInterval(1);
        QObject::connect(&m_heartbeat, &QTimer::timeout, form, [this] { beat(); });
    }

    // Runs the event loop until every line is in or nothing has come for a while.
    void run()
    {
        m_clock.start();
        m_heartbeat.start();
        m_loop.exec();
        m_heartbeat.stop();
        if (m_doneNs < 0)
            m_doneNs = m_lastProgressNs;
    }

    qint64 doneNs() const { return m_doneNs; }
    qint64 maxGapNs() const { return m_maxGapNs; }
    qsizetype longestBox() const { return m_longestBox; }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_maxGapNs = std::max(m_maxGapNs, now - m_lastTickNs);
        m_lastTickNs = now;
    }

    void received()
    {
        m_longestBox = std::max(m_longestBox, m_box->text().size());
        if (m_doneNs < 0 && m_log->characterLineCount() >= m_expected) {
            tick();
            m_doneNs = m_lastTickNs;
            m_loop.quit();
        }
    }

    void beat()
    {
        tick();
        if (m_log->characterLineCount() != m_lastCount) {
            m_lastCount = m_log->characterLineCount();
            m_lastProgressNs = m_lastTickNs;
        } else if (m_lastTickNs - m_lastProgressNs > GiveUpAfterNs) {
            m_loop.quit();
        }
    }

    EventLog *m_log;
    ScanBox *m_box;
    qsizetype m_expected;
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

int runOne(qsizetype bytes, qint64 bytesPerSecond)
{
    PseudoTerminal pty;
    if (!pty.isOpen() || bytes < 1) {
        std::fprintf(stderr, "serial_e2e: no pseudo-terminal, or nothing to send\n");
        return 1;
    }
    const QByteArray data = scannerStream(bytes);
    const qsizetype expected = bytes - data.count('\r');

    Form1 form;
    form.findChild<SerialControl *>(QStringLiteral("MSComm1"))->setPortMapper([&pty] {
        return QList<MappedPort> { { 1, pty.slavePath(), {} } };
    });
    bench::showAndSettle(&form);
    if (!openLikeTheOperator(&form))
        return 1;

    Watch watch(&form, expected);
    std::atomic<bool> stop { false };
    qsizetype written = 0;
    const double cpuBefore = threadCpuSeconds();
    std::thread writer([&] { written = writeAll(pty.masterFd(), data, bytesPerSecond, stop); });
    watch.run();
    const double cpu = threadCpuSeconds() - cpuBefore;
    stop = true;
    writer.join();

    // The last read's commit, 100 ms after its carriage return.
    auto *commit = form.findChild<QTimer *>(QStringLiteral("TimerCOM"));
    QElapsedTimer settle;
    settle.start();
    while (commit->isActive() && settle.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);

    const auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    const qsizetype lost = std::max<qsizetype>(0, expected - log->characterLineCount());
    const double seconds = double(watch.doneNs()) / 1e9;
    std::printf("bench: serial_e2e bytes=%lld mb_per_s=%.2f lost=%lld max_stall_ms=%.1f\n",
        static_cast<long long>(bytes), double(bytes) / 1e6 / seconds, static_cast<long long>(lost),
        double(watch.maxGapNs()) / 1e6);
    std::fflush(stdout);
    std::fprintf(stderr,
        "serial_e2e: the window's thread ran %.2f s of the %.2f s; the scan box grew to %lld "
        "characters\n",
        cpu, seconds, static_cast<long long>(watch.longestBox()));
    if (written != bytes)
        std::fprintf(stderr, "serial_e2e: only %lld of %lld bytes could be written\n",
            static_cast<long long>(written), static_cast<long long>(bytes));
    const QString differs = mismatch(log, data);
    if (!differs.isEmpty())
        std::fprintf(stderr, "serial_e2e: %s\n", qPrintable(differs));
    return written == bytes && lost == 0 && differs.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    bench::offscreenByDefault();
    Runtime app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString quick = arguments.contains(QStringLiteral("--quick")) ? "1000000" : "10000000";
    const qsizetype bytes = bench::option(arguments, QStringLiteral("--bytes"), quick).toLongLong();
    const qint64 rate = bench::option(arguments, QStringLiteral("--rate")).toLongLong();
    return runOne(bytes, rate);
}
