#include "analysis/readmode.h"
#include "codes/findingtext.h"
#include "details/sessionclock.h"
#include "support/portform.h"
#include "testcodes/testcodeset.h"
#include "testcodes/testcodeswindow.h"

// Reads as the log finds them: through a pseudo-terminal into the real form, each
// read's analysis on the line that ends it (a scan line for a read that a
// carriage return ended), several reads in one scan line, the operator's own
// digits counted apart, and every read reported whole as it ends.
class TestReads : public QObject
{
    Q_OBJECT

private:
    // The log's clock, moved by the test alone: a pause between pieces is as long
    // as the test says, however late a loaded machine handles them.
    static inline qint64 clock = 0;
    static qint64 testClock() { return clock; }
    // Sends the pieces, each once the one before it is logged whole, the clock
    // moved on by pauseMs after each; a commit that a carriage return armed comes
    // within the pause if the pause is longer than the commit's wait, else after
    // the last piece. Then lets the commit and any pause pass.
    static void send(PortForm &f, const QList<QByteArray> &pieces, int pauseMs)
    {
        auto *commit = f.form.findChild<QTimer *>("TimerCOM");
        std::optional<QSignalBlocker> held;
        if (pauseMs < commit->interval())
            held.emplace(commit);
        for (const QByteArray &piece : pieces) {
            const qsizetype lines = f.log()->characterLineCount() + characterLines(piece).size();
            f.pty.write(piece);
            QTRY_COMPARE(f.log()->characterLineCount(), lines);
            if (!held)
                QTRY_VERIFY(!commit->isActive());
            clock += pauseMs * 1000;
        }
        held.reset();
        clock += 250'000;
        QTRY_VERIFY(!commit->isActive());
    }
    static QString tipOfLast(PortForm &f, int back = 0)
    {
        return f.log()->lineDetails(f.log()->count() - 1 - back);
    }

private slots:
    // The session's first moment, taken before anything else asked the clock,
    // is no earlier than its start: a negative one reads as "no carriage return".
    void initTestCase()
    {
        QVERIFY(SessionClock::now() >= 0);
        SessionClock::setSource(testClock);
    }

    void serialReads_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<int>("pauseMs");
        QTest::addColumn<int>("back"); // the line, counted back from the last
        QTest::addColumn<QStringList>("says");
        const QByteArray marking = "0104600439931256" "21ABC1234567890" "\x1D" "91EE06" "\x1D"
                                   "92YXiyKfiHjE4YE8b+YVMC1O5r8VtpplA3AwcCqrcG9Dk=";
        QTest::newRow("CR: on the scan line") << QList<QByteArray> { "]d2" + marking + "\r" } << 0 << 0
                                              << QStringList { "Чтение: 89 символов", "]d2", "Код маркировки" };
        QTest::newRow("CR LF") << QList<QByteArray> { "]d2" + marking + "\r\n" } << 0 << 0
                               << QStringList { "Чтение: 90 символов", "CR LF" };
        QTest::newRow("GS lost") << QList<QByteArray> { "]d2" + QByteArray(marking).replace("\x1D", "") + "\r" }
                                 << 0 << 0 << QStringList { "GS" };
        QTest::newRow("LF: on the LF") << QList<QByteArray> { "ABC\n" } << 0 << 0
                                       << QStringList { "Последний символ чтения" };
        QTest::newRow("none: a pause ends it") << QList<QByteArray> { "ABC", "DEF" } << 120 << 3
                                               << QStringList { "Последний символ чтения" };
        QTest::newRow("two reads in one scan line") << QList<QByteArray> { "12\r34\r" } << 0 << 0
                                                    << QStringList { "2 чтения", "с порта: 12", "с порта: 34" };
        QTest::newRow("the second read's CR in the commit's wait") << QList<QByteArray> { "12\r", "34\r" } << 20 << 0
                                                    << QStringList { "2 чтения", "1) с порта: 12; CR", "2) с порта: 34; CR" };
        QTest::newRow("7E1") << QList<QByteArray> { "\x30\xB1\xB2\x33\xB4\x35\x36\xB7\xB8\x39\x41\x42\xC3\x8D\x0A" }
                             << 0 << 0 << QStringList { "7E1" };
    }
    void serialReads()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(int, pauseMs);
        QFETCH(int, back);
        QFETCH(QStringList, says);
        PortForm f;
        f.click("CmdOpen");
        send(f, pieces, pauseMs);
        const QString tip = tipOfLast(f, back);
        for (const QString &phrase : says)
            QVERIFY2(tip.contains(phrase), qPrintable(phrase + " not in:\n" + tip));
        // The analysis window's text holds the read, ended: nothing more can join it.
        const QString analysis = f.log()->readAnalysis(f.log()->count() - 1 - back);
        QVERIFY(!analysis.isEmpty());
        QVERIFY2(!analysis.contains(FindingText::sentence({ Finding::Kind::MayContinue, -1, {}, {} })),
            qPrintable(analysis));
        // A line inside a read tells nothing of the read.
        QVERIFY(!f.log()->lineDetails(0).contains(u"Последний символ"));
    }

    void typedDigitsCountApart()
    {
        PortForm f;
        f.click("CmdOpen");
        f.box()->insert(QStringLiteral("77"));
        send(f, { "12\r" }, 0);
        QCOMPARE(f.log()->item(f.log()->count() - 1), QStringLiteral("7712"));
        QVERIFY2(tipOfLast(f).contains(u"Набрано в поле оператором, не с порта: 2 символа"), qPrintable(tipOfLast(f)));
    }

    void readsReportedWhole()
    {
        PortForm f;
        f.click("CmdOpen");
        QList<QByteArray> reads;
        QObject::connect(f.log(), &EventLog::readEnded, f.log(),
            [&reads](const QByteArray &codes, const QList<qint64> &, ReadMode) {
                reads.append(codes);
            });
        f.log()->setReportingReads(true);
        send(f, { "AB\r\n", "CD\r", "EF" }, 120);
        QTRY_COMPARE(reads, (QList<QByteArray> { "AB\r\n", "CD\r", "EF" }));
        // Clearing forgets the read under way: what comes next is a read of its own.
        send(f, { "GH" }, 0);
        f.click("CmdClear");
        send(f, { "IJ\r" }, 0);
        QTRY_COMPARE(reads.size(), 4);
        QCOMPARE(reads.last(), "IJ\r");
    }

    // Keys typed 10 ms apart by the window system's stamps, the window's thread
    // busy for 300 ms after the fifth: the keys after it are handled late, yet
    // keep their gaps and their read. Each read typed is reported as its Enter
    // comes, before any pause could end it, however soon the next follows.
    void keysKeepTheirStamps()
    {
        PortForm f(false);
        QList<QByteArray> reads;
        QObject::connect(f.log(), &EventLog::readEnded, f.log(),
            [&reads](const QByteArray &codes, const QList<qint64> &, ReadMode) {
                reads.append(codes);
            });
        f.log()->setReportingReads(true);
        const qint64 start = clock;
        const QString typed = QStringLiteral("0123456789\r12\r");
        for (int i = 0; i < typed.size(); ++i) {
            const ulong stamp = 5'000'000 + 10 * ulong(i);
            clock = std::max(clock, start + 10'000 * i);
            if (i == 5)
                clock += 300'000;
            const int key = typed[i] == u'\r' ? Qt::Key_Return : Qt::Key_0 + typed[i].digitValue();
            for (const QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease }) {
                QKeyEvent event(type, key, Qt::NoModifier, QString(typed[i]));
                event.setTimestamp(stamp);
                QApplication::sendEvent(f.box(), &event);
            }
            QTest::qWait(1); // the log's timers see each key as it comes
        }
        // Well before the person's pause of 2 s that a single key starts with.
        QTRY_COMPARE_WITH_TIMEOUT(reads, (QList<QByteArray> { "0123456789\r", "12\r" }), 1000);
        QVERIFY2(f.log()->lineDetails(6).contains(u"После предыдущей клавиши: 10 мс"),
            qPrintable(f.log()->lineDetails(6)));
    }

    // The test codes window judges the next read from the port against the code
    // it shows: whole, and with a GS lost; its tally times the reads by the
    // moments the log gave their codes, the test's clock 250 ms on between them.
    void testCodeVerdicts()
    {
        PortForm f;
        f.click("CmdOpen");
        f.form.showTestCodes();
        auto *window = f.form.findChild<TestCodesWindow *>();
        QVERIFY(window && window->isVisible());
        const QList<TestCode> &set = testCodeSet();
        const auto marking = std::find_if(set.begin(), set.end(),
            [](const TestCode &code) { return code.symbology == Symbology::Gs1DataMatrix; });
        window->showCode(int(marking - set.begin()));
        send(f, { marking->symbologyId + marking->content + "\r" }, 0);
        QTRY_COMPARE(window->verdict(),
            QStringLiteral("Данные совпали байт в байт; сканер добавил идентификатор ]d2 (верный "
                           "для GS1 DataMatrix) и окончание CR."));
        send(f, { QByteArray(marking->content).replace("\x1D", "") }, 0);
        QTRY_VERIFY2(window->verdict().contains(u"потерян GS"), qPrintable(window->verdict()));
        QCOMPARE(window->tally(),
            QStringLiteral("2 чтения: 1 совпало, 1 — потерян GS, у 1 нет идентификатора;\nот "
                           "чтения до чтения: последний раз 250,000 мс, в среднем 250,000 мс"));
        QCOMPARE(window->accessibleDescription(), window->verdict() + u'\n' + window->tally());
    }
};

QTEST_MAIN(TestReads)
#include "tst_reads.moc"
