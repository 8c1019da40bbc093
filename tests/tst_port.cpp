#include "eventlog.h"
#include "indicator.h"
#include "main_window.h"
#include "pty.h"
#include "runtimeerror.h"
#include "serialcontrol.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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
    void cleanup();
    void openAndClose_data();
    void openAndClose();
    void closeWithNothingOpen();
    void failedOpen_data();
    void failedOpen();
    void controlSettings_data();
    void controlSettings();
    void unplugWhileOpen();
    void tooltipListsMapping();

private:
    struct Message
    {
        QString title, text, informative;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        bool plainText = false;
        bool modal = false;
    };
    // Clicks the button and answers the message box it shows, if any.
    Message clickAndAnswer(QAbstractButton *button);

    template<typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    unsigned indicator() const { return child<Indicator>("Shape1")->FillColor(); }
    SerialControl *port() const { return child<SerialControl>("MSComm1"); }
    QLineEdit *box(const char *name) const { return child<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    Message open(const QString &portText, const QString &speed);

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

void TestPort::cleanup()
{
    form.reset();
}

TestPort::Message TestPort::clickAndAnswer(QAbstractButton *button)
{
    Message seen;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&seen] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        const auto labels = shown->findChildren<QLabel *>();
        seen = { shown->windowTitle(), shown->text(), shown->informativeText(), shown->icon(),
            shown->standardButtons(), true, shown->isModal() };
        for (const QLabel *label : labels)
            seen.plainText = seen.plainText
                && (label->text().isEmpty() || label->textFormat() == Qt::PlainText);
        shown->button(QMessageBox::Ok)->click();
    });
    poll.start();
    QTest::mouseClick(button, Qt::LeftButton);
    return seen;
}

TestPort::Message TestPort::open(const QString &portText, const QString &speed)
{
    box("txtPort")->setText(portText);
    box("txtBod")->setText(speed);
    return clickAndAnswer(button("CmdOpen"));
}

void TestPort::openAndClose_data()
{
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("termiosSpeed");

    QTest::newRow("COM1 at 9600") << "1"
                                  << "9600" << int(B9600);
    QTest::newRow("01 at 115200") << "01"
                                  << "115200" << int(B115200);
    QTest::newRow("blanks at 1200") << " 1 "
                                    << "1200" << int(B1200);
}

void TestPort::openAndClose()
{
    QFETCH(QString, portText);
    QFETCH(QString, speed);
    QFETCH(int, termiosSpeed);
    box("txtSkaner")->setText("12");
    child<EventLog>("List1")->AddItem("KeyAscii=49");
    button("CmdOpen")->setFocus();

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

    clickAndAnswer(button("CmdClose"));
    QVERIFY(!port()->PortOpen());
    QCOMPARE(indicator(), Form1::Red);
    QCOMPARE(box("txtSkaner")->text(), QString());
    QCOMPARE(child<EventLog>("List1")->count(), 0);
}

void TestPort::closeWithNothingOpen()
{
    box("txtSkaner")->setText("AF");
    child<EventLog>("List1")->AddItem("KeyAscii=65");
    QCOMPARE(clickAndAnswer(button("CmdClose")).text, QString());
    QCOMPARE(indicator(), Form1::Red);
    QCOMPARE(box("txtSkaner")->text(), QString());
    QCOMPARE(child<EventLog>("List1")->count(), 0);
}

void TestPort::failedOpen_data()
{
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("openBefore"); // a port text fault must leave an open port open
    QTest::addColumn<bool>("busy");

    const QString number = "Номер порта должен быть целым числом от 0 до 255.";
    const QString prompt = "не могу открыть порт COM%1!";
    QTest::newRow("no such port") << "9"
                                  << "9600" << prompt.arg(9) << "Порта COM9 в системе нет" << false
                                  << false;
    QTest::newRow("port 0") << "0"
                            << "9600" << prompt.arg(0) << "Порта COM0 не бывает" << false << false;
    QTest::newRow("busy") << "1"
                          << "9600" << prompt.arg(1) << "занят другой программой" << false << true;
    QTest::newRow("empty speed box")
        << "1"
        << "" << prompt.arg(1) << "скорость не указана" << false << false;
    QTest::newRow("speed abc") << "1"
                               << "abc" << prompt.arg(1) << "скорость «abc»" << false << false;
    QTest::newRow("speed box with parts")
        << "1"
        << "9600,E" << prompt.arg(1) << "четыре части" << false << false;
    QTest::newRow("html speed") << "1"
                                << "<i>96</i>" << prompt.arg(1) << "скорость «<i>96</i>»" << false
                                << false;
    const QString badPorts[] = { "", "abc", "256", "-1", "3.5", "<b>1</b>" };
    for (const QString &text : badPorts)
        QTest::newRow(qPrintable("port text " + text))
            << text << "9600" << prompt.arg(text) << number << true << false;
    QTest::newRow("port text very long")
        << QString(5000, u'1') << "9600" << prompt.arg(QString(24, u'1') + "…") << number << true
        << false;
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
    if (busy) {
        other.setPortName(pty.slavePath());
        QVERIFY(other.open(QIODevice::ReadOnly));
    }
    if (openBefore)
        QCOMPARE(open("1", "9600").text, QString());
    else
        child<Indicator>("Shape1")->setFillColor(Form1::Green); // must turn red

    const Message seen = open(portText, speed);
    QCOMPARE(seen.title, "COM");
    QCOMPARE(seen.text, prompt);
    QVERIFY2(seen.informative.contains(reason), qPrintable(seen.informative));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::Ok);
    QVERIFY(seen.plainText);
    QVERIFY(seen.modal);
    QCOMPARE(port()->PortOpen(), openBefore);
    QCOMPARE(indicator(), openBefore ? Form1::Green : Form1::Red);
}

void TestPort::controlSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("refusal"); // empty: opens

    QTest::newRow("1200,E,7,2") << "1200,E,7,2"
                                << "";
    QTest::newRow("parity") << "9600,X,8,1"
                            << "чётность «X»";
    QTest::newRow("data bits") << "9600,N,9,1"
                               << "биты данных «9»";
    QTest::newRow("stop bits") << "9600,N,8,3"
                               << "стоповые биты «3»";
    QTest::newRow("1.5 stop bits") << "9600,N,8,1.5"
                                   << "«1.5» в этой системе не поддерживаются";
}

void TestPort::controlSettings()
{
    QFETCH(QString, settings);
    QFETCH(QString, refusal);
    SerialControl control;
    control.setPortMapper([this] { return QList<MappedPort> { { 3, pty.slavePath(), {} } }; });
    control.setCommPort(3);
    control.setSettings(settings);
    try {
        control.setPortOpen(true);
        QVERIFY(refusal.isEmpty());
        termios line {};
        QCOMPARE(tcgetattr(pty.slaveFd(), &line), 0);
        QCOMPARE(cfgetispeed(&line), speed_t(B1200));
        QVERIFY(line.c_cflag & CSTOPB); // a pseudo-terminal keeps only speed and stop bits
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), int(RuntimeError::InvalidSettings));
        QVERIFY2(!refusal.isEmpty() && error.description().contains(refusal),
            qPrintable(error.description()));
        QVERIFY(!control.PortOpen());
    }
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
    QVERIFY(port()->PortOpen());
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
        Qt::convertFromPlainText("Порты в системе:\nCOM1 — /dev/ttyS1\n"
                                 "COM2 — /dev/ttyUSB0 (CP2102 <USB>)",
            Qt::WhiteSpaceNoWrap));
}

QTEST_MAIN(TestPort)
#include "tst_port.moc"
