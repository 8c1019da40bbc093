#include "serial/windowsports.h"
#include "support/portform.h"

#include <QtTest>

// A port that follows its device, in a device tree of the test's own: a USB
// adapter (serial number A1) on a pseudo-terminal goes away, then a device comes.
class TestPortFollow : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> tree;

    // A USB adapter plugged in at port, named tty, opening the pseudo-terminal.
    void plug(const QString &port, const QString &serial, const QString &tty, const PseudoTerminal &pty)
    {
        const QString usb = "devices/pci0/usb1/" + port + '/';
        const QString at = usb + port + ":1.0/" + tty;
        const QList<std::pair<QString, QString>> entries { { "drivers/bind", "" },
            { at + "/driver", "->" + tree->filePath("drivers") }, { at + "/tty/" + tty + "/device", "->../.." },
            { usb + "serial", serial + '\n' }, { usb + "idVendor", "0403\n" }, { usb + "idProduct", "6001\n" },
            { "class/tty/" + tty, "->" + tree->filePath(at + "/tty/" + tty) }, { "dev/" + tty, "->" + pty.slavePath() } };
        for (const auto &[path, content] : entries) {
            const QString file = tree->filePath(path);
            QDir().mkpath(QFileInfo(file).path());
            QFile::remove(file);
            if (content.startsWith("->"))
                QVERIFY(QFile::link(content.mid(2), file));
            else if (QFile out(file); out.open(QIODevice::WriteOnly))
                out.write(content.toUtf8());
        }
    }
    void unplug(const QString &tty)
    {
        QVERIFY(QFile::remove(tree->filePath("class/tty/" + tty)));
        QVERIFY(QFile::remove(tree->filePath("dev/" + tty)));
    }

private slots:
    void follow_data()
    {
        QTest::addColumn<QString>("serial"); // of the device that comes
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("reopened");
        QTest::newRow("back under another name, at another USB port") << "A1" << "ttyUSB1" << true;
        QTest::newRow("another device takes the old name") << "B2" << "ttyUSB0" << false;
    }
    void follow()
    {
        QFETCH(QString, serial);
        QFETCH(QString, name);
        QFETCH(bool, reopened);
        tree.emplace();
        PortForm f;
        plug("1-1", "A1", "ttyUSB0", f.pty);
        f.port()->useDeviceTree({ tree->filePath("class/tty"), tree->filePath("dev"), tree->filePath("dev/serial/by-id") });
        QAction *follow = f.child<Indicator>("Shape1")->actions().value(0);
        QVERIFY(follow && follow->isCheckable() && !follow->isChecked());
        follow->trigger();
        f.click("CmdOpen");
        QCOMPARE(f.indicator(), Form1::Green);

        QSignalSpy changes(f.port(), &SerialControl::DevicesChanged);
        f.pty.unplug();
        unplug("ttyUSB0");
        QTRY_COMPARE(f.indicator(), Form1::Red);
        QTRY_VERIFY(changes.count() > 0);
        const QString tooltip = f.child<Indicator>("Shape1")->toolTip();
        QVERIFY2(tooltip.contains("Порт откроется снова, когда вернётся устройство"), qPrintable(tooltip));

        PseudoTerminal back;
        changes.clear();
        plug(reopened ? "1-2" : "1-1", serial, name, back);
        QTRY_VERIFY(changes.count() > 0);
        QCoreApplication::processEvents(); // the follower has looked at the new list
        if (!reopened) {
            QCOMPARE(f.indicator(), Form1::Red);
            QVERIFY(!f.port()->PortOpen());
            return;
        }
        QTRY_COMPARE(f.indicator(), Form1::Green);
        QVERIFY(back.write("12\r"));
        QTRY_COMPARE(f.log()->items().mid(0, 2), QStringList({ "KeyAscii=49", "KeyAscii=50" }));
        const QString told = f.child<Indicator>("Shape1")->toolTip();
        QVERIFY2(told.contains("Вернулось в") && told.contains(tree->filePath("dev/ttyUSB1")), qPrintable(told));
    }

    // On Windows a port's device node may be a USB device's interface or a
    // driver's node above it: the identity to follow is the USB device's, its
    // serial number the one in its own id.
    void windowsIdentity_data()
    {
        QTest::addColumn<QStringList>("chain"); // the port's node, then its parents
        QTest::addColumn<int>("usb");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("ids"); // VID:PID
        const QString hub = R"(USB\ROOT_HUB30\4&1a2b3c&0&0)";
        QTest::newRow("FTDI's driver above the USB device")
            << QStringList { R"(FTDIBUS\VID_0403+PID_6001+A50285BIA\0000)", R"(USB\VID_0403&PID_6001\A50285BI)", hub }
            << 1 << "A50285BI" << "0403:6001";
        QTest::newRow("an interface of a composite device")
            << QStringList { R"(USB\VID_0C2E&PID_0B6A&MI_00\6&2a4c1b2&0&0000)", R"(USB\VID_0C2E&PID_0B6A\14289B0537)", hub }
            << 1 << "14289B0537" << "0c2e:0b6a";
        QTest::newRow("no serial number: Windows makes up the id")
            << QStringList { R"(USB\VID_1EAB&PID_0D06\5&2f2d1f3&0&2)", hub } << 0 << "" << "1eab:0d06";
        QTest::newRow("FTDI's driver alone, in lower case")
            << QStringList { R"(ftdibus\vid_0403+pid_6015+dk0ab1cdA\0000)" } << -1 << "dk0ab1cd" << "0403:6015";
        QTest::newRow("a port on the mainboard")
            << QStringList { R"(ACPI\PNP0501\1)", R"(ACPI\PNP0A08\0)" } << -1 << "" << "";
    }
    void windowsIdentity()
    {
        QFETCH(QStringList, chain);
        QFETCH(int, usb);
        QFETCH(QString, serial);
        QFETCH(QString, ids);
        QCOMPARE(usbDeviceIn(chain), usb);
        const PortIdentity identity = identityFromInstanceId(chain.value(usb, chain.first()));
        QCOMPARE(identity.serialNumber, serial);
        QCOMPARE(identity.vendorId < 0 ? QString()
                                       : QString::asprintf("%04x:%04x", identity.vendorId, identity.productId),
            ids);
    }
};

QTEST_MAIN(TestPortFollow)
#include "tst_portfollow.moc"
