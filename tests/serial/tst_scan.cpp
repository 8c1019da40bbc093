#include "details/sessionclock.h"
#include "errors/runtimeerror.h"
#include "support/portform.h"

#include <ctime>

// Received bytes through a pseudo-terminal, the real serial control and the real form:
// character lines, the scan box, the commit on the timer's tick, the device unplugged.
class TestScan : public QObject
{
    Q_OBJECT

    std::unique_ptr<PortForm> f;

    // Descriptors on a pseudo-terminal, and others less Qt's threads (started lazily, one fd each).
    static std::pair<qsizetype, qsizetype> resources()
    {
        const auto fds = QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System);
        return { std::ranges::count_if(fds, [](auto &fd) { return fd.symLinkTarget().startsWith("/dev/pt"); }),
            fds.size() - QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() };
    }

private slots:
    void init()
    {
        f = std::make_unique<PortForm>();
        f->click("CmdOpen");
        QVERIFY(f->port()->PortOpen());
    }

    void scan_data()
    {
        QTest::addColumn<QString>("typed"); // by the operator into the scan box first
        // Written one after the other; "@..." handed to ScanCom as one chunk, "Cmd..." a click.
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QString>("digits"); // the scan box at the tick, and so the scan line
        const auto row = [](const char *name, const QByteArrayList &pieces, const QString &digits,
                             const QString &typed = {}) { QTest::newRow(name) << typed << pieces << digits; };
        row("lone CR commits an empty line", { "\r" }, "");
        row("operator's text joins the scan", { "3\r" }, "123", "12");
        // A commit pending at "X" or "Закрыть порт" still comes, with the box of its tick.
        row("X while pending", { "12\r", "CmdClear", "34" }, "34");
        row("Закрыть порт while pending", { "12\r", "CmdClose" }, "");
        // Past what one read takes: Input() brings along what the system holds, in order.
        QByteArray allButCR;
        for (int b = 0; b < 256; ++b)
            allButCR += b == 13 ? QByteArray() : QByteArray(1, char(b));
        row("every byte value 800 times, only hex digits kept", { allButCR.repeated(800), "\r" },
            QString("0123456789ABCDEF").repeated(800));
        // Bytes after each carriage return, past the 32,767 characters a line edit takes by default.
        const QByteArray unit("0123456789ABCDEF\r\nz?");
        row("one chunk of 70,000 characters", { "@" + unit.repeated(3500) }, QString(unit.left(16)).repeated(3500));
    }
    void scan()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArrayList, pieces);
        QFETCH(QString, digits);
        auto *timer = f->form.findChild<QTimer *>("TimerCOM");
        QCOMPARE(timer->interval(), 100);
        timer->setInterval(3600 * 1000); // no tick before every piece is in
        QTest::keyClicks(f->box(), typed);
        f->box()->setSelection(0, 1); // digits go to the end, wherever the operator's caret is
        QByteArray sinceCleared;
        for (const QByteArray &piece : pieces) {
            if (piece.startsWith("Cmd")) {
                f->click(piece);
                QCOMPARE(f->log()->count(), 0);
                sinceCleared.clear();
            } else if (piece.startsWith('@')) {
                f->form.ScanCom(QString::fromLatin1(piece.mid(1)));
                sinceCleared += piece.mid(1);
            } else {
                const qsizetype lines = characterLines(sinceCleared += piece).size();
                QVERIFY(f->pty.write(piece) && QTest::qWaitFor([&] { // a lone CR gives no line to wait for
                    QTest::qWait(20);
                    return f->log()->characterLineCount() == lines; }, 10000));
            }
        }
        // Before the tick: every character line and the digits, no scan line.
        QVERIFY(timer->isActive());
        QCOMPARE(f->log()->items(), characterLines(sinceCleared));
        QCOMPARE(f->box()->text(), digits);
        QVERIFY(f->box()->cursorPosition() == digits.size() && !f->box()->hasSelectedText());
        timer->setInterval(100);
        QTRY_COMPARE(f->log()->count(), characterLines(sinceCleared).size() + 1);
        QVERIFY(!timer->isActive()); // the tick commits once and stops
        QCOMPARE(f->log()->items(), characterLines(sinceCleared) << digits);
        QCOMPARE(f->box()->text(), QString());
    }

    // Pulled out and put back a hundred times while open: no byte lost, red once per unplug,
    // the same number reopens, no descriptor left, no spinning on the dead port.
    void unplugAndReplug()
    {
        constexpr int Cycles = 100;
        QSignalSpy lost(f->port(), &SerialControl::DeviceLost);
        answerBoxes(&f->form); // the message of an open that fails
        f->click("CmdClose");
        f->pty.unplug(); // each cycle plugs in a pair of its own
        const auto before = resources();
        const qint64 startedMs = QDateTime::currentMSecsSinceEpoch();
        QStringList expected;
        for (int cycle = 0; cycle < Cycles; ++cycle) {
            QVERIFY(f->pty.open());
            f->click("CmdOpen");
            QVERIFY(f->port()->PortOpen() && f->indicator() == Form1::Green);
            QByteArray bytes; // every byte value, carriage return included, from a new place each time
            for (int i = 0; i < 256 + cycle; ++i)
                bytes += char(i + cycle * 7);
            expected += characterLines(bytes);
            QVERIFY(f->pty.write(bytes));
            // A hang-up throws away what nobody has read: all must be taken before.
            QTRY_COMPARE(f->log()->characterLineCount(), expected.size());
            f->pty.unplug();
            QTRY_VERIFY(!f->port()->PortOpen() && f->indicator() == Form1::Red);
        }
        QCOMPARE(f->log()->items().filter("KeyAscii="), expected); // scan lines aside
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

    // The device's error and a click on "Открыть порт" in one pass of the event loop, before the
    // control's own reaction to the error: the device stays lost, the port ends closed and red.
    void clickAsDeviceGoes()
    {
        auto *serial = f->port()->findChild<QSerialPort *>();
        connect(serial, &QSerialPort::errorOccurred, f.get()->port(), [this](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::NoError && f->port()->PortOpen())
                f->child<QPushButton>("CmdOpen")->click(); // refused: the port is open
        });
        f->pty.unplug();
        QTRY_VERIFY(!f->port()->PortOpen() && f->indicator() == Form1::Red);
    }

    // A memory shortage in the receive path (here when the form asks the time of a chunk) is
    // reported, and the port goes on delivering: the failure never unwound through its reader.
    void failureInReceivePath()
    {
        static bool armed = true;
        SessionClock::setSource([]() -> qint64 {
            if (std::exchange(armed, false))
                throw std::bad_alloc();
            return 0;
        });
        static QStringList reports; // the runtime's own report is tst_desktop's
        setUntrappedReport([](const RuntimeError &error) { reports << QString::number(error.number()) + ' ' + error.description(); });
        QVERIFY(f->pty.write("1F"));
        QTRY_COMPARE(reports, QStringList { "7 Недостаточно памяти" });
        QVERIFY(f->pty.write("2\r"));
        QTRY_COMPARE(f->log()->items(), characterLines("2") << "2");
        SessionClock::setSource(nullptr);
        setUntrappedReport(nullptr);
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
