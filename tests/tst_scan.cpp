#include "eventlog.h"
#include "main_window.h"
#include "ptypair.h"
#include "serialcontrol.h"

#include <QtTest>
#include <QtWidgets>

// The character lines that bytes give, in order; a carriage return gives none.
static QStringList characterLines(const QByteArray &bytes)
{
    QStringList lines;
    for (const char byte : bytes)
        if (byte != '\r')
            lines.append("KeyAscii=" + QString::number(quint8(byte)));
    return lines;
}

// Received bytes through a pseudo-terminal, the real serial control and the real
// form: character lines, the scan box and the commit on the timer's tick.
class TestScan : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;
    EventLog *log = nullptr;
    QLineEdit *box = nullptr;
    QTimer *timer = nullptr;

    // Writes one piece and waits until the form has parsed all of it.
    [[nodiscard]] bool send(const QByteArray &piece)
    {
        const auto parsed = [this] { return log->items().filter("KeyAscii=").size(); };
        const qsizetype expected = parsed() + characterLines(piece).size();
        if (!pty.write(piece))
            return false;
        if (parsed() == expected) // only carriage returns: no line to wait for
            QTest::qWait(20);
        return QTest::qWaitFor([&] { return parsed() == expected; }, 10000);
    }

private slots:
    void init()
    {
        QVERIFY(pty.open());
        form = std::make_unique<Form1>();
        log = form->findChild<EventLog *>("List1");
        box = form->findChild<QLineEdit *>("txtSkaner");
        timer = form->findChild<QTimer *>("TimerCOM");
        auto *port = form->findChild<SerialControl *>("MSComm1");
        port->setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
        form->findChild<QCheckBox *>("Check1")->click();
        form->findChild<QPushButton *>("CmdOpen")->click();
        QVERIFY(port->PortOpen());
    }
    void cleanup() { form.reset(); }

    void scan_data()
    {
        QTest::addColumn<QString>("typed"); // by the operator into the scan box first
        // Written one after the other; "@..." handed to ScanCom as one chunk, "Cmd..." a click.
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QString>("digits"); // the scan box at the tick, and so the scan line
        const auto row
            = [](const char *name, const QByteArrayList &pieces, const QString &digits,
                  const QString &typed = {}) { QTest::newRow(name) << typed << pieces << digits; };
        row("01AF CR", { "01AF\r" }, "01AF");
        row("in pieces", { "0", "1A", "F", "\r" }, "01AF");
        row("CR LF in two writes", { "01AF\r", "\n" }, "01AF");
        row("lone CR commits an empty line", { "\r" }, "");
        row("two scans in one write", { "12\r34\r" }, "1234");
        row("operator's text joins the scan", { "3\r" }, "123", "12");
        // A commit pending at "X" or "Закрыть порт" still comes, with the box of its tick.
        row("X while pending", { "12\r", "CmdClear", "34" }, "34");
        row("Закрыть порт while pending", { "12\r", "CmdClose" }, "");

        QByteArray allButCR;
        for (int b = 0; b < 256; ++b)
            allButCR += b == 13 ? QByteArray() : QByteArray(1, char(b));
        row("every byte value, only hex digits kept", { allButCR, "\r" }, "0123456789ABCDEF");
        // Past the 32,767 characters a line edit takes by default.
        const QByteArray unit("0123456789ABCDEF\r\nz?");
        row("one chunk of 70,000 characters", { "@" + unit.repeated(3500) },
            QString(unit.left(16)).repeated(3500));
    }
    void scan()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArrayList, pieces);
        QFETCH(QString, digits);
        QCOMPARE(timer->interval(), 100);
        timer->setInterval(3600 * 1000); // no tick before every piece is in
        QTest::keyClicks(box, typed);
        box->setSelection(0, 1); // digits go to the end, wherever the operator's caret is
        QByteArray sinceCleared;
        for (const QByteArray &piece : pieces) {
            if (piece.startsWith("Cmd")) {
                form->findChild<QPushButton *>(piece)->click();
                QCOMPARE(log->count(), 0);
                sinceCleared.clear();
            } else if (piece.startsWith('@')) {
                form->ScanCom(QString::fromLatin1(piece.mid(1)));
                sinceCleared += piece.mid(1);
            } else {
                QVERIFY(send(piece));
                sinceCleared += piece;
            }
        }
        // Before the tick: every character line and the digits, no scan line.
        QVERIFY(timer->isActive());
        QCOMPARE(log->items(), characterLines(sinceCleared));
        QCOMPARE(box->text(), digits);
        QVERIFY(box->cursorPosition() == digits.size() && !box->hasSelectedText());
        timer->setInterval(100);
        QTRY_VERIFY(!timer->isActive());
        QCOMPARE(log->items(), characterLines(sinceCleared) << digits);
        QCOMPARE(box->text(), QString());
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
