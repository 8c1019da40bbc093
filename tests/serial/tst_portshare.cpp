#include "form/indicator.h"
#include "form/main_window.h"
#include "serial/portpermission.h"
#include "serial/serialcontrol.h"
#include "support/ptypair.h"

#include <QtTest>
#include <QtWidgets>

#include <fcntl.h>
#include <unistd.h>

// A port is the tool's alone, whoever came first; the indicator and the port box
// say which device is which.
class TestPortShare : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    PseudoTerminal pty;

    template<typename T = QWidget> T *child(const char *name) { return form->findChild<T *>(name); }
    SerialControl *port() { return child<SerialControl>("MSComm1"); }
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
        QTest::addColumn<QStringList>("holders"); // programs that open it plainly: no lock, no exclusive mode
        QTest::addColumn<QString>("reason"); // %1: the device, %2: the holders; empty: it opens
        QTest::newRow("one") << QStringList { "sleep" } << "Порт COM1 (%1) занят другой программой: %2.";
        QTest::newRow("two") << QStringList { "sleep", "sleep" } << "Порт COM1 (%1) занят другими программами: %2.";
        // Copies of sleep: names are shown as they are, never as formats, markup or lines.
        QTest::newRow("named %1") << QStringList { "%1" } << "Порт COM1 (%1) занят другой программой: %2.";
        QTest::newRow("named with markup, a line feed") << QStringList { "<i>%2\n<b>" } << "Порт COM1 (%1) занят другой программой: %2.";
        // socat holds the slave side of its pseudo-terminal too: it plays the device.
        QTest::newRow("socat's own pseudo-terminal") << QStringList {} << QString();
    }
    void heldByOthers()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, reason);
        // Children that kept the master side would count as the device's own end.
        QVERIFY(::fcntl(pty.masterFd(), F_SETFD, FD_CLOEXEC) == 0);
        QString device = pty.slavePath();
        QTemporaryDir programs;
        std::vector<std::unique_ptr<QProcess>> others;
        QMap<qint64, QString> named; // in order of process id
        if (holders.isEmpty()) {
            device = QDir::temp().filePath(QString("tst_portshare-%1").arg(getpid()));
            others.emplace_back(std::make_unique<QProcess>())->start("socat", { "pty,raw,echo=0,link=" + device, "pty,raw,echo=0" });
            QTRY_VERIFY(QFileInfo::exists(device));
        }
        for (const QString &program : holders) {
            QProcess *other = others.emplace_back(std::make_unique<QProcess>()).get();
            QVERIFY(program == "sleep" || QFile::copy("/bin/sleep", programs.filePath(program)));
            other->setStandardInputFile(device);
            other->start(program == "sleep" ? program : programs.filePath(program), { "60" });
            QVERIFY(other->waitForStarted());
            named[other->processId()] = QString(program).replace('\n', QChar(0x240A)) + " (PID " + QString::number(other->processId()) + ')';
        }
        port()->setPortMapper([device] { return QList<MappedPort> { { 1, device, {} } }; });
        QCOMPARE(click("CmdOpen"), holders.isEmpty() ? "" : reason.arg(device, named.values().join(", ")));
        QCOMPARE(port()->PortOpen(), holders.isEmpty());
        for (const auto &other : others)
            other->kill(), other->waitForFinished();
        if (!holders.isEmpty()) // gone now: the same click opens the port
            QVERIFY(click("CmdOpen").isEmpty() && port()->PortOpen());
    }

    // A plain open() by another program while the form holds the port, and after
    // it closed it; root passes the exclusive mode, nobody does not.
    void othersShutOut()
    {
        QVERIFY(QFile::setPermissions(pty.slavePath(), QFile::ReadOther | QFile::WriteOther));
        QStringList command { "sh", "-c", ": <\"$0\"", pty.slavePath() };
        if (::geteuid() == 0)
            command = QStringList { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" }
                + command;
        const auto othersOpen = [&] { return QProcess::execute(command[0], command.mid(1)) == 0; };
        QCOMPARE(click("CmdOpen"), QString());
        QVERIFY(!othersOpen());
        click("CmdClose");
        QVERIFY(othersOpen());
    }

    void indicatorSays_data()
    {
        QTest::addColumn<QStringList>("steps"); // a port text to open, "close" or "unplug"
        QTest::addColumn<QString>("says"); // %1: the device
        const QString com1 = "Открыт COM1 — %1, Адаптер <b>1</b>";
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

    // The modem manager is named for a USB device while it runs, and only then: a
    // program the system names ModemManager, and the pseudo-terminal placed in a
    // device tree of the test's own, once on a USB bus, once elsewhere.
    void modemManagerNamed()
    {
        QTemporaryDir tree;
        const QString name = QFileInfo(QFileInfo(pty.slavePath()).canonicalFilePath()).fileName();
        QVERIFY(QFile::copy("/bin/sleep", tree.filePath("ModemManager"))
            && QDir(tree.path()).mkpath("tty/" + name) && QDir(tree.path()).mkpath("pci/usb1/1-1")
            && QDir(tree.path()).mkpath("pci/serial8250"));
        const QString link = tree.filePath("tty/" + name + "/device");
        QProcess manager;
        manager.start(tree.filePath("ModemManager"), { "60" });
        QVERIFY(manager.waitForStarted());
        QVERIFY(QFile::link(tree.filePath("pci/serial8250"), link));
        QCOMPARE(modemManagerNote(pty.slavePath(), tree.filePath("tty")), QString());
        QVERIFY(QFile::remove(link) && QFile::link(tree.filePath("pci/usb1/1-1"), link));
        QVERIFY(modemManagerNote(pty.slavePath(), tree.filePath("tty")).contains("ID_MM_DEVICE_IGNORE"));
        manager.kill();
        manager.waitForFinished();
        QCOMPARE(modemManagerNote(pty.slavePath(), tree.filePath("tty")), QString());
    }

    void portBoxTellsAdaptersApart()
    {
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-Maker_FT232R_A1-if00-port0");
        QVERIFY(QFile::link("/dev/null", byId.filePath("usb-Other-if00-port0"))
            && QFile::link(pty.slavePath(), link));
        QCOMPARE(stableName(pty.slavePath(), byId.path()), link);
        const QList<ListedPort> listed { { "ttyUSB1", "/dev/ttyUSB1", {} },
            { "ttyUSB0", "/dev/ttyUSB0", "FT232R", { "Maker <1>", 0x403, 0x6001, "A1", link } } };
        port()->setPortMapper([listed] { return numberByFamily(listed); });
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), QPoint(2, 2));
        QApplication::sendEvent(child("txtPort"), &hover);
        QCOMPARE(plain(child("txtPort")->toolTip()).split('\n'),
            QStringList({ "Порты в системе:", "COM1 — /dev/ttyUSB0 (FT232R)",
                "    Maker <1>, VID:PID 0403:6001, серийный номер A1", "    " + link,
                "COM2 — /dev/ttyUSB1" }));
    }
};

QTEST_MAIN(TestPortShare)
#include "tst_portshare.moc"
