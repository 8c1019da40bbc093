#include "indicator.h"
#include "main_window.h"
#include "pty.h"
#include "serialcontrol.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

// A port that another program holds, and a device this user may not open, tried
// for real: this program runs itself again as the form alone ("--open DEVICE"), as
// the user a technician would be.
class TestPortAccess : public QObject
{
    Q_OBJECT

private slots:
    void refused_data()
    {
        QTest::addColumn<bool>("holdPort"); // else the device gets the mode and group below
        QTest::addColumn<int>("mode"); // with group bits: the group is dialout
        QTest::addColumn<QString>("reason"); // %1: the device
        // The holder also plays the device: its lock, not its open file, refuses the port.
        QTest::newRow("locked by another program") << true << 0
            << "Порт COM1 (%1) занят другой программой.";
        QTest::newRow("0600 of root") << false << 0600
            << "Нет доступа к порту COM1 (%1). Читать и писать его может только владелец, "
               "«root». Поможет администратор: правило udev, отдающее устройство группе "
               "dialout (GROUP=\"dialout\", MODE=\"0660\"), или TAG+=\"uaccess\" — доступ "
               "тому, кто работает за этим компьютером.";
        QTest::newRow("0660 of dialout") << false << 0660
            << "Нет доступа к порту COM1 (%1). Читать и писать его может группа «dialout»: "
               "пользователь должен входить в неё и затем заново войти в систему.";
    }
    void refused()
    {
        QFETCH(bool, holdPort);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        PseudoTerminal pty;
        QSerialPort holder(pty.slavePath());
        QStringList command { QCoreApplication::applicationFilePath(), "--open", pty.slavePath() };
        const QByteArray path = QFile::encodeName(pty.slavePath());
        if (holdPort)
            QVERIFY(holder.open(QIODevice::ReadOnly));
        else
            QVERIFY(::chmod(path, mode_t(mode)) == 0
                && ((mode & 070) == 0 || ::chown(path, uid_t(-1), ::getgrnam("dialout")->gr_gid) == 0));
        // Root opens any device whatever its mode: the form runs as nobody then.
        const bool asNobody = !holdPort && ::geteuid() == 0;
        if (asNobody)
            command = QStringList { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" }
                + command;
        QProcess probe;
        probe.start(command.takeFirst(), command);
        QVERIFY2(probe.waitForFinished(30000), qPrintable(probe.errorString()));
        const QString err = QString::fromUtf8(probe.readAllStandardError());
        // setpriv's own status when nobody may not run this program where it lies.
        if (asNobody && probe.exitCode() >= 126)
            QSKIP(qPrintable("running as root, and nobody cannot run the form: " + err));
        QVERIFY2(probe.exitCode() == 0, qPrintable(err)); // a signal's number is never 0
        const QString shown = QString::fromUtf8(probe.readAllStandardOutput());
        qInfo("%s", qUtf8Printable(shown));
        QCOMPARE(shown,
            QString("%1 0\nне могу открыть порт COM1!\n").arg(Form1::Red)
                + reason.arg(pty.slavePath()) + '\n');
    }
};

int main(int argc, char *argv[])
{
    if (argc != 3 || qstrcmp(argv[1], "--open") != 0) {
        QCoreApplication app(argc, argv);
        TestPortAccess test;
        return QTest::qExec(&test, argc, argv);
    }
    // The form alone: "интерфейс RS-232", "Открыть порт" on COM1 (the device). As the
    // message comes: the indicator's colour, open or not (1/0), the message, its reason
    // (without the word joiners that keep a path on one line).
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Form1 form;
    auto *port = form.findChild<SerialControl *>("MSComm1");
    const QString device = QString::fromLocal8Bit(argv[2]);
    port->setPortMapper([device] { return QList<MappedPort> { { 1, device, {} } }; });
    form.show();
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, &form, [&form, port] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            QTextStream(stdout) << form.findChild<Indicator *>("Shape1")->FillColor() << ' '
                                << int(port->PortOpen()) << '\n'
                                << box->text() << '\n'
                                << box->informativeText().remove(QChar(0x2060)) << '\n';
            box->accept();
        }
    });
    operatorHand.start(10);
    form.findChild<QCheckBox *>("Check1")->click();
    form.findChild<QPushButton *>("CmdOpen")->click();
    return 0;
}

#include "tst_portaccess.moc"
