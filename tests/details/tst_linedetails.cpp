// A log line's details: the names of the codes, the times of the lines, what made
// up a scan, the tooltips and the rows that "Копировать с подробностями" copies.

#include "details/linedetails.h"
#include "details/sessionclock.h"
#include "form/main_window.h"
#include "log/eventlog.h"
#include "logstore/linetimes.h"
#include "scanbox/scanbox.h"
#include "serial/serialcontrol.h"
#include "support/ptypair.h"
#include "text/notation.h"
#include "text/tooltiptext.h"

#include <QtTest>
#include <QtWidgets>

static qint64 now = 0; // the session clock as the test sets it, in microseconds
static int clockReads = 0;

// Tab-separated text split as a spreadsheet reads it.
static QList<QStringList> readTsv(const QString &text)
{
    QList<QStringList> rows { { {} } };
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'"' && (!quoted || text.mid(i + 1, 1) != u'"'))
            quoted = !quoted;
        else if (!quoted && (ch == u'\t' || ch == u'\n'))
            ch == u'\t' ? rows.last().append(QString()) : rows.append(QStringList { {} });
        else
            rows.last().last() += text.at(ch == u'"' ? ++i : i); // a doubled quote is one
    }
    return rows;
}

class TestLineDetails : public QObject
{
    Q_OBJECT

    PseudoTerminal pty;
    std::unique_ptr<Form1> form;
    EventLog *log = nullptr;

private slots:
    // The real form, its COM1 a pseudo-terminal, open; no tick but the test's.
    void initTestCase()
    {
        SessionClock::setSource([] { return ++clockReads, now; });
        form = std::make_unique<Form1>();
        log = form->findChild<EventLog *>("List1");
        form->findChild<QTimer *>("TimerCOM")->setInterval(3600 * 1000);
        auto *port = form->findChild<SerialControl *>("MSComm1");
        port->setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
        form->findChild<QCheckBox *>("Check1")->click();
        form->findChild<QPushButton *>("CmdOpen")->click();
        QVERIFY(port->PortOpen());
    }
    void init() { form->CmdClear_Click(); }

    void codes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<QString>("shown"); // the character in «», or what the text must say
        QMap<int, QString> names { { 127, "DEL" }, { 0xA0, "NBSP" }, { 0xAD, "SHY" } };
        const QStringList ascii
            = QString("NUL SOH STX ETX EOT ENQ ACK BEL BS HT LF VT FF CR SO SI "
                      "DLE DC1 DC2 DC3 DC4 NAK SYN ETB CAN EM SUB ESC FS GS RS US SP")
                  .split(u' ');
        for (int code = 0; code < ascii.size(); ++code)
            names[code] = ascii[code];
        const QMap<int, QString> meaning { { 4, "ISO/IEC 15434" }, { 29, "GS1" },
            { 30, "ISO/IEC 15434" }, { 0x98, "не назначен" } };
        // Windows-1251 from 0x80; 0x98, NBSP and the soft hyphen show no glyph ("_").
        const QString upper(
            "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—_™љ›њќћџ_ЎўЈ¤Ґ¦§Ё©Є«¬_®Ї°±Ііґµ¶·ё№є»јЅѕїАБВГДЕЖЗ"
            "ИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя");
        for (int code = 0; code < 256; ++code) {
            const QString glyph = QString("«%1»").arg(code < 128 ? QChar(code) : upper[code - 128]);
            QTest::addRow("%d", code)
                << code << names.value(code)
                << (names.contains(code) || meaning.contains(code) ? meaning.value(code) : glyph);
        }
    }
    void codes()
    {
        QFETCH(int, code);
        QFETCH(QString, shown);
        QTEST(Notation::controlName(quint8(code)), "abbreviation");
        const QString text = LineDetails::describeCode(quint8(code));
        QVERIFY2(text.startsWith(QString::asprintf("%d (0x%02X), ", code, code)
                     + Notation::controlName(quint8(code)))
                && text.contains(shown),
            qPrintable(text));
    }

    void times()
    {
        // Past 2^32 microseconds (71 minutes), across many blocks and after a long
        // silence, every line keeps its exact time; a clock going back gives no
        // negative gap; a cleared store starts afresh.
        LineTimes times;
        const qint64 lines = 3'000'000, late = (qint64(1) << 34) + 5;
        for (qint64 row = 0; row < lines; ++row)
            times.append(row * 2000 + row % 7);
        times.append(late);
        times.append(late - 10);
        for (qint64 row = 0; row < lines; ++row)
            QCOMPARE(times.at(row), row * 2000 + row % 7);
        QCOMPARE(times.at(lines + 1), late);
        QCOMPARE(times.at(70'000), 70'000 * 2000 + 70'000 % 7); // read out of order
        times.clear();
        times.append(7);
        QCOMPARE(times.at(0), 7);
    }

    void scanSummary_data()
    {
        QTest::addColumn<QByteArrayList>("pieces"); // "+N": N ms pass; "tick": the commit
        QTest::addColumn<QString>("scan");
        QTest::addColumn<QList<int>>("figures"); // bytes, span and longest gap in ms
        QTest::addColumn<QString>("between");
        QTest::addColumn<QString>("ending");
        QTest::newRow("CR") << QByteArrayList { "01", "+5", "AF\r", "tick" } << "01AF"
                            << QList { 5, 5, 5 } << ""
                            << "CR";
        QTest::newRow("CR LF") << QByteArrayList { "0123\r\n", "+9", "tick" } << "0123"
                               << QList { 6, 0, 0 } << ""
                               << "CR LF";
        QTest::newRow("GS inside, pauses")
            << QByteArrayList { "01", "+2", "\x1d", "+3", "AF\r", "+1", "\n", "tick" } << "01AF"
            << QList { 7, 5, 3 } << "GS"
            << "CR LF";
        QTest::newRow("only its own bytes")
            << QByteArrayList { "12\r", "tick", "+50", "\n3", "+4", "4\r", "tick" } << "34"
            << QList { 4, 4, 4 } << ""
            << "CR";
    }
    void scanSummary()
    {
        QFETCH(QByteArrayList, pieces);
        auto *timer = form->findChild<QTimer *>("TimerCOM");
        for (const QByteArray &piece : pieces) {
            if (piece.startsWith('+')) {
                now += piece.mid(1).toInt() * 1000;
            } else if (piece == "tick") {
                form->TimerCOM_Timer();
            } else { // parsed in full before the clock moves on
                const qsizetype lines = log->count() + piece.size() - piece.count('\r');
                QVERIFY(pty.write(piece));
                QVERIFY(QTest::qWaitFor([&] {
                    return log->count() == lines && (!piece.contains('\r') || timer->isActive());
                }));
            }
        }
        const ScanSummary summary = log->scanSummary(log->count() - 1);
        QTEST(log->item(log->count() - 1), "scan");
        QTEST((QList { int(summary.bytes()), int(summary.span() / 1000),
                  int(summary.longestGap() / 1000) }),
            "figures");
        QTEST(summary.between(), "between");
        QTEST(summary.ending(), "ending");
    }

    void tooltipsAndCopy()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->findChild<QCheckBox *>("Check1")->click(); // keyboard mode, the port open
        short quote = '"', a = 'A';
        form->Form_KeyPress(quote);
        now += 2500;
        clockReads = 0;
        form->ScanCom("1\x1d"); // one notification: one moment
        QCOMPARE(clockReads, 1);
        form->Form_KeyPress(a);
        form->findChild<ScanBox *>("txtSkaner")->setText("1\t\"2"); // as if typed
        form->TimerCOM_Timer();

        const QString keyA = log->lineDetails(3);
        QHelpEvent hover(QEvent::ToolTip, log->rowRect(3).center(), log->mapToGlobal(QPoint()));
        QApplication::sendEvent(log->viewport(), &hover);
        QCOMPARE(QToolTip::text(), toolTipText(keyA));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(log)->child(3)->text(QAccessible::Description),
            keyA);

        // Each line one row of five fields, the header first; the gaps: none within a
        // notification, and since the previous key (not line) for a key, to the whole
        // millisecond its stamps have.
        log->selectAll();
        const QList<QStringList> rows = readTsv(log->selectedTextWithDetails());
        const QStringList hex { "Код (hex)", "0x22", "0x31", "0x1D", "0x41", "" };
        QCOMPARE(rows.size(), hex.size());
        for (int row = 0; row < rows.size(); ++row) {
            QCOMPARE(rows[row].size(), 5);
            QCOMPARE(rows[row][3], hex[row]);
            if (row > 0)
                QCOMPARE(rows[row][2], log->item(row - 1));
        }
        QCOMPARE(rows[3][1] + " " + rows[4][1], "0,000 3");
    }
};

QTEST_MAIN(TestLineDetails)
#include "tst_linedetails.moc"
