#include "eventlog.h"
#include "indicator.h"
#include "main_window.h"
#include "ptypair.h"
#include "serialcontrol.h"

#include <QtTest>
#include <QtWidgets>

#include <fcntl.h>
#include <termios.h>

// Opening and closing the port from the form, pseudo-terminals standing in for devices.
class TestPort : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;

    template<typename T = QWidget> T *child(const char *name) { return form->findChild<T *>(name); }
    SerialControl *port() { return child<SerialControl>("MSComm1"); }
    unsigned indicator() { return child<Indicator>("Shape1")->FillColor(); }

    // Types the port text and speed and clicks. A message box comes exactly when a reason is
    // given: critical, modal, plain text, one OK, "COM", the port as typed (or shown), reason.
    void click(const QString &portText, const QString &speed, const char *button,
        const QString &reason = {}, const QString &shownAs = {})
    {
        child<QLineEdit>("txtPort")->setText(portText);
        child<QLineEdit>("txtBod")->setText(speed);
        bool shown = false;
        QObject context; // no answer after this returns
        QTimer::singleShot(0, &context, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(shown = box != nullptr);
            box->button(QMessageBox::Ok)->click(); // ends its loop once this returns
            QCOMPARE(box->windowTitle() + ": " + box->text(),
                "COM: не могу открыть порт COM" + (shownAs.isNull() ? portText : shownAs) + "!");
            QVERIFY2(box->informativeText().contains(reason), qPrintable(box->informativeText()));
            QVERIFY(box->icon() == QMessageBox::Critical && box->isModal()
                && box->standardButtons() == QMessageBox::Ok);
            for (const QLabel *label : box->findChildren<QLabel *>())
                QVERIFY(label->text().isEmpty() || label->textFormat() == Qt::PlainText);
        });
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(shown, !reason.isEmpty());
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>(); // the last one closed before its device goes
        QVERIFY(pty.open());
        // COM1 is the pseudo-terminal; no other number names a port.
        port()->setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        child<QCheckBox>("Check1")->click();
    }

    // Every open is followed by "Закрыть порт": it empties the scan box and the log, open or not.
    void openAndClose_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("reason"); // empty: it opens (at 115200 in this table)
        QTest::addColumn<bool>("keepsOpen"); // a port text that is no number leaves it as it was
        QTest::addColumn<QString>("shownAs"); // the port text in the message, if not as typed
        const auto row = [](const char *name, const QString &port, const QString &speed,
                             const QString &reason, bool keepsOpen = false,
                             const QString &shown = {}) {
            QTest::newRow(name) << port << speed << reason << keepsOpen << shown;
        };
        row("01 with blanks at 115200", " 01 ", "115200", {});
        row("no such port", "9", "9600", "Порта COM9 в системе нет");
        row("port 0", "0", "9600", "Порта COM0 не бывает");
        row("busy", "1", "9600", "занят другой программой");
        row("empty speed box", "1", "", "скорость не указана");
        row("speed with parts", "1", "9600,E", "четыре части");
        row("html speed", "1", "<i>96</i>", "скорость «<i>96</i>»");
        const QString number = "Номер порта должен быть целым числом от 1 до 255.";
        row("port text 256", "256", "9600", number, true);
        row("port text html", "<b>1</b>", "9600", number, true);
        row("port text long", QString(5000, u'1'), "9600", number, true, QString(24, u'1') + "…");
    }
    void openAndClose()
    {
        QFETCH(QString, portText);
        QFETCH(QString, speed);
        QFETCH(QString, reason);
        QFETCH(bool, keepsOpen);
        QFETCH(QString, shownAs);
        QSerialPort other(pty.slavePath());
        QVERIFY(!reason.contains("занят") || other.open(QIODevice::ReadOnly));
        if (keepsOpen)
            click("1", "9600", "CmdOpen");
        else
            child<Indicator>("Shape1")->setFillColor(0x808080); // to turn green or red
        child<QLineEdit>("txtSkaner")->setText("12");
        child<EventLog>("List1")->AddItem("KeyAscii=49");

        click(portText, speed, "CmdOpen", reason, shownAs);
        if (reason.isEmpty()) {
            termios line {};
            QVERIFY(tcgetattr(pty.slaveFd(), &line) == 0 && cfgetispeed(&line) == B115200);
            QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
            QCOMPARE(QApplication::focusWidget(), child("txtSkaner"));
            // Opened for reading only: nothing the tool does can send to the scanner.
            int held = 0;
            for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System)) {
                const int n = fd.fileName().toInt();
                if (n != pty.slaveFd() && fd.symLinkTarget() == pty.slavePath() && ++held)
                    QCOMPARE(fcntl(n, F_GETFL) & O_ACCMODE, O_RDONLY);
            }
            QCOMPARE(held, 1);
            click(portText, "abc", "CmdOpen"); // again while open, a refused speed: it stays open
        }
        const bool open = reason.isEmpty() || keepsOpen;
        QVERIFY(port()->PortOpen() == open && indicator() == (open ? Form1::Green : Form1::Red));

        click(portText, speed, "CmdClose");
        QVERIFY(!port()->PortOpen() && indicator() == Form1::Red);
        QVERIFY(child<QLineEdit>("txtSkaner")->text().isEmpty()
            && child<EventLog>("List1")->count() == 0);
    }

    void receivedInOrder_data()
    {
        QTest::addColumn<bool>("inNotification"); // else a timer reads, between notifications
        QTest::newRow("read in the notification") << true;
        QTest::newRow("read from a timer") << false;
    }
    // Input() takes along what the system holds beyond Qt's own read: every byte
    // still arrives once, in order, whoever reads and whenever.
    void receivedInOrder()
    {
        QFETCH(bool, inNotification);
        SerialControl control;
        control.setPortMapper([this] { return QList<MappedPort> { { 1, pty.slavePath(), {} } }; });
        control.setPortOpen(true);
        QByteArray sent, received;
        for (int i = 0; i < 200000; ++i)
            sent += char(i % 251);
        QTimer reader;
        const auto read = [&] { received += control.Input().toLatin1(); };
        if (inNotification)
            connect(&control, &SerialControl::OnComm, this, read);
        else
            connect(&reader, &QTimer::timeout, this, read);
        reader.start(1);
        QVERIFY(pty.write(sent));
        QTRY_COMPARE(received.size(), sent.size());
        QCOMPARE(received, sent);
    }

    // The port box's tooltip numbers the ports: serial ports before USB adapters, each
    // family by its own number; on Windows COMn is number n and other ports get none.
    void tooltipListsMapping()
    {
        const QList<ListedPort> listed = { { "ttyUSB0", "/dev/ttyUSB0", "<CP>" },
            { "ttyS10", "/dev/ttyS10", {} }, { "ttyS2", "/dev/ttyS2", {} } };
        port()->setPortMapper([listed] { return numberByFamily(listed); });
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), QPoint(2, 2));
        QApplication::sendEvent(child("txtPort"), &hover);
        QCOMPARE(child("txtPort")->toolTip(),
            Qt::convertFromPlainText("Порты в системе:\nCOM1 — /dev/ttyS2\nCOM2 — /dev/ttyS10\n"
                                     "COM3 — /dev/ttyUSB0 (<CP>)", Qt::WhiteSpaceNoWrap));
        const QList<ListedPort> windows = { { "COM10", "\\\\.\\COM10", "USB" },
            { "COM3", "\\\\.\\COM3", {} }, { "LPT1", "\\\\.\\LPT1", {} } };
        QCOMPARE(numberByComName(windows),
            (QList<MappedPort> { { 3, "\\\\.\\COM3", {} }, { 10, "\\\\.\\COM10", "USB" } }));
    }
};

QTEST_MAIN(TestPort)
#include "tst_port.moc"
