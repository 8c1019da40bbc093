#include "support/portform.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

// A device this user may not open, tried for real: this program runs itself again
// as the form alone ("--open DEVICE"), as the user a technician would be.
class TestPortAccess : public QObject
{
    Q_OBJECT

private slots:
    void withoutPermission_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("group"); // owned by root and this group
        QTest::addColumn<QString>("reason"); // after "Нет доступа к порту COM1 (<device>)."
        const QString udev = " Поможет администратор: правило udev, отдающее устройство группе dialout "
                             "(GROUP=\"dialout\", MODE=\"0660\"), или TAG+=\"uaccess\" — доступ тому, кто "
                             "работает за этим компьютером.";
        QTest::newRow("0600 of root") << 0600 << "dialout" << "Читать и писать его может только владелец, «root»." + udev;
        QTest::newRow("0660 of dialout") << 0660 << "dialout"
            << "Читать и писать его может группа «dialout»: пользователь должен входить в неё "
               "и затем заново войти в систему.";
        // Nobody is told to join the administrators.
        QTest::newRow("0660 of group root") << 0660 << "root"
            << "Читать и писать его могут только владелец, «root», и группа администраторов «root»." + udev;
    }
    void withoutPermission()
    {
        QFETCH(int, mode);
        QFETCH(QString, group);
        QFETCH(QString, reason);
        PseudoTerminal pty;
        QStringList command { QCoreApplication::applicationFilePath(), "--open", pty.slavePath() };
        const QByteArray path = QFile::encodeName(pty.slavePath());
        QVERIFY(::chmod(path, mode_t(mode)) == 0 && ::chown(path, uid_t(-1), ::getgrnam(qPrintable(group))->gr_gid) == 0);
        // Root opens any device whatever its mode: the form runs as nobody then.
        if (::geteuid() == 0)
            command = QStringList { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" }
                + command;
        QProcess probe;
        probe.start(command.takeFirst(), command);
        QVERIFY2(probe.waitForFinished(30000), qPrintable(probe.errorString()));
        const QString err = QString::fromUtf8(probe.readAllStandardError());
        // setpriv's own status when nobody may not run this program where it lies.
        if (::geteuid() == 0 && probe.exitCode() >= 126)
            QSKIP(qPrintable("running as root, and nobody cannot run the form: " + err));
        QVERIFY2(probe.exitCode() == 0, qPrintable(err)); // a signal's number is never 0
        const QString shown = QString::fromUtf8(probe.readAllStandardOutput());
        QCOMPARE(shown, QString("%1 0\nне могу открыть порт COM1!\nНет доступа к порту COM1 (%2). ")
                            .arg(Form1::Red).arg(pty.slavePath())
                + reason + '\n');
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
    PortForm f;
    const QString device = QString::fromLocal8Bit(argv[2]);
    f.port()->setPortMapper([device] { return QList<MappedPort> { { 1, device, {} } }; });
    answerBoxes(&f.form, [&f](QMessageBox *box) {
        QTextStream(stdout) << f.indicator() << ' ' << int(f.port()->PortOpen()) << '\n'
                            << box->text() << '\n'
                            << box->informativeText().remove(QChar(0x2060)) << '\n';
    });
    f.child<QPushButton>("CmdOpen")->click();
    return 0;
}

#include "tst_portaccess.moc"
