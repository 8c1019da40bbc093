#include "errors/runtimeerror.h"
#include "serial/serialcontrol.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstdio>

// The serial port control on Win32, under Wine: COM1 is mapped (by the program
// that runs this, tools/windows/pty_device.py) onto a pseudo-terminal whose
// master side that program holds. The test asks it on stdout to send bytes
// ("send <hex>") or to close the master side ("unplug"): the device goes away.
class TestWin32Port : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void receivesInOrder_data();
    void receivesInOrder();
    void missingPortRefused();
    void otherSideClosing();

private:
    static void ask(const QByteArray &request);

    SerialControl *m_port = nullptr;
    QByteArray m_received;
};

void TestWin32Port::initTestCase()
{
    m_port = new SerialControl(this);
    connect(m_port, &SerialControl::OnComm, this, [this] { m_received += m_port->Input().toLatin1(); });
    m_port->setCommPort(1);
    m_port->setSettings(QStringLiteral("9600,N,8,1"));
    m_port->setPortOpen(true);
    QVERIFY(m_port->PortOpen());
    QCOMPARE(m_port->openedPort().device, QStringLiteral("\\\\.\\COM1"));
}

void TestWin32Port::ask(const QByteArray &request)
{
    std::fputs(request.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void TestWin32Port::receivesInOrder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every += char(i);
    QTest::newRow("every byte value") << every;
    QByteArray chunk;
    for (int i = 0; i < 40000; ++i)
        chunk += char('0' + i % 43);
    QTest::newRow("a chunk of 40,000") << chunk;
    QTest::newRow("a scan") << QByteArray("0123ABCDEF\r\n");
}

void TestWin32Port::receivesInOrder()
{
    QFETCH(QByteArray, bytes);
    m_received.clear();
    ask("send " + bytes.toHex());
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), bytes.size(), 60000);
    QCOMPARE(m_received, bytes);
}

void TestWin32Port::missingPortRefused()
{
    SerialControl other;
    other.setCommPort(77);
    try {
        other.setPortOpen(true);
        QFAIL("COM77 opened");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::PortNotAvailable));
        QVERIFY2(error.description().contains(QLatin1String("COM77")), qPrintable(error.description()));
    }
    QVERIFY(!other.PortOpen());
}

void TestWin32Port::otherSideClosing()
{
    QSignalSpy lost(m_port, &SerialControl::DeviceLost);
    m_received.clear();
    ask("send " + QByteArray("12\r").toHex());
    QTRY_COMPARE_WITH_TIMEOUT(m_received, QByteArray("12\r"), 60000);
    ask("unplug");
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 60000);
    QVERIFY(!m_port->PortOpen());
    // Nothing more comes of the dead port: the loss is told once.
    QTest::qWait(300);
    QCOMPARE(lost.size(), 1);
}

QTEST_GUILESS_MAIN(TestWin32Port)
#include "tst_win32port.moc"
