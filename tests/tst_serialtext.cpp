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
    void texts_data()
    {
        QTest::addColumn<bool>("settings"); // a settings text, else a port text
        QTest::addColumn<QString>("text");
        // Accepted settings: speed, QSerialPort's parity, data bits and stop bits;
        // a port number; or a piece of the refusal's description.
        QTest::addColumn<QString>("expected");
        const std::pair<QString, const char *> settings[] = { { "9600,N,8,1", "9600 0 8 1" },
            { "115200,e,7,2", "115200 2 7 2" }, { "300,O,5,1.5", "300 3 5 3" },
            { "1200,m,6,1", "1200 5 6 1" }, { " 09600 , S , 8 , 1 ", "9600 4 8 1" },
            { "2147483647,N,8,1", "2147483647 0 8 1" }, { "", "четыре части" },
            { ",N,8,1", "скорость не указана" }, { "abc,N,8,1", "скорость «abc»" },
            { "0,N,8,1", "скорость «0»" }, { "-9600,N,8,1", "скорость «-9600»" },
            { "2147483648,N,8,1", "скорость «2147483648»" }, { "9600,X,8,1", "чётность «X»" },
            { "9600,None,8,1", "чётность «None»" }, { "9600,N,9,1", "биты данных «9»" },
            { "9600,N,4,1", "биты данных «4»" }, { "9600,N,8,3", "стоповые биты «3»" },
            { "9600,N,8,1.0", "стоповые биты «1.0»" }, { "9600,E,7,2,N,8,1", "четыре части" },
            { QString(100000, u'7') + ",N,8,1", "«777777777777777777777777…»" },
            { QString(100000, u'x'), "четыре части" } };
        for (const auto &[text, expected] : settings)
            QTest::newRow(qPrintable("settings " + text.left(20))) << true << text << expected;
        const QString refused = "Номер порта должен быть целым числом от 0 до 255.";
        const std::pair<QString, QString> ports[] = { { "01", "1" }, { " 7\t", "7" }, { "0", "0" },
            { "255", "255" }, { QString(500, u'0') + "3", "3" }, { "", refused }, { "  ", refused },
            { "abc", refused }, { "256", refused }, { "-1", refused }, { "+1", refused },
            { "3.5", refused }, { "1e2", refused }, { QString(QChar(0x0663)), refused },
            { QString(100000, u'9'), refused } };
        for (const auto &[text, expected] : ports)
            QTest::newRow(qPrintable("port " + text.left(20))) << false << text << expected;
    }
    void texts()
    {
        QFETCH(bool, settings);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QString got;
        try {
            if (settings) {
                const LineSettings s = parseSettings(text);
                got = QString::asprintf(
                    "%d %d %d %d", s.baudRate, s.parity, s.dataBits, s.stopBits);
            } else {
                got = QString::number(portNumberFromText(text));
            }
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number() == RuntimeError::InvalidSettings, settings);
            got = error.description();
            QVERIFY(got.size() < 200);
        }
        QVERIFY2(settings ? got.contains(expected) : got == expected, qPrintable(got));
    }

    void numbering()
    {
        QList<ListedPort> listed;
        for (const char *name :
            { "ttyAMA0", "rfcomm0", "ttyACM0", "ttyS10", "ttyUSB1", "ttyS2", "ttyUSB0" })
            listed.append(
                { name, QString("/dev/") + name, QString(name) == "ttyUSB0" ? "<CP>" : "" });
        QCOMPARE(mappingText(numberByFamily(listed)),
            "Порты в системе:\nCOM1 — /dev/ttyS2\nCOM2 — /dev/ttyS10\nCOM3 — /dev/ttyUSB0 (<CP>)\n"
            "COM4 — /dev/ttyUSB1\nCOM5 — /dev/ttyACM0\nCOM6 — /dev/rfcomm0\nCOM7 — /dev/ttyAMA0");
        QCOMPARE(mappingText({}), "Последовательных портов в системе не найдено.");
        // Windows: COMn is number n; other ports get none.
        const QList<ListedPort> windows = { { "COM10", "\\\\.\\COM10", "USB" },
            { "COM3", "\\\\.\\COM3", {} }, { "LPT1", "\\\\.\\LPT1", {} } };
        QCOMPARE(numberByComName(windows),
            (QList<MappedPort> { { 3, "\\\\.\\COM3", {} }, { 10, "\\\\.\\COM10", "USB" } }));
    }
};

QTEST_GUILESS_MAIN(TestSerialText)
#include "tst_serialtext.moc"
