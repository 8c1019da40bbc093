#include "eventlog.h"
#include "main_window.h"
#include "pty.h"
#include "serialcontrol.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

// Received bytes through a pseudo-terminal, the real serial control and the real
// form: character lines, the scan box and the commit on the timer's tick.
class TestScan : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { form.reset(); }
    void scan_data();
    void scan();
    void operatorTextJoinsScan();
    void pendingCommitAfterClearing_data();
    void pendingCommitAfterClearing();
    void longInput_data();
    void longInput();
    void splitDoesNotMatter_data();
    void splitDoesNotMatter();

protected:
    // Sees the timer's tick before the form does.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct State
    {
        QStringList log;
        QString box;
        bool caretAtEnd = false;
    };
    State state() const;
    // Writes one piece and waits until the form has parsed all of it.
    [[nodiscard]] bool send(const QByteArray &piece);

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;
    EventLog *log = nullptr;
    QLineEdit *box = nullptr;
    QTimer *timer = nullptr;
    SerialControl *port = nullptr;
    QList<State> atTick;
};

// The character lines that bytes give, in order; a carriage return gives none.
static QStringList characterLines(const QByteArray &bytes)
{
    QStringList lines;
    for (const char byte : bytes) {
        if (byte != '\r')
            lines.append("KeyAscii=" + QString::number(quint8(byte)));
    }
    return lines;
}

static QStringList scanLines(const QStringList &log)
{
    QStringList scans;
    for (const QString &line : log) {
        if (!line.startsWith("KeyAscii="))
            scans.append(line);
    }
    return scans;
}

void TestScan::init()
{
    QVERIFY(pty.open());
    form = std::make_unique<Form1>();
    log = form->findChild<EventLog *>("List1");
    box = form->findChild<QLineEdit *>("txtSkaner");
    timer = form->findChild<QTimer *>("TimerCOM");
    port = form->findChild<SerialControl *>("MSComm1");
    port->setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
    timer->installEventFilter(this);
    atTick.clear();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->findChild<QCheckBox *>("Check1")->click();
    form->findChild<QPushButton *>("CmdOpen")->click();
    QVERIFY(port->PortOpen());
}

bool TestScan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == timer && event->type() == QEvent::Timer)
        atTick.append(state());
    return false;
}

TestScan::State TestScan::state() const
{
    return { log->items(), box->text(),
        box->cursorPosition() == box->text().size() && !box->hasSelectedText() };
}

bool TestScan::send(const QByteArray &piece)
{
    const auto parsed = [this] { return log->items().filter("KeyAscii=").size(); };
    const qsizetype expected = parsed() + characterLines(piece).size();
    if (!pty.write(piece))
        return false;
    // A piece of only carriage returns adds no line: give it a moment instead.
    if (parsed() == expected)
        QTest::qWait(20);
    return QTest::qWaitFor([&] { return parsed() == expected; }, 10000);
}

void TestScan::scan_data()
{
    QTest::addColumn<QByteArrayList>("pieces"); // written one after the other
    QTest::addColumn<QString>("digits"); // the scan box before any tick
    QTest::addColumn<QStringList>("scans"); // scan lines committed

    const auto row
        = [](const char *name, const QByteArrayList &pieces, const QString &digits,
              const QStringList &scans) { QTest::newRow(name) << pieces << digits << scans; };
    QByteArray allButCR;
    for (int b = 0; b < 256; ++b)
        allButCR += b == 13 ? QByteArray() : QByteArray(1, char(b));
    row("01AF CR", { "01AF\r" }, "01AF", { "01AF" });
    row("in pieces", { "0", "1A", "F", "\r" }, "01AF", { "01AF" });
    row("CR LF in one write", { "01AF\r\n" }, "01AF", { "01AF" });
    row("CR LF in two writes", { "01AF\r", "\n" }, "01AF", { "01AF" });
    row("lower case, letters, punctuation, blanks, zero",
        { QByteArray("abcdefGXYZgxyz!.,;-+ \t\n\0", 24) }, "", {});
    row("every byte value", { allButCR, "\r" }, "0123456789ABCDEF", { "0123456789ABCDEF" });
    row("lone CR commits an empty line", { "\r" }, "", { "" });
    row("two scans in one write", { "12\r34\r" }, "1234", { "1234" });
}

void TestScan::scan()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(QString, digits);
    QFETCH(QStringList, scans);
    for (const QByteArray &piece : pieces)
        QVERIFY(send(piece));
    QTest::qWait(250); // past the tick, and past a second one if the timer kept running
    QTRY_VERIFY(!timer->isActive());
    QCOMPARE(atTick.size(), scans.size());
    if (!atTick.isEmpty()) {
        // Just before the tick: every character line and the digits, no scan line.
        QCOMPARE(scanLines(atTick.first().log), QStringList());
        QCOMPARE(atTick.first().box, digits);
        QVERIFY(atTick.first().caretAtEnd);
    }
    QCOMPARE(log->items().filter("KeyAscii="), characterLines(pieces.join()));
    QCOMPARE(scanLines(log->items()), scans);
    QCOMPARE(box->text(), scans.isEmpty() ? digits : QString());
}

void TestScan::operatorTextJoinsScan()
{
    QTest::keyClicks(box, "12");
    box->setSelection(0, 1); // the operator's caret and selection at the start
    QVERIFY(send("3\r"));
    QTRY_COMPARE(atTick.size(), 1);
    QCOMPARE(atTick.first().box, "123");
    QVERIFY(atTick.first().caretAtEnd);
    QTRY_COMPARE(log->items(), QStringList({ "KeyAscii=51", "123" }));
}

void TestScan::pendingCommitAfterClearing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("after"); // arrives after the click, before the tick
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("X") << "CmdClear" << QByteArray("34")
                       << QStringList { "KeyAscii=51", "KeyAscii=52", "34" };
    QTest::newRow("Закрыть порт") << "CmdClose" << QByteArray() << QStringList { "" };
}

void TestScan::pendingCommitAfterClearing()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, lines);
    // A longer period keeps the click before the tick however loaded the machine.
    timer->setInterval(1000);
    QVERIFY(send("12\r"));
    QVERIFY(timer->isActive());
    form->findChild<QPushButton *>(button)->click();
    QCOMPARE(log->count(), 0);
    if (!after.isEmpty())
        QVERIFY(send(after));
    QTRY_COMPARE_WITH_TIMEOUT(atTick.size(), 1, 5000);
    QTRY_COMPARE(log->items(), lines);
    QCOMPARE(box->text(), QString());
}

void TestScan::longInput_data()
{
    QTest::addColumn<bool>("throughPort"); // else one chunk straight into ScanCom
    QTest::addColumn<int>("repeats");
    QTest::newRow("46,000 bytes in one write") << true << 2300;
    QTest::newRow("one chunk of 70,000 characters") << false << 3500;
}

void TestScan::longInput()
{
    QFETCH(bool, throughPort);
    QFETCH(int, repeats);
    const QByteArray unit("0123456789ABCDEF\r\nz?");
    const QByteArray bytes = unit.repeated(repeats);
    if (throughPort)
        QVERIFY(send(bytes));
    else
        form->ScanCom(QString::fromLatin1(bytes));
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 10000);
    QCOMPARE(log->items().filter("KeyAscii="), characterLines(bytes));
    // Every digit ends up in exactly one committed scan, in order.
    QCOMPARE(
        scanLines(log->items()).join(QString()), QString("0123456789ABCDEF").repeated(repeats));
    QCOMPARE(box->text(), QString());
}

void TestScan::splitDoesNotMatter_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : { 1u, 2u, 3u })
        QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
}

void TestScan::splitDoesNotMatter()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QByteArray stream;
    for (int i = 0; i < 300; ++i) // carriage returns and digits more often than by chance
        stream += random.bounded(8) == 0 ? "\r0F"[random.bounded(3)] : char(random.bounded(256));
    stream += 'z'; // the last line tells that all has arrived
    // No tick while the stream arrives: both runs are compared before any commit.
    timer->setInterval(3600 * 1000);

    QSignalSpy notifications(port, &SerialControl::OnComm);
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype length = 1 + random.bounded(40);
        QVERIFY(send(stream.mid(at, length)));
        at += length;
    }
    const State cut = state();
    const auto cutNotifications = notifications.size();

    form->CmdClear_Click();
    timer->stop();
    notifications.clear();
    for (const char byte : stream) {
        QVERIFY(pty.write(QByteArray(1, byte)));
        QVERIFY(notifications.size() == 1 || notifications.wait(5000));
        notifications.clear();
    }
    QCOMPARE(state().log, cut.log);
    QCOMPARE(state().box, cut.box);
    QVERIFY2(cutNotifications < stream.size(), "the cut run arrived in chunks");
}

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
