#include "eventlog.h"
#include "indicator.h"
#include "main_window.h"
#include "pty.h"
#include "runtimeerror.h"
#include "serialcontrol.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <ctime>
#include <memory>
#include <termios.h>

// Opening and closing the port from the form, on pseudo-terminals standing in for
// serial devices.
class TestPort : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { form.reset(); }
    void openAndClose_data();
    void openAndClose();
    void failedOpen_data();
    void failedOpen();
    void lineSettings();
    void receivedInOrder_data();
    void receivedInOrder();
    void unplugWhileOpen();
    void tooltipListsMapping();

private:
    struct Message
    {
        QString title, text, informative;
        bool criticalWithOk = false, plainText = true, modal = false;
    };
    // Clicks the button and answers the message box it shows, if any.
    Message click(const char *button);
    Message open(const QString &portText, const QString &speed);

    template<typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    unsigned indicator() const { return child<Indicator>("Shape1")->FillColor(); }
    SerialControl *port() const { return child<SerialControl>("MSComm1"); }
    QLineEdit *box(const char *name) const { return child<QLineEdit>(name); }
    EventLog *log() const { return child<EventLog>("List1"); }

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;
};

void TestPort::init()
{
    QVERIFY(pty.open());
    form = std::make_unique<Form1>();
    // COM1 is the pseudo-terminal; no other number names a port.
    port()->setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), "pty" } }; });
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    child<QCheckBox>("Check1")->click();
}

TestPort::Message TestPort::click(const char *button)
{
    Message seen;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&seen] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        seen = { shown->windowTitle(), shown->text(), shown->informativeText(),
            shown->icon() == QMessageBox::Critical && shown->standardButtons() == QMessageBox::Ok,
            true, shown->isModal() };
        for (const QLabel *label : shown->findChildren<QLabel *>())
            seen.plainText &= label->text().isEmpty() || label->textFormat() == Qt::PlainText;
        shown->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    return seen;
}

TestPort::Message TestPort::open(const QString &portText, const QString &speed)
{
    box("txtPort")->setText(portText);
    box("txtBod")->setText(speed);
    return click("CmdOpen");
}

void TestPort::openAndClose_data()
{
    QTest::addColumn<QString>("portText"); // empty: close only, with nothing open
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("termiosSpeed");

    QTest::newRow("COM1 at 9600") << "1" << QString("9600") << int(B9600);
    QTest::newRow("01 at 115200") << "01" << QString("115200") << int(B115200);
    QTest::newRow("blanks at 1200") << " 1 " << QString("1200") << int(B1200);
    QTest::newRow("close with nothing open") << "" << QString() << 0;
}

void TestPort::openAndClose()
{
    QFETCH(QString, portText);
    QFETCH(QString, speed);
    QFETCH(int, termiosSpeed);
    box("txtSkaner")->setText("12");
    log()->AddItem("KeyAscii=49");
    child<QPushButton>("CmdOpen")->setFocus();
    if (!portText.isEmpty()) {
        QCOMPARE(open(portText, speed).text, QString());
        QVERIFY(port()->PortOpen());
        termios line {};
        QCOMPARE(tcgetattr(pty.slaveFd(), &line), 0);
        QCOMPARE(int(cfgetispeed(&line)), termiosSpeed);
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
        QCOMPARE(indicator(), Form1::Green);
        QCOMPARE(QApplication::focusWidget(), box("txtSkaner"));

        // Again while open, even with a speed the port would refuse: it stays open.
        QCOMPARE(open(portText, "abc").text, QString());
        QVERIFY(port()->PortOpen());
        QCOMPARE(indicator(), Form1::Green);
    }
    QCOMPARE(click("CmdClose").text, QString());
    QVERIFY(!port()->PortOpen());
    QCOMPARE(indicator(), Form1::Red);
    QCOMPARE(box("txtSkaner")->text(), QString());
    QCOMPARE(log()->count(), 0);
}

void TestPort::failedOpen_data()
{
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("openBefore"); // a port text fault must leave an open port open
    QTest::addColumn<bool>("busy");

    const auto row
        = [](const char *name, const QString &port, const QString &speed, const QString &shown,
              const QString &reason, bool openBefore = false, bool busy = false) {
              QTest::newRow(name) << port << speed << "не могу открыть порт COM" + shown + "!"
                                  << reason << openBefore << busy;
          };
    row("no such port", "9", "9600", "9", "Порта COM9 в системе нет");
    row("port 0", "0", "9600", "0", "Порта COM0 не бывает");
    row("busy", "1", "9600", "1", "занят другой программой", false, true);
    row("empty speed box", "1", "", "1", "скорость не указана");
    row("speed abc", "1", "abc", "1", "скорость «abc»");
    row("speed box with parts", "1", "9600,E", "1", "четыре части");
    row("html speed", "1", "<i>96</i>", "1", "скорость «<i>96</i>»");
    const QString number = "Номер порта должен быть целым числом от 0 до 255.";
    for (const char *text : { "", "abc", "256", "-1", "3.5", "<b>1</b>" })
        row(qPrintable(QString("port text ") + text), text, "9600", text, number, true);
    row("port text very long", QString(5000, u'1'), "9600", QString(24, u'1') + "…", number, true);
}

void TestPort::failedOpen()
{
    QFETCH(QString, portText);
    QFETCH(QString, speed);
    QFETCH(QString, prompt);
    QFETCH(QString, reason);
    QFETCH(bool, openBefore);
    QFETCH(bool, busy);
    QSerialPort other;
    other.setPortName(pty.slavePath());
    QVERIFY(!busy || other.open(QIODevice::ReadOnly));
    if (openBefore)
        QCOMPARE(open("1", "9600").text, QString());
    else
        child<Indicator>("Shape1")->setFillColor(Form1::Green); // must turn red

    const Message seen = open(portText, speed);
    QCOMPARE(seen.title, "COM");
    QCOMPARE(seen.text, prompt);
    QVERIFY2(seen.informative.contains(reason), qPrintable(seen.informative));
    QVERIFY(seen.criticalWithOk);
    QVERIFY(seen.plainText);
    QVERIFY(seen.modal);
    QCOMPARE(port()->PortOpen(), openBefore);
    QCOMPARE(indicator(), openBefore ? Form1::Green : Form1::Red);
}

void TestPort::lineSettings()
{
    SerialControl control;
    control.setPortMapper([this] { return QList<MappedPort> { { 3, pty.slavePath(), {} } }; });
    control.setCommPort(3);
    control.setSettings("9600,N,8,1.5");
    QVERIFY_THROWS_EXCEPTION(RuntimeError, control.setPortOpen(true)); // not on POSIX terminals
    control.setSettings("1200,E,7,2");
    control.setPortOpen(true);
    termios line {};
    QCOMPARE(tcgetattr(pty.slaveFd(), &line), 0);
    QCOMPARE(cfgetispeed(&line), speed_t(B1200));
    QVERIFY(line.c_cflag & CSTOPB); // a pseudo-terminal keeps only speed and stop bits
}

void TestPort::receivedInOrder_data()
{
    QTest::addColumn<bool>("inNotification"); // else a timer reads, between notifications
    QTest::newRow("read in the notification") << true;
    QTest::newRow("read from a timer") << false;
}

// Input() takes along what the system holds beyond Qt's own read: every byte
// still arrives once, in order, whoever reads and whenever.
void TestPort::receivedInOrder()
{
    QFETCH(bool, inNotification);
    SerialControl control;
    control.setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
    control.setPortOpen(true);
    QByteArray sent;
    for (int i = 0; i < 200000; ++i)
        sent += char(i % 251);
    QByteArray received;
    const auto read = [&] { received += control.Input().toLatin1(); };
    QTimer reader;
    if (inNotification) {
        connect(&control, &SerialControl::OnComm, this, read);
    } else {
        connect(&reader, &QTimer::timeout, this, read);
        reader.start(1);
    }
    QVERIFY(pty.write(sent));
    QTRY_COMPARE(received.size(), sent.size());
    QCOMPARE(received, sent);
}

void TestPort::unplugWhileOpen()
{
    QCOMPARE(open("1", "9600").text, QString());
    QSignalSpy lost(port(), &SerialControl::DeviceLost);
    pty.unplug();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!port()->PortOpen());
    QCOMPARE(indicator(), Form1::Red);

    // Qt keeps failing reads on a dead pseudo-terminal as fast as the event loop
    // turns, unless the port was closed.
    const std::clock_t before = std::clock();
    QTest::qWait(1000);
    const double cpuSeconds = double(std::clock() - before) / CLOCKS_PER_SEC;
    QVERIFY2(cpuSeconds < 0.5, qPrintable(QString("%1 s of CPU in 1 s idle").arg(cpuSeconds)));
    QCOMPARE(lost.count(), 1);

    QVERIFY(pty.open()); // plugged in again
    QCOMPARE(open("1", "9600").text, QString());
    QCOMPARE(indicator(), Form1::Green);
}

void TestPort::tooltipListsMapping()
{
    const QList<ListedPort> listed
        = { { "ttyUSB0", "/dev/ttyUSB0", "CP2102 <USB>" }, { "ttyS1", "/dev/ttyS1", {} } };
    port()->setPortMapper([listed] { return numberByFamily(listed); });
    QLineEdit *portBox = box("txtPort");
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), portBox->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(portBox, &hover);
    QCOMPARE(portBox->toolTip(),
        Qt::convertFromPlainText(
            "Порты в системе:\nCOM1 — /dev/ttyS1\nCOM2 — /dev/ttyUSB0 (CP2102 <USB>)",
            Qt::WhiteSpaceNoWrap));
}

QTEST_MAIN(TestPort)
#include "tst_port.moc"
