#include "errors/runtimeerror.h"
#include "serial/serialcontrol.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <cstdio>

#include <windows.h>
#include <psapi.h>

// The serial port control on Win32, under Wine: COM1 is mapped (by the program
// that runs this, tools/windows/pty_device.py) onto a pseudo-terminal whose
// master side that program holds. The test asks it on stdout to send bytes
// ("send <hex>"), to flood the port ("flood <n>", byte i being i % 251) and stop
// ("stop"), or to close the master side ("unplug"): the device goes away.
class TestWin32Port : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void receivesInOrder_data();
    void receivesInOrder();
    void missingPortRefused();
    void flood();
    void closingDuringFlood();
    void otherSideClosing();

private:
    static void ask(const QByteArray &request);
    void takeFlood();

    SerialControl *m_port = nullptr;
    QByteArray m_received;
    bool m_flooding = false;
    qint64 m_floodAt = 0; // bytes of the flood taken
    qint64 m_outOfOrder = -1; // the first byte not where the flood puts it
    qint64 m_largestPiece = 0;
};

namespace {

constexpr qint64 FloodSize = 20 * 1024 * 1024;

qint64 workingSet()
{
    PROCESS_MEMORY_COUNTERS counters {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)
        ? qint64(counters.WorkingSetSize)
        : 0;
}

} // namespace

void TestWin32Port::initTestCase()
{
    m_port = new SerialControl(this);
    connect(m_port, &SerialControl::OnComm, this, [this] {
        if (m_flooding)
            takeFlood();
        else
            m_received += m_port->Input().toLatin1();
    });
    m_port->setCommPort(1);
    m_port->setSettings(QStringLiteral("9600,N,8,1"));
    m_port->setPortOpen(true);
    QVERIFY(m_port->PortOpen());
    QCOMPARE(m_port->openedPort().device, QStringLiteral("\\\\.\\COM1"));
}

void TestWin32Port::ask(const QByteArray &request)
{
    std::fputs(request.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void TestWin32Port::receivesInOrder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every += char(i);
    QTest::newRow("every byte value") << every;
    QByteArray chunk;
    for (int i = 0; i < 40000; ++i)
        chunk += char('0' + i % 43);
    QTest::newRow("a chunk of 40,000") << chunk;
    QTest::newRow("a scan") << QByteArray("0123ABCDEF\r\n");
}

void TestWin32Port::receivesInOrder()
{
    QFETCH(QByteArray, bytes);
    m_received.clear();
    ask("send " + bytes.toHex());
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), bytes.size(), 60000);
    QCOMPARE(m_received, bytes);
}

void TestWin32Port::missingPortRefused()
{
    SerialControl other;
    other.setCommPort(77);
    try {
        other.setPortOpen(true);
        QFAIL("COM77 opened");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::PortNotAvailable));
        QVERIFY2(error.description().contains(QLatin1String("COM77")), qPrintable(error.description()));
    }
    QVERIFY(!other.PortOpen());
}

// Checked as it comes, not kept: the test's own memory stays flat.
void TestWin32Port::takeFlood()
{
    const QString piece = m_port->Input();
    m_largestPiece = std::max(m_largestPiece, qint64(piece.size()));
    for (const QChar ch : piece) {
        if (m_outOfOrder < 0 && ch.unicode() != m_floodAt % 251)
            m_outOfOrder = m_floodAt;
        ++m_floodAt;
    }
}

void TestWin32Port::flood()
{
    m_flooding = true;
    m_floodAt = 0;
    const qint64 before = workingSet();
    ask("flood " + QByteArray::number(FloodSize));
    // A window busy for 3 s: the reading thread must pause at its bound, and the
    // device be held back, instead of taking everything into memory.
    QThread::msleep(3000);
    const qint64 stalled = workingSet();
    qint64 peak = stalled;
    qint64 ticks = 0;
    qint64 worstGap = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, this, [&] {
        if (m_floodAt > 0 && m_floodAt < FloodSize) {
            ++ticks;
            worstGap = std::max(worstGap, sinceTick.elapsed());
        }
        sinceTick.start();
        peak = std::max(peak, workingSet());
    });
    QElapsedTimer took;
    took.start();
    sinceTick.start();
    tick.start();
    QTRY_VERIFY_WITH_TIMEOUT(m_floodAt >= FloodSize, 600000);
    tick.stop();
    m_flooding = false;
    std::printf("flood: %lld bytes in %lld ms; working set %lld KB before, +%lld KB after a 3 s "
                "stall, +%lld KB at most; largest piece %lld bytes; %lld timer ticks during the "
                "flood, longest gap between them %lld ms\n",
        m_floodAt, took.elapsed(), before / 1024, (stalled - before) / 1024, (peak - before) / 1024,
        m_largestPiece, ticks, worstGap);
    std::fflush(stdout);
    QCOMPARE(m_floodAt, FloodSize);
    QCOMPARE(m_outOfOrder, -1);
    // 1 MB waits at most, and the reads' overhead: far from the 20 MB sent.
    QVERIFY2(stalled - before < 8 * 1024 * 1024, "memory grew while the window was busy");
    QVERIFY2(peak - before < 8 * 1024 * 1024, "memory grew during the flood");
    // Pieces of about 8 KB, and the event loop ran between them.
    QVERIFY(m_largestPiece <= 16384);
    QVERIFY(ticks > 0);
}

void TestWin32Port::closingDuringFlood()
{
    m_flooding = true;
    m_floodAt = 0;
    ask("flood " + QByteArray::number(FloodSize));
    QTRY_VERIFY_WITH_TIMEOUT(m_floodAt > 256 * 1024, 60000);
    QElapsedTimer closing;
    closing.start();
    m_port->setPortOpen(false);
    const qint64 took = closing.elapsed();
    ask("stop");
    m_flooding = false;
    std::printf("closing during a flood: %lld ms, after %lld bytes\n", took, m_floodAt);
    std::fflush(stdout);
    QVERIFY(!m_port->PortOpen());
    QCOMPARE(m_outOfOrder, -1);
    // Open again for what follows; what the flood left in the line may come first.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            try {
                m_port->setPortOpen(true);
            } catch (const RuntimeError &) {
            }
            return m_port->PortOpen();
        }(),
        60000);
}

void TestWin32Port::otherSideClosing()
{
    QSignalSpy lost(m_port, &SerialControl::DeviceLost);
    m_received.clear();
    ask("send " + QByteArray("12\r").toHex());
    QTRY_VERIFY_WITH_TIMEOUT(m_received.endsWith("12\r"), 60000);
    ask("unplug");
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 60000);
    QVERIFY(!m_port->PortOpen());
    // Nothing more comes of the dead port: the loss is told once.
    QTest::qWait(300);
    QCOMPARE(lost.size(), 1);
}

QTEST_GUILESS_MAIN(TestWin32Port)
#include "tst_win32port.moc"
