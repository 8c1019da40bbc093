#include "eventlog.h"
#include "indicator.h"
#include "main_window.h"
#include "ptypair.h"
#include "serialcontrol.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>
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
        const qsizetype terminals = std::ranges::count_if(
            fds, [](const QFileInfo &fd) { return fd.symLinkTarget().startsWith("/dev/pt"); });
        return { terminals,
            fds.size() - QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() };
    }

private slots:
    void unplugAndReplug()
    {
        constexpr int Cycles = 100;
        PseudoTerminal pty; // COM1, whatever pair is plugged in now
        Form1 form;
        auto *port = form.findChild<SerialControl *>("MSComm1");
        const auto *log = form.findChild<EventLog *>("List1");
        const auto *shape = form.findChild<Indicator *>("Shape1");
        port->setPortMapper([&pty] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.findChild<QCheckBox *>("Check1")->click();
        QSignalSpy lost(port, &SerialControl::DeviceLost);
        QTimer operatorHand; // answers the message of an open that fails
        connect(&operatorHand, &QTimer::timeout, this, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
        operatorHand.start(20);

        pty.unplug(); // each cycle plugs in a pair of its own
        const auto before = resources();
        const qint64 startedMs = QDateTime::currentMSecsSinceEpoch();
        QStringList expected;
        for (int cycle = 0; cycle < Cycles; ++cycle) {
            QVERIFY(pty.open());
            QTest::mouseClick(form.findChild<QPushButton *>("CmdOpen"), Qt::LeftButton);
            QVERIFY(port->PortOpen() && shape->FillColor() == Form1::Green);
            // Every byte value, carriage return included, from a new place each time.
            QByteArray bytes;
            for (int i = 0; i < 256 + cycle; ++i) {
                bytes += char(i + cycle * 7);
                if (bytes.back() != '\r')
                    expected.append("KeyAscii=" + QString::number(quint8(bytes.back())));
            }
            QVERIFY(pty.write(bytes));
            // A hang-up throws away what nobody has read: all must be taken before.
            QTRY_COMPARE(log->characterLineCount(), expected.size());
            pty.unplug();
            QTRY_VERIFY(!port->PortOpen() && shape->FillColor() == Form1::Red);
        }
        QCOMPARE(log->items().filter("KeyAscii="), expected); // scan lines aside

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
