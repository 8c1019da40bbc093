#include "support/portform.h"
#include "text/tooltiptext.h"

#include <fcntl.h>
#include <termios.h>

// "Открыть порт" and "Закрыть порт" from the form, a pseudo-terminal standing in for COM1.
class TestPort : public QObject
{
    Q_OBJECT

    std::unique_ptr<PortForm> f;
    QStringList messages; // "title: text | reason" of each message box, "NOT PLAIN" marked

    // Types the port text and speed and clicks; the message that came, if any.
    QString click(const QString &portText, const QString &speed, const char *button)
    {
        f->child<QLineEdit>("txtPort")->setText(portText);
        f->child<QLineEdit>("txtBod")->setText(speed);
        messages.clear();
        f->click(button);
        return messages.join('\n');
    }

private slots:
    void init()
    {
        f = std::make_unique<PortForm>();
        // What the operator typed ends up in it: plain text only, in a critical box with one OK.
        answerBoxes(&f->form, [this](QMessageBox *box) {
            bool plain = box->icon() == QMessageBox::Critical && box->standardButtons() == QMessageBox::Ok;
            for (const QLabel *label : box->findChildren<QLabel *>())
                plain = plain && (label->text().isEmpty() || label->textFormat() == Qt::PlainText);
            messages << box->windowTitle() + ": " + box->text() + (plain ? " | " : " NOT PLAIN | ")
                    + box->informativeText();
        });
    }

    // Each open is followed by "Закрыть порт": it empties the scan box and the log, open or not.
    void openAndClose_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<bool>("held"); // by another program
        QTest::addColumn<QString>("shownAs"); // the port in the message; none: it opens (at 115200)
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("keepsOpen"); // an open port, kept open by a refused port text
        QTest::newRow("01 with blanks") << " 01 " << "115200" << false << "" << "" << false;
        QTest::newRow("no such port") << "9" << "9600" << false << "9" << "Порта COM9 в системе нет" << false;
        QTest::newRow("port 0") << "0" << "9600" << false << "0" << "Порта COM0 не бывает" << false;
        QTest::newRow("busy") << "1" << "9600" << true << "1" << "занят другой программой" << false;
        QTest::newRow("html speed") << "1" << "<i>96</i>" << false << "1" << "скорость «<i>96</i>»" << false;
        QTest::newRow("port 256") << "256" << "9600" << false << "256"
                                  << "Номер порта должен быть целым числом от 1 до 255." << true;
        QTest::newRow("port text html") << "<b>1</b>" << "9600" << false << "<b>1</b>" << "от 1 до 255" << true;
        QTest::newRow("port text long") << QString(5000, u'1') << "9600" << false << QString(24, u'1') + "…"
                                        << "Номер порта должен быть целым числом от 1 до 255." << true;
    }
    void openAndClose()
    {
        QFETCH(QString, portText);
        QFETCH(QString, speed);
        QFETCH(bool, held);
        QFETCH(QString, shownAs);
        QFETCH(QString, reason);
        QFETCH(bool, keepsOpen);
        QSerialPort other(f->pty.slavePath());
        QVERIFY(!held || other.open(QIODevice::ReadOnly));
        if (keepsOpen)
            QCOMPARE(click("1", "9600", "CmdOpen"), "");
        else
            f->child<Indicator>("Shape1")->setFillColor(0x808080); // to turn green or red
        f->box()->setText("12");
        f->log()->AddItem("KeyAscii=49");

        const QString message = click(portText, speed, "CmdOpen");
        QVERIFY2(shownAs.isEmpty() ? message.isEmpty()
                                   : message.startsWith("COM: не могу открыть порт COM" + shownAs + "! | ")
                    && message.contains(reason) && (!reason.endsWith('.') || message.endsWith(reason)),
            qPrintable(message));
        if (shownAs.isEmpty()) {
            termios line {};
            QVERIFY(tcgetattr(f->pty.slaveFd(), &line) == 0 && cfgetispeed(&line) == B115200
                && (line.c_cflag & (CSIZE | PARENB | CSTOPB)) == CS8 && f->box()->hasFocus());
            // Opened for reading only: nothing the tool does can send to the scanner.
            QList<int> modes;
            for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System))
                if (fd.fileName().toInt() != f->pty.slaveFd() && fd.symLinkTarget() == f->pty.slavePath())
                    modes << (fcntl(fd.fileName().toInt(), F_GETFL) & O_ACCMODE);
            QCOMPARE(modes, QList<int> { O_RDONLY });
            QCOMPARE(click(portText, "abc", "CmdOpen"), ""); // again while open: it stays open
        }
        const bool open = shownAs.isEmpty() || keepsOpen;
        QVERIFY(f->port()->PortOpen() == open && f->indicator() == (open ? Form1::Green : Form1::Red));
        QCOMPARE(click(portText, speed, "CmdClose"), "");
        QVERIFY(!f->port()->PortOpen() && f->indicator() == Form1::Red);
        QVERIFY(f->box()->text().isEmpty() && f->log()->count() == 0);
    }

    // The port box's tooltip numbers the ports: serial ports before USB adapters, each
    // family by its own number; on Windows COMn is number n and other ports get none.
    void tooltipListsMapping()
    {
        const QList<ListedPort> listed = { { "ttyUSB0", "/dev/ttyUSB0", "<CP>" },
            { "ttyS10", "/dev/ttyS10", {} }, { "ttyS2", "/dev/ttyS2", {} } };
        f->port()->setPortMapper([listed] { return numberByFamily(listed); });
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), QPoint(2, 2));
        QApplication::sendEvent(f->child("txtPort"), &hover);
        QCOMPARE(f->child("txtPort")->toolTip(),
            toolTipText("Порты в системе:\nCOM1 — /dev/ttyS2\nCOM2 — /dev/ttyS10\n"
                        "COM3 — /dev/ttyUSB0 (<CP>)"));
        const QList<ListedPort> windows = { { "COM10", "\\\\.\\COM10", "USB" },
            { "COM3", "\\\\.\\COM3", {} }, { "LPT1", "\\\\.\\LPT1", {} } };
        QCOMPARE(numberByComName(windows),
            (QList<MappedPort> { { 3, "\\\\.\\COM3", {} }, { 10, "\\\\.\\COM10", "USB" } }));
    }

    // The port box's tooltip covers neither button: above the box, or beside the window at the
    // top of the screen.
    void tooltipCoversNoButton_data()
    {
        QTest::addColumn<QPoint>("windowAt");
        QTest::newRow("room above") << QPoint(300, 300);
        QTest::newRow("top of the screen") << QPoint(0, 0);
    }
    void tooltipCoversNoButton()
    {
        QFETCH(QPoint, windowAt);
        f->form.move(windowAt);
        QWidget *box = f->child("txtPort");
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(box, &hover);
        QWidget *tip = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->objectName() == "qtooltip_label")
                tip = window;
        QVERIFY(tip && !tip->geometry().contains(box->mapToGlobal(QPoint(2, 2))));
        for (const char *name : { "CmdOpen", "CmdClose" })
            QVERIFY2(!tip->geometry().intersects({ f->child(name)->mapToGlobal(QPoint()), f->child(name)->size() }), name);
    }
};

QTEST_MAIN(TestPort)
#include "tst_port.moc"
