#include "main_window.h"
#include "pty.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// A port that another program holds, and a device this user may not open, tried
// for real: the form runs in a program of its own (open_probe), as the user a
// technician would be.
class TestPortAccess : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
};

namespace {

constexpr uid_t Nobody = 65534;

// Why the user nobody cannot run the program at that path, or nothing if it can:
// it needs to pass through every directory on the way and to read and run the file.
QString unreachableForNobody(const QString &path)
{
    QFileInfo step(path);
    if (!(step.permissions() & QFile::ExeOther) || !(step.permissions() & QFile::ReadOther))
        return step.filePath() + " may not be run by others";
    for (QFileInfo dir(step.absolutePath()); !dir.isRoot(); dir = QFileInfo(dir.absolutePath())) {
        if (!(dir.permissions() & QFile::ExeOther))
            return dir.filePath() + " may not be entered by others";
    }
    return {};
}

} // namespace

void TestPortAccess::refused_data()
{
    QTest::addColumn<bool>("holdPort"); // else the device is made unreadable
    QTest::addColumn<QString>("reason");
    QTest::newRow("busy: another program holds the port") << true << "занят другой программой";
    QTest::newRow("device without permission") << false << "Нет доступа к порту COM1 (";
}

void TestPortAccess::refused()
{
    QFETCH(bool, holdPort);
    QFETCH(QString, reason);
    PseudoTerminal pty;
    QVERIFY(pty.isOpen());
    QSerialPort holder(pty.slavePath());
    QStringList command { QStringLiteral(OPEN_PROBE), pty.slavePath() };
    if (holdPort) {
        QVERIFY(holder.open(QIODevice::ReadOnly));
    } else {
        QCOMPARE(::chmod(QFile::encodeName(pty.slavePath()).constData(), 0), 0);
        if (::geteuid() == 0) {
            // Root opens any device whatever its mode: the probe runs as nobody.
            if (const QString why = unreachableForNobody(command.first()); !why.isEmpty())
                QSKIP(qPrintable("running as root, and the probe cannot run as nobody: " + why));
            command = QStringList { "setpriv", "--reuid=" + QString::number(Nobody),
                "--regid=" + QString::number(Nobody), "--clear-groups" }
                + command;
        }
    }

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("XDG_RUNTIME_DIR"); // root's own, of no use to nobody
    probe.setProcessEnvironment(environment);
    probe.start(command.takeFirst(), command);
    QVERIFY2(probe.waitForFinished(30000), qPrintable(probe.errorString()));
    const QString out = QString::fromUtf8(probe.readAllStandardOutput());
    const QString err = QString::fromUtf8(probe.readAllStandardError());
    QVERIFY2(
        probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0, qPrintable(out + err));

    QMap<QString, QString> shown;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts))
        shown.insert(line.section(": ", 0, 0), line.section(": ", 1));
    qInfo("%s", qPrintable(shown.value("reason")));
    QCOMPARE(shown.value("message"), "не могу открыть порт COM1!");
    QVERIFY2(shown.value("reason").contains(reason + (holdPort ? "" : pty.slavePath())),
        qPrintable(shown.value("reason")));
    QCOMPARE(shown.value("indicator"), QString::number(Form1::Red));
    QCOMPARE(shown.value("open"), "0");
}

QTEST_GUILESS_MAIN(TestPortAccess)
#include "tst_portaccess.moc"
