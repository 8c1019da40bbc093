#include "serial/portholders.h"
#include "serial/systemports.h"
#include "support/ptypair.h"

#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

// What the tool reads of the system, in trees of the test's own: the processes that hold a
// device, and the serial ports of a device tree.
class TestSystem : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> tree;

    // Each entry a file with its text, or with "->" a link to a target.
    void build(const QList<std::pair<QString, QString>> &entries)
    {
        for (const auto &[path, content] : entries) {
            const QString at = tree->filePath(path);
            QVERIFY(QDir().mkpath(QFileInfo(at).path()));
            if (content.startsWith("->"))
                QVERIFY(QFile::link(content.mid(2), at));
            else if (QFile file(at); file.open(QIODevice::WriteOnly))
                file.write(content.toUtf8());
        }
    }

private slots:
    void init() { tree.emplace(); }

    void holders_data()
    {
        QTest::addColumn<QStringList>("fds"); // what process 9999999's descriptors lead to; "@": the device
        QTest::addColumn<bool>("holds");
        QTest::newRow("the device after thousands of others")
            << (QStringList(5000, "/dev/null") << "@") << true;
        // Stat-ed, the link would lead to the device: only what the kernel names under /dev counts.
        QTest::newRow("the device through a path outside /dev") << QStringList { "alias" } << false;
        QTest::newRow("sockets, pipes, files") << QStringList { "socket:[7]", "pipe:[8]", "/etc/hostname" } << false;
    }
    void holders()
    {
        QFETCH(QStringList, fds);
        QFETCH(bool, holds);
        PseudoTerminal pty;
        QList<std::pair<QString, QString>> entries { { "proc/9999999/comm", "%1 <b>x\n" },
            { "alias", "->" + pty.slavePath() } };
        for (qsizetype fd = 0; fd < fds.size(); ++fd)
            entries.append({ QString("proc/9999999/fd/%1").arg(fd),
                "->" + (fds[fd] == "@" ? pty.slavePath() : fds[fd] == "alias" ? tree->filePath("alias") : fds[fd]) });
        build(entries);
        const QList<PortHolder> found = portHolders(pty.slavePath(), tree->filePath("proc"));
        QCOMPARE(found, holds ? QList<PortHolder>({ { 9999999, "%1 <b>x" } }) : QList<PortHolder>());
        QCOMPARE(holdersText(found), holds ? "%1 <b>x (PID 9999999)" : "");
    }

    // Ports listed from a device tree: serial ports and USB adapters in order, a UART slot the
    // kernel found empty and consoles left out, what the adapters say of themselves literally;
    // no device opened. Read again when the device directory changes, not at every look.
    void portsOfDeviceTree()
    {
        const QString usb = "devices/pci0/usb1/1-1/", acm = "devices/pci0/usb1/1-2/";
        const QString driver = "->" + tree->filePath("drivers");
        build({ { "drivers/bind", "" }, { "class/tty/ttyS0", "->" + tree->filePath("devices/pnp0/00:01/tty/ttyS0") },
            { "devices/pnp0/00:01/tty/ttyS0/device", "->../.." }, { "devices/pnp0/00:01/tty/ttyS0/type", "4\n" },
            { "devices/pnp0/00:01/driver", driver },
            { "class/tty/ttyS1", "->" + tree->filePath("devices/platform/serial8250/tty/ttyS1") },
            { "devices/platform/serial8250/tty/ttyS1/device", "->../.." },
            { "devices/platform/serial8250/tty/ttyS1/type", "0\n" },
            { "devices/platform/serial8250/driver", driver },
            { "class/tty/ttyUSB0", "->" + tree->filePath(usb + "1-1:1.0/ttyUSB0/tty/ttyUSB0") },
            { usb + "1-1:1.0/ttyUSB0/tty/ttyUSB0/device", "->../.." },
            { usb + "1-1:1.0/ttyUSB0/driver", driver },
            { usb + "product", "FT232R <b>USB</b>\nUART\n" }, { usb + "manufacturer", "%1 Maker\n" },
            { usb + "serial", "A1\n" }, { usb + "idVendor", "0403\n" }, { usb + "idProduct", "6001\n" },
            { "class/tty/ttyACM0", "->" + tree->filePath(acm + "1-2:1.0/tty/ttyACM0") },
            { acm + "1-2:1.0/tty/ttyACM0/device", "->../.." },
            { acm + "1-2:1.0/driver", driver },
            { acm + "product", "Scanner\n" }, { acm + "idVendor", "05e0\n" }, { acm + "idProduct", "1200\n" },
            { "class/tty/tty1", "->" + tree->filePath("devices/virtual/tty/tty1") }, { "devices/virtual/tty/tty1/dev", "4:1\n" },
            { "dev/ttyS0", "" }, { "dev/ttyS1", "" }, { "dev/ttyUSB0", "" }, { "dev/ttyACM0", "" }, { "dev/tty1", "" },
            { "dev/serial/by-id/usb-Maker-if00", "->../../ttyUSB0" } });
        const QString dev = tree->filePath("dev");
        const int watch = inotify_init1(IN_NONBLOCK);
        QVERIFY(watch >= 0 && inotify_add_watch(watch, QFile::encodeName(dev), IN_OPEN) >= 0);
        SystemPorts system(nullptr, { tree->filePath("class/tty"), dev, dev + "/serial/by-id" });
        const QString listed = "Порты в системе:\nCOM1 — %1/ttyS0\nCOM2 — %1/ttyUSB0 (FT232R <b>USB</b>␊UART)\n"
                               "    %1 Maker, VID:PID 0403:6001, серийный номер A1\n    %1/serial/by-id/usb-Maker-if00\n"
                               "COM3 — %1/ttyACM0 (Scanner)\n    VID:PID 05e0:1200";
        QCOMPARE(mappingText(system.mapping()), QString(listed).replace("%1/", dev + '/'));
        char events[4096];
        const ssize_t read = ::read(watch, events, sizeof events);
        for (ssize_t at = 0; at > -1 && at < read; at += sizeof(inotify_event) + ((inotify_event *)(events + at))->len)
            QVERIFY2(((inotify_event *)(events + at))->mask & IN_ISDIR, ((inotify_event *)(events + at))->name);
        ::close(watch);
        build({ { "class/tty/ttyUSB1", "->" + tree->filePath(usb + "1-1:1.1/ttyUSB1/tty/ttyUSB1") },
            { usb + "1-1:1.1/ttyUSB1/tty/ttyUSB1/device", "->../.." },
            { usb + "1-1:1.1/ttyUSB1/driver", driver } });
        QCOMPARE(system.mapping().size(), 3); // the device directory has not changed
        build({ { "dev/ttyUSB1", "" } });
        QTRY_COMPARE(system.mapping().size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestSystem)
#include "tst_system.moc"
