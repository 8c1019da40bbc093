// A log line's details: the names of the codes, the times of the lines, and the
// tab-separated rows that "Копировать с подробностями" copies.

#include "linedetails.h"
#include "linetimes.h"

#include <QTest>

class TestLineDetails : public QObject
{
    Q_OBJECT

private slots:
    void codes_data();
    void codes();
    void times();
    void tsvRow();
};

void TestLineDetails::codes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("abbreviation");
    QTest::addColumn<QString>("shown"); // the character in «», or what the text must say
    // The control characters as the ASCII standard names them, 0 to 32.
    const QStringList standard = QStringLiteral("NUL SOH STX ETX EOT ENQ ACK BEL BS HT LF VT FF CR "
                                                "SO SI DLE DC1 DC2 DC3 DC4 NAK SYN ETB CAN EM SUB ESC "
                                                "FS GS RS US SP")
                                     .split(u' ');
    // Windows-1251 from 0x80: every glyph, with "?" where the code page has none
    // (0x98) and "_" where it has a blank or invisible one (NBSP, soft hyphen).
    const QString upper = QStringLiteral("ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—?™љ›њќћџ_ЎўЈ¤Ґ¦§Ё©Є«¬_®Ї°±Ііґµ¶·ё№є»ј"
                                         "ЅѕїАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя");
    for (int code = 0; code < 256; ++code) {
        QString abbreviation, shown;
        if (code <= 32)
            abbreviation = standard.at(code);
        else if (code == 127)
            abbreviation = QStringLiteral("DEL");
        else if (code == 0xA0)
            abbreviation = QStringLiteral("NBSP");
        else if (code == 0xAD)
            abbreviation = QStringLiteral("SHY");
        else if (code == 0x98)
            shown = QStringLiteral("не назначен");
        else
            shown = QStringLiteral("«%1»").arg(code < 128 ? QChar(code) : upper.at(code - 128));
        if (code == 4 || code == 30)
            shown = QStringLiteral("15434");
        if (code == 29)
            shown = QStringLiteral("GS1");
        QTest::addRow("%d", code) << code << abbreviation << shown;
    }
}

void TestLineDetails::codes()
{
    QFETCH(int, code);
    QFETCH(QString, abbreviation);
    QFETCH(QString, shown);
    QCOMPARE(LineDetails::abbreviation(quint8(code)), abbreviation);
    const QString text = LineDetails::describeCode(quint8(code));
    QVERIFY2(text.startsWith(QString::asprintf("%d (0x%02X), ", code, code) + abbreviation), qPrintable(text));
    QVERIFY2(text.contains(shown), qPrintable(text));
}

void TestLineDetails::times()
{
    // Past 2^32 microseconds (71 minutes) and across many blocks of lines, every
    // line keeps its own exact time; a line after a long silence too.
    LineTimes times;
    constexpr qsizetype Lines = 3'000'000;
    for (qsizetype row = 0; row < Lines; ++row)
        times.append(row * 2000 + row % 7);
    const qint64 late = (qint64(1) << 34) + 5;
    times.append(late);
    times.append(late - 10); // a clock that went back: no negative gap
    QCOMPARE(times.size(), Lines + 2);
    for (qsizetype row = 0; row < Lines; ++row) {
        if (times.at(row) != row * 2000 + row % 7)
            QFAIL(qPrintable(QStringLiteral("row %1: %2").arg(row).arg(times.at(row))));
    }
    QCOMPARE(times.at(Lines), late);
    QCOMPARE(times.at(Lines + 1), late);
    times.clear();
    QCOMPARE(times.size(), 0);
    times.append(7);
    QCOMPARE(times.at(0), 7);
}

void TestLineDetails::tsvRow()
{
    QCOMPARE(LineDetails::tsvRow({ "a\tb", "say \"x\"", "two\nlines", "", "plain" }),
        QStringLiteral("\"a\tb\"\t\"say \"\"x\"\"\"\t\"two\nlines\"\t\tplain"));
}

QTEST_GUILESS_MAIN(TestLineDetails)
#include "tst_linedetails.moc"
