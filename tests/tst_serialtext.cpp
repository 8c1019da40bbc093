#include "linesettings.h"
#include "portmapping.h"
#include "portnumber.h"
#include "runtimeerror.h"

#include <QtTest>

// The texts the operator types for a port, and the numbering of the system's
// serial ports.
class TestSerialText : public QObject
{
    Q_OBJECT

private slots:
    void settings_data();
    void settings();
    void portNumber_data();
    void portNumber();
    void numbering();
};

void TestSerialText::settings_data()
{
    QTest::addColumn<QString>("text");
    // Accepted: speed, QSerialPort's parity, data bits and stop bits. Refused: a
    // piece of the description, which must name the part at fault.
    QTest::addColumn<QString>("expected");

    QTest::newRow("form default") << "9600,N,8,1"
                                  << "9600 0 8 1";
    QTest::newRow("lower case, 7E2") << "115200,e,7,2"
                                     << "115200 2 7 2";
    QTest::newRow("odd, 5 bits, 1.5") << "300,O,5,1.5"
                                      << "300 3 5 3";
    QTest::newRow("mark, space") << "1200,m,6,1"
                                 << "1200 5 6 1";
    QTest::newRow("blanks, leading zero") << " 09600 , S , 8 , 1 "
                                          << "9600 4 8 1";
    QTest::newRow("largest speed") << "2147483647,N,8,1"
                                   << "2147483647 0 8 1";
    QTest::newRow("empty") << ""
                           << "четыре части";
    QTest::newRow("empty speed box") << ",N,8,1"
                                     << "скорость не указана";
    QTest::newRow("letters") << "abc,N,8,1"
                             << "скорость «abc»";
    QTest::newRow("zero") << "0,N,8,1"
                          << "скорость «0»";
    QTest::newRow("negative") << "-9600,N,8,1"
                              << "скорость «-9600»";
    QTest::newRow("past 32 bits") << "2147483648,N,8,1"
                                  << "скорость «2147483648»";
    QTest::newRow("parity X") << "9600,X,8,1"
                              << "чётность «X»";
    QTest::newRow("parity word") << "9600,None,8,1"
                                 << "чётность «None»";
    QTest::newRow("data bits 9") << "9600,N,9,1"
                                 << "биты данных «9»";
    QTest::newRow("data bits 4") << "9600,N,4,1"
                                 << "биты данных «4»";
    QTest::newRow("stop bits 3") << "9600,N,8,3"
                                 << "стоповые биты «3»";
    QTest::newRow("stop bits 1.0") << "9600,N,8,1.0"
                                   << "стоповые биты «1.0»";
    QTest::newRow("three parts") << "9600,N,8"
                                 << "четыре части";
    QTest::newRow("speed box with commas") << "9600,E,7,2,N,8,1"
                                           << "четыре части";
    QTest::newRow("long speed") << QString(100000, u'7') + ",N,8,1"
                                << "«777777777777777777777777…»";
    QTest::newRow("long, no commas") << QString(100000, u'x') << "четыре части";
}

void TestSerialText::settings()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QString got;
    try {
        const LineSettings s = parseSettings(text);
        got = QString("%1 %2 %3 %4").arg(s.baudRate).arg(s.parity).arg(s.dataBits).arg(s.stopBits);
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::InvalidSettings));
        got = error.description();
        QVERIFY(got.size() < 200);
    }
    QVERIFY2(got.contains(expected), qPrintable(got));
}

void TestSerialText::portNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number"); // -1: refused

    const QString refused[] = { "", "  ", "abc", "256", "-1", "+1", "3.5", "1e2",
        QString(QChar(0x0663)), QString(100000, u'9'), "<b>1</b>" };
    for (const QString &text : refused)
        QTest::newRow(qPrintable("refused " + text.left(8))) << text << -1;
    QTest::newRow("01") << "01" << 1;
    QTest::newRow("blanks") << " 7\t" << 7;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("255") << "255" << 255;
    QTest::newRow("many leading zeros") << QString(500, u'0') + "3" << 3;
}

void TestSerialText::portNumber()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    try {
        QCOMPARE(int(portNumberFromText(text)), number);
    } catch (const RuntimeError &error) {
        QCOMPARE(number, -1);
        QVERIFY(error.number() == RuntimeError::TypeMismatch
            || error.number() == RuntimeError::Overflow);
        QCOMPARE(error.description(), "Номер порта должен быть целым числом от 0 до 255.");
    }
}

void TestSerialText::numbering()
{
    QList<ListedPort> listed;
    for (const char *name : { "rfcomm0", "ttyACM0", "ttyS10", "ttyUSB1", "ttyAMA0", "ttyS2",
             "ttyUSB0", "ttyS0", "ttySAC1" })
        listed.append(
            { name, QString("/dev/") + name, name == QString("ttyUSB0") ? "<CP2102>" : "" });
    QCOMPARE(mappingText(numberByFamily(listed)),
        "Порты в системе:\nCOM1 — /dev/ttyS0\nCOM2 — /dev/ttyS2\nCOM3 — /dev/ttyS10\n"
        "COM4 — /dev/ttyUSB0 (<CP2102>)\nCOM5 — /dev/ttyUSB1\nCOM6 — /dev/ttyACM0\n"
        "COM7 — /dev/rfcomm0\nCOM8 — /dev/ttyAMA0\nCOM9 — /dev/ttySAC1");
    QCOMPARE(mappingText({}), "Последовательных портов в системе не найдено.");

    const QList<ListedPort> windows = { { "COM10", "\\\\.\\COM10", "USB" },
        { "COM3", "\\\\.\\COM3", {} }, { "LPT1", "\\\\.\\LPT1", {} } };
    const QList<MappedPort> byName = { { 3, "\\\\.\\COM3", {} }, { 10, "\\\\.\\COM10", "USB" } };
    QCOMPARE(numberByComName(windows), byName);
}

QTEST_GUILESS_MAIN(TestSerialText)
#include "tst_serialtext.moc"
