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
    void settingsAccepted_data();
    void settingsAccepted();
    void settingsRefused_data();
    void settingsRefused();
    void portNumber_data();
    void portNumber();
    void numberingByFamily();
    void numberingByComName();
    void mappingText();
};

void TestSerialText::settingsAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");

    QTest::newRow("form default") << "9600,N,8,1" << 9600 << int(QSerialPort::NoParity) << 8 << 1;
    QTest::newRow("lower case, 7E2")
        << "115200,e,7,2" << 115200 << int(QSerialPort::EvenParity) << 7 << 2;
    QTest::newRow("odd, 5 bits, 1.5")
        << "300,O,5,1.5" << 300 << int(QSerialPort::OddParity) << 5 << 3;
    QTest::newRow("mark") << "1200,m,6,1" << 1200 << int(QSerialPort::MarkParity) << 6 << 1;
    QTest::newRow("space") << "4800,S,8,2" << 4800 << int(QSerialPort::SpaceParity) << 8 << 2;
    QTest::newRow("blanks, leading zero")
        << " 09600 , N , 8 , 1 " << 9600 << int(QSerialPort::NoParity) << 8 << 1;
    QTest::newRow("largest speed")
        << "2147483647,N,8,1" << 2147483647 << int(QSerialPort::NoParity) << 8 << 1;
}

void TestSerialText::settingsAccepted()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    const LineSettings s = parseSettings(text);
    QCOMPARE(s.baudRate, baud);
    QCOMPARE(int(s.parity), parity);
    QCOMPARE(int(s.dataBits), dataBits);
    QCOMPARE(int(s.stopBits), stopBits);
}

void TestSerialText::settingsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("names"); // what the description must name

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
    QTest::newRow("fraction") << "9600.5,N,8,1"
                              << "скорость «9600.5»";
    QTest::newRow("past 32 bits") << "2147483648,N,8,1"
                                  << "скорость «2147483648»";
    QTest::newRow("parity X") << "9600,X,8,1"
                              << "чётность «X»";
    QTest::newRow("parity empty") << "9600,,8,1"
                                  << "чётность «»";
    QTest::newRow("parity word") << "9600,None,8,1"
                                 << "чётность «None»";
    QTest::newRow("data bits 9") << "9600,N,9,1"
                                 << "биты данных «9»";
    QTest::newRow("data bits 4") << "9600,N,4,1"
                                 << "биты данных «4»";
    QTest::newRow("data bits 08x") << "9600,N,8x,1"
                                   << "биты данных «8x»";
    QTest::newRow("stop bits 3") << "9600,N,8,3"
                                 << "стоповые биты «3»";
    QTest::newRow("stop bits 1.0") << "9600,N,8,1.0"
                                   << "стоповые биты «1.0»";
    QTest::newRow("three parts") << "9600,N,8"
                                 << "четыре части";
    QTest::newRow("speed box with commas") << "9600,E,7,2,N,8,1"
                                           << "четыре части";
    QTest::newRow("html") << "<b>9600</b>,N,8,1"
                          << "скорость «<b>9600</b>»";
    QTest::newRow("long speed") << QString(100000, u'7') + ",N,8,1"
                                << "скорость «777777777777777777777777…»";
    QTest::newRow("long, no commas") << QString(100000, u'x') << "четыре части";
}

void TestSerialText::settingsRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, names);
    try {
        parseSettings(text);
        QFAIL("accepted");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::InvalidSettings));
        QVERIFY2(error.description().contains(names), qPrintable(error.description()));
        QVERIFY(error.description().size() < 200);
    }
}

void TestSerialText::portNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number"); // -1: refused

    QTest::newRow("1") << "1" << 1;
    QTest::newRow("01") << "01" << 1;
    QTest::newRow("blanks") << " 7\t" << 7;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("255") << "255" << 255;
    QTest::newRow("leading zeros") << QString(500, u'0') + "3" << 3;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("blank") << "  " << -1;
    QTest::newRow("abc") << "abc" << -1;
    QTest::newRow("256") << "256" << -1;
    QTest::newRow("-1") << "-1" << -1;
    QTest::newRow("+1") << "+1" << -1;
    QTest::newRow("3.5") << "3.5" << -1;
    QTest::newRow("1e2") << "1e2" << -1;
    QTest::newRow("arabic-indic three") << QString(QChar(0x0663)) << -1;
    QTest::newRow("very long") << QString(100000, u'9') << -1;
    QTest::newRow("html") << "<b>1</b>" << -1;
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

void TestSerialText::numberingByFamily()
{
    const QStringList names = { "rfcomm0", "ttyACM0", "ttyS10", "ttyUSB1", "ttyAMA0", "ttyS2",
        "ttyUSB0", "ttyS0", "ttySAC1" };
    QList<ListedPort> listed;
    for (const QString &name : names)
        listed.append({ name, "/dev/" + name, {} });
    QStringList devices;
    int expectedNumber = 1;
    for (const MappedPort &port : numberByFamily(listed)) {
        QCOMPARE(port.number, expectedNumber++);
        devices.append(port.device.mid(5));
    }
    QCOMPARE(devices,
        QStringList({ "ttyS0", "ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0", "rfcomm0",
            "ttyAMA0", "ttySAC1" }));
}

void TestSerialText::numberingByComName()
{
    const QList<ListedPort> listed = { { "COM10", "\\\\.\\COM10", "USB" },
        { "COM3", "\\\\.\\COM3", {} }, { "LPT1", "\\\\.\\LPT1", {} } };
    const QList<MappedPort> expected = { { 3, "\\\\.\\COM3", {} }, { 10, "\\\\.\\COM10", "USB" } };
    QCOMPARE(numberByComName(listed), expected);
}

void TestSerialText::mappingText()
{
    QCOMPARE(::mappingText({ { 1, "/dev/ttyS0", {} }, { 2, "/dev/ttyUSB0", "<CP2102>" } }),
        "Порты в системе:\nCOM1 — /dev/ttyS0\nCOM2 — /dev/ttyUSB0 (<CP2102>)");
    QCOMPARE(::mappingText({}), "Последовательных портов в системе не найдено.");
}

QTEST_GUILESS_MAIN(TestSerialText)
#include "tst_serialtext.moc"
