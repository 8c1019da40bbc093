#include "devices/keydevices.h"
#include "devices/rawinput.h"
#include "devices/rawkeymatcher.h"

#include <QtTest>

#include <QtEndian>

// Which device typed each key: raw presses matched to keys, and Windows' Raw Input
// read from the bytes Windows hands over.
class TestDevices : public QObject
{
    Q_OBJECT

    // "r:CODE@MS/DEVICE" a raw press; "k:CODE@MS" a key, and the device due for it.
    struct Step
    {
        char what;
        quint32 code, time;
        quint16 device;
    };

private slots:
    void matching_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        constexpr quint16 A = 7, B = 8, None = KeyDevices::Unknown;
        QTest::newRow("the same key twice within a millisecond from two devices")
            << QList<Step> { { 'r', 10, 500, A }, { 'r', 10, 500, B }, { 'k', 10, 500, A },
                   { 'k', 10, 500, B } };
        // Typed into another program: its raw press must not pass to a later key.
        QTest::newRow("a raw press with no key")
            << QList<Step> { { 'r', 10, 500, A }, { 'r', 11, 503, B }, { 'k', 11, 503, B },
                   { 'k', 10, 520, None } };
        QTest::newRow("a key with no raw press, then one with")
            << QList<Step> { { 'k', 10, 500, None }, { 'r', 10, 510, A }, { 'k', 10, 510, A },
                   { 'k', 10, 510, None } };
        QTest::newRow("pushed out by 64 later presses")
            << [] {
                   QList<Step> steps { { 'r', 10, 500, A } };
                   for (quint32 i = 0; i < 64; ++i)
                       steps.append({ 'r', 20, 501 + i, B });
                   steps.append({ 'k', 10, 500, None });
                   return steps;
               }();
        QTest::newRow("across the wrap of the server's clock")
            << QList<Step> { { 'r', 10, 0xFFFFFFFF, A }, { 'k', 10, 0xFFFFFFFF, A } };
    }
    void matching()
    {
        QFETCH(QList<Step>, steps);
        RawKeyMatcher matcher;
        for (const Step &step : steps) {
            if (step.what == 'r')
                matcher.raw(step.code, step.time, step.device);
            else
                QCOMPARE(matcher.take(step.code, step.time), step.device);
        }
    }

    // WM_INPUT's RAWINPUT as 64-bit Windows lays it out: the header (type, size,
    // hDevice, wParam), then the keyboard's make code, flags, reserved, virtual key,
    // message and extra information.
    void rawInput_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<quint64>("device");
        QTest::addColumn<quint16>("makeCode");
        QTest::addColumn<quint16>("flags");
        QTest::addColumn<int>("size"); // of the bytes handed over
        QTest::addColumn<int>("scanCode"); // as the key's own message has it; -1 none; -2 not read
        QTest::newRow("A pressed") << 1u << quint64(0x2a0457) << quint16(0x1e) << quint16(0) << 40 << 0x1e;
        QTest::newRow("right Ctrl (E0) pressed") << 1u << quint64(0x2a0457) << quint16(0x1d) << quint16(2) << 40 << 0x11d;
        QTest::newRow("A let go") << 1u << quint64(0x2a0457) << quint16(0x1e) << quint16(1) << 40 << -1;
        QTest::newRow("a program's input: no device") << 1u << quint64(0) << quint16(0x1e) << quint16(0) << 40 << 0x1e;
        QTest::newRow("a mouse's report") << 0u << quint64(0x2a0457) << quint16(0) << quint16(0) << 48 << -2;
        QTest::newRow("cut short") << 1u << quint64(0x2a0457) << quint16(0x1e) << quint16(0) << 39 << -2;
    }
    void rawInput()
    {
        QFETCH(quint32, type);
        QFETCH(quint64, device);
        QFETCH(quint16, makeCode);
        QFETCH(quint16, flags);
        QFETCH(int, size);
        QFETCH(int, scanCode);
        QByteArray bytes(48, '\0');
        qToLittleEndian(type, bytes.data());
        qToLittleEndian(quint32(40), bytes.data() + 4);
        qToLittleEndian(device, bytes.data() + 8);
        qToLittleEndian(makeCode, bytes.data() + 24);
        qToLittleEndian(flags, bytes.data() + 26);
        qToLittleEndian(quint16(0x41), bytes.data() + 30);
        qToLittleEndian(quint32(flags & 1 ? 0x101 : 0x100), bytes.data() + 32);
        const auto input = rawKeyboardInput(QByteArrayView(bytes).first(size));
        QCOMPARE(input.has_value(), scanCode != -2);
        if (input) {
            QCOMPARE(input->device, device);
            QCOMPARE(input->pressedScanCode(), scanCode);
        }
    }

    // X names the device and its node; the device tree under the node tells the
    // rest, read as the port list reads it (a tree of the test's own).
    void linuxDevice()
    {
        if (QSysInfo::kernelType() != QLatin1String("linux"))
            QSKIP("the device tree is Linux's");
        QTemporaryDir tree;
        const QString usb = tree.filePath("devices/pci0/usb1/1-3/");
        const QString input = usb + "1-3:1.0/0003:0C2E:0B61.0001/input/input9";
        QVERIFY(QDir().mkpath(input + "/event5"));
        QVERIFY(QDir().mkpath(tree.filePath("class/input")));
        QVERIFY(QFile::link(input + "/event5", tree.filePath("class/input/event5")));
        QVERIFY(QFile::link("../..", input + "/event5/device"));
        for (const auto &[name, value] : { std::pair { "idVendor", "0c2e" }, { "idProduct", "0b61" },
                 { "manufacturer", "Maker <b>1</b>" }, { "product", "Scanner" }, { "serial", "17%1" } }) {
            QFile file(usb + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(value) + '\n');
        }
        const quint16 number = KeyDevices::add(
            linuxInputDevice("Scanner\nKeyboard", "/dev/input/event5", tree.filePath("class/input")));
        QCOMPARE(KeyDevices::describe(number).join(u'|'),
            "Устройство: «Scanner␊Keyboard», /dev/input/event5|"
            "USB: Maker <b>1</b>, VID:PID 0c2e:0b61, серийный номер 17%1 (Scanner)");
        QCOMPARE(KeyDevices::shortName(number),
            "«Scanner␊Keyboard» (Maker <b>1</b>, VID:PID 0c2e:0b61, серийный номер 17%1)");
    }

    // Under X a device's facts come after its first keys: they are tied to it at
    // once, and a device that X gave a second id is still one device.
    void askedFor()
    {
        const quint16 first = KeyDevices::reserve();
        const quint16 second = KeyDevices::reserve();
        QVERIFY(!KeyDevices::device(first));
        QVERIFY(!KeyDevices::same(first, second));
        QCOMPARE(KeyDevices::describe(first), { "Устройство: его сведения ещё не получены." });
        const InputDevice scanner { "Scanner", "/dev/input/event7", {}, {} };
        KeyDevices::learnt(first, scanner);
        KeyDevices::learnt(second, scanner);
        QVERIFY(KeyDevices::same(first, second));
        QCOMPARE(KeyDevices::shortName(second), "«Scanner»");
    }

    void devicePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("described"); // KeyDevices::describe, joined
        QTest::addColumn<QString>("instance"); // as the device manager knows it
        QTest::newRow("USB keyboard")
            << R"(\\?\HID#VID_0C2E&PID_0B61&MI_00#7&2a4c1b2&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91e6bf6})"
            << R"(Устройство: «HID\VID_0C2E&PID_0B61&MI_00», \\?\HID#VID_0C2E&PID_0B61&MI_00#7&2a4c1b2&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91e6bf6}|VID:PID 0c2e:0b61)"
            << R"(HID\VID_0C2E&PID_0B61&MI_00\7&2a4c1b2&0&0000)";
        QTest::newRow("built-in keyboard, no USB ids, a name with markup")
            << R"(\\?\ACPI#<b>PNP0303</b>#4&1d401fb5&0#{884b96c3-56ef-11d1-bc8c-00a0c91e6bf6})"
            << R"(Устройство: «ACPI\<b>PNP0303</b>», \\?\ACPI#<b>PNP0303</b>#4&1d401fb5&0#{884b96c3-56ef-11d1-bc8c-00a0c91e6bf6})"
            << R"(ACPI\<b>PNP0303</b>\4&1d401fb5&0)";
        QTest::newRow("a path of another shape") << "keyboard" << "Устройство: «keyboard», keyboard" << "";
    }
    void devicePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, described);
        QFETCH(QString, instance);
        QCOMPARE(windowsInstanceId(path), instance);
        const quint16 number = KeyDevices::add(windowsInputDevice(path));
        QCOMPARE(KeyDevices::add(windowsInputDevice(path)), number);
        QCOMPARE(KeyDevices::describe(number).join(u'|'), described);
    }
};

QTEST_GUILESS_MAIN(TestDevices)
#include "tst_devices.moc"
