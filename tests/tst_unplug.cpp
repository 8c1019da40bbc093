#include "portform.h"

#include <ctime>

// An adapter pulled out and put back a hundred times while the port is open: no byte
// lost, red once per unplug, the same number reopens, no descriptor left, no spinning.
class TestUnplug : public QObject
{
    Q_OBJECT

    // Descriptors on a pseudo-terminal, and others less Qt's threads (started lazily, one fd each).
    static std::pair<qsizetype, qsizetype> resources()
    {
        const auto fds = QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System);
        return { std::ranges::count_if(fds, [](auto &fd) { return fd.symLinkTarget().startsWith("/dev/pt"); }),
            fds.size() - QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() };
    }

private slots:
    void unplugAndReplug()
    {
        constexpr int Cycles = 100;
        PortForm f; // COM1 is whatever pair is plugged in now
        QSignalSpy lost(f.port(), &SerialControl::DeviceLost);
        answerBoxes(&f.form); // the message of an open that fails
        f.pty.unplug(); // each cycle plugs in a pair of its own
        const auto before = resources();
        const qint64 startedMs = QDateTime::currentMSecsSinceEpoch();
        QStringList expected;
        for (int cycle = 0; cycle < Cycles; ++cycle) {
            QVERIFY(f.pty.open());
            f.click("CmdOpen");
            QVERIFY(f.port()->PortOpen() && f.indicator() == Form1::Green);
            QByteArray bytes; // every byte value, carriage return included, from a new place each time
            for (int i = 0; i < 256 + cycle; ++i)
                bytes += char(i + cycle * 7);
            expected += characterLines(bytes);
            QVERIFY(f.pty.write(bytes));
            // A hang-up throws away what nobody has read: all must be taken before.
            QTRY_COMPARE(f.log()->characterLineCount(), expected.size());
            f.pty.unplug();
            QTRY_VERIFY(!f.port()->PortOpen() && f.indicator() == Form1::Red);
        }
        QCOMPARE(f.log()->items().filter("KeyAscii="), expected); // scan lines aside
        // Qt fails reads on a dead port at every turn of the event loop while it is open.
        const std::clock_t idleFrom = std::clock();
        QTest::qWait(1000);
        const double idleCpuSeconds = double(std::clock() - idleFrom) / CLOCKS_PER_SEC;
        qInfo("unplug: cycles=%d idle_cpu_s=%.3f wall_s=%.1f", Cycles, idleCpuSeconds,
            double(QDateTime::currentMSecsSinceEpoch() - startedMs) / 1000);
        QVERIFY2(idleCpuSeconds < 0.5, "the program spins on the unplugged port");
        QCOMPARE(resources(), std::pair(qsizetype(0), before.second));
        QCOMPARE(lost.size(), Cycles); // once for each unplug, none while idle
    }
};

QTEST_MAIN(TestUnplug)
#include "tst_unplug.moc"
