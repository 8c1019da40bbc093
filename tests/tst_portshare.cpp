#include "indicator.h"
#include "main_window.h"
#include "portmapping.h"
#include "pty.h"
#include "serialcontrol.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

// A port is the tool's alone: another program that holds it keeps the form from
// opening it, and while the form holds it no other program opens it. The indicator
// and the port box say which device is which.
class TestPortShare : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;

    template<typename T = QWidget> T *child(const char *name) { return form->findChild<T *>(name); }
    SerialControl *port() { return child<SerialControl>("MSComm1"); }
    bool open() { return port()->PortOpen() && child<Indicator>("Shape1")->FillColor() == Form1::Green; }
    static QString plain(const QString &html)
    {
        QTextDocument document;
        document.setHtml(html);
        return document.toPlainText();
    }

    // Clicks with the port text given; the reason of the message that comes, if
    // one does, without the word joiners that keep its paths on one line.
    QString click(const char *button, const QString &portText = "1")
    {
        child<QLineEdit>("txtPort")->setText(portText);
        QString reason;
        QObject context;
        QTimer::singleShot(0, &context, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                reason = box->informativeText().remove(QChar(0x2060));
                box->accept();
            }
        });
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        return reason;
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        QVERIFY(pty.open());
        port()->setPortMapper(
            [this] { return QList<MappedPort> { { 1, pty.slavePath(), "Адаптер <b>1</b>" } }; });
        form->show();
        child<QCheckBox>("Check1")->click();
    }

    void heldByOthers_data()
    {
        QTest::addColumn<int>("holders");
        QTest::addColumn<QString>("reason"); // %1: the device, %2: the holders
        QTest::newRow("one") << 1 << "Порт COM1 (%1) занят другой программой: %2.";
        QTest::newRow("two") << 2 << "Порт COM1 (%1) занят другими программами: %2.";
    }
    // Programs that open the device plainly: no lock file, no exclusive mode.
    void heldByOthers()
    {
        QFETCH(int, holders);
        QFETCH(QString, reason);
        // Children that kept the master side would count as the device's own end.
        QVERIFY(::fcntl(pty.masterFd(), F_SETFD, FD_CLOEXEC) == 0);
        std::vector<std::unique_ptr<QProcess>> others;
        QList<qint64> pids;
        for (int i = 0; i < holders; ++i) {
            others.push_back(std::make_unique<QProcess>());
            others.back()->setStandardInputFile(pty.slavePath());
            others.back()->start("sleep", { "60" });
            QVERIFY(others.back()->waitForStarted());
            pids.append(others.back()->processId());
        }
        std::sort(pids.begin(), pids.end());
        QStringList named;
        for (qint64 pid : pids)
            named << QString("sleep (PID %1)").arg(pid);
        QCOMPARE(click("CmdOpen"), reason.arg(pty.slavePath(), named.join(", ")));
        QVERIFY(!port()->PortOpen() && child<Indicator>("Shape1")->FillColor() == Form1::Red);
        others.clear(); // each ends with the end of its QProcess
        QCOMPARE(click("CmdOpen"), QString());
        QVERIFY(open());
    }

    // socat keeps the slave side of its pseudo-terminal open besides the master: it
    // plays the device, it reads nothing from the port.
    void deviceSideIsNoHolder()
    {
        const QString link = QDir::temp().filePath(
            QString("tst_portshare-%1").arg(QCoreApplication::applicationPid()));
        QProcess socat;
        socat.start("socat", { "pty,raw,echo=0,link=" + link, "pty,raw,echo=0" });
        QVERIFY2(socat.waitForStarted(), qPrintable(socat.errorString()));
        QTRY_VERIFY(QFileInfo::exists(link));
        port()->setPortMapper([link] { return QList<MappedPort> { { 1, link, {} } }; });
        QCOMPARE(click("CmdOpen"), QString());
        QVERIFY(open());
        click("CmdClose");
        socat.terminate();
        QVERIFY(socat.waitForFinished());
    }

    void othersShutOut_data()
    {
        QTest::addColumn<bool>("formHolds"); // else the form has opened and closed it
        QTest::newRow("while the form holds it") << true;
        QTest::newRow("after the form closed it") << false;
    }
    void othersShutOut()
    {
        QFETCH(bool, formHolds);
        QVERIFY(QFile::setPermissions(pty.slavePath(), QFile::ReadOther | QFile::WriteOther));
        QCOMPARE(click("CmdOpen"), QString());
        if (!formHolds)
            click("CmdClose");
        // A plain open() by another program; root passes the exclusive mode, nobody not.
        QStringList command { "sh", "-c", ": <\"$0\"", pty.slavePath() };
        if (::geteuid() == 0)
            command = QStringList { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" }
                + command;
        QProcess other;
        other.start(command.takeFirst(), command);
        QVERIFY(other.waitForFinished());
        QVERIFY2((other.exitCode() != 0) == formHolds, other.readAllStandardError().constData());
    }

    void indicatorSays_data()
    {
        QTest::addColumn<QStringList>("steps"); // a port text to open, "close" or "unplug"
        QTest::addColumn<QString>("says"); // %1: the device
        const QString com1 = "Открыт COM1 — %1, Адаптер <b>1</b>";
        QTest::newRow("as started") << QStringList() << "Порт закрыт";
        QTest::newRow("open") << QStringList { "1" } << com1;
        QTest::newRow("COM9 clicked while COM1 is open") << QStringList { "1", "9" } << com1;
        QTest::newRow("closed") << QStringList { "1", "close" } << "Порт закрыт";
        QTest::newRow("unplugged") << QStringList { "1", "unplug" }
                                   << "Устройство COM1 (%1) отключено";
    }
    void indicatorSays()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, says);
        const QString device = pty.slavePath();
        for (const QString &step : steps) {
            if (step == "close")
                click("CmdClose");
            else if (step == "unplug")
                pty.unplug();
            else
                click("CmdOpen", step);
        }
        auto *shape = child<Indicator>("Shape1");
        says.replace("%1", device);
        QTRY_COMPARE(shape->accessibleDescription(), says);
        QCOMPARE(plain(shape->toolTip()), says);
    }

    void portBoxTellsAdaptersApart()
    {
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-Maker_FT232R_A1-if00-port0");
        QVERIFY(QFile::link("/dev/null", byId.filePath("usb-Other-if00-port0"))
            && QFile::link(pty.slavePath(), link));
        QCOMPARE(stableName(pty.slavePath(), byId.path()), link);
        const QList<ListedPort> listed { { "ttyUSB1", "/dev/ttyUSB1", "FT232R", { "Maker", 0x403, 0x6001, "B2", {} } },
            { "ttyUSB0", "/dev/ttyUSB0", "FT232R", { "Maker <1>", 0x403, 0x6001, "A1", link } } };
        port()->setPortMapper([listed] { return numberByFamily(listed); });
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), QPoint(2, 2));
        QApplication::sendEvent(child("txtPort"), &hover);
        QCOMPARE(plain(child("txtPort")->toolTip()).split('\n'),
            QStringList({ "Порты в системе:", "COM1 — /dev/ttyUSB0 (FT232R)",
                "    Maker <1>, VID:PID 0403:6001, серийный номер A1", "    " + link,
                "COM2 — /dev/ttyUSB1 (FT232R)", "    Maker, VID:PID 0403:6001, серийный номер B2" }));
    }
};

QTEST_MAIN(TestPortShare)
#include "tst_portshare.moc"
