#include "portform.h"
#include "readmode.h"
#include "sessionclock.h"
#include "testcodeset.h"
#include "testcodeswindow.h"

// Reads as the log finds them: through a pseudo-terminal into the real form, each
// read's analysis on the line that ends it (a scan line for a read that a
// carriage return ended), several reads in one scan line, the operator's own
// digits counted apart, and every read reported whole as it ends.
class TestReads : public QObject
{
    Q_OBJECT

private:
    // Sends the pieces, a pause of that many ms after each, and lets the
    // commit's tick and any pause pass.
    static void send(PortForm &f, const QList<QByteArray> &pieces, int pauseMs)
    {
        for (const QByteArray &piece : pieces) {
            f.pty.write(piece);
            QTest::qWait(pauseMs);
        }
        QTest::qWait(250);
    }
    static QString tipOfLast(PortForm &f, int back = 0)
    {
        return f.log()->lineDetails(f.log()->count() - 1 - back);
    }

private slots:
    // The session's first moment, taken before anything else asked the clock,
    // is no earlier than its start: a negative one reads as "no carriage return".
    void initTestCase() { QVERIFY(SessionClock::now() >= 0); }
    void init() { QTest::qWait(0); }

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
        // The analysis window's text holds the read whole, by name where needed.
        QVERIFY(!f.log()->readAnalysis(f.log()->count() - 1 - back).isEmpty());
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
            [&reads](const QByteArray &codes, ReadMode) { reads.append(codes); });
        f.log()->setReportingReads(true);
        send(f, { "AB\r\n", "CD\r", "EF" }, 120);
        QCOMPARE(reads, (QList<QByteArray> { "AB\r\n", "CD\r", "EF" }));
        // Clearing forgets the read under way.
        f.pty.write("GH");
        QTest::qWait(20);
        f.click("CmdClear");
        QTest::qWait(200);
        QCOMPARE(reads.size(), 3);
    }

    // The test codes window judges the next read from the port against the code
    // it shows: whole, and with a GS lost.
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
        send(f, { marking->content + "\r" }, 0);
        QVERIFY2(window->verdict().contains(u"CR"), qPrintable(window->verdict()));
        send(f, { marking->content }, 0);
        QCOMPARE(window->verdict(), QStringLiteral("Совпало байт в байт."));
        send(f, { QByteArray(marking->content).replace("\x1D", "") }, 0);
        QVERIFY2(window->verdict().contains(u"GS"), qPrintable(window->verdict()));
        QCOMPARE(window->accessibleDescription(), window->verdict());
    }
};

QTEST_MAIN(TestReads)
#include "tst_reads.moc"
