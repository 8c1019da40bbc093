#include "devices/keydevices.h"
#include "devices/rawinput.h"
#include "devices/rawkeymatcher.h"

#include <QtTest>

#include <QtEndian>

// Which device typed each key: raw presses matched to keys, and Windows' Raw Input
// read from the bytes Windows hands over and matched to its key messages.
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

    // The Raw Input side fed WM_INPUT's RAWINPUT as 64-bit Windows lays it out
    // (the header: type, size, hDevice, wParam; then the keyboard's make code,
    // flags, reserved, virtual key, message and extra information) and asked by
    // key messages: "i" a report, "m" a mouse's, "s" one cut short, "c" devices
    // changed, "k" a key message and the device due for it.
    struct Message
    {
        char what;
        quint64 handle = 0;
        quint16 code = 0; // a report's make code; a key message's scan code
        quint16 flags = 0; // RI_KEY_BREAK 1, RI_KEY_E0 2
        quint32 time = 500;
        quint16 device = 0;
    };

    // A device with its facts, as a thread that asked for them leaves it.
    static quint16 known(const InputDevice &device)
    {
        const quint16 number = KeyDevices::reserve();
        KeyDevices::learnt(number, device);
        return number;
    }

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

    void rawInput_data()
    {
        QTest::addColumn<QList<Message>>("messages");
        QTest::addColumn<int>("named"); // how often a handle's device was asked for
        constexpr quint64 H1 = 0x2a0457, H2 = 0x1b0333;
        constexpr quint16 D1 = 101, D2 = 102, None = KeyDevices::Unknown;
        QTest::newRow("a press, an E0 key, a release; the handle named once")
            << QList<Message> { { 'i', H1, 0x1e }, { 'k', 0, 0x1e, 0, 500, D1 }, { 'i', H1, 0x1d, 2 },
                   { 'k', 0, 0x11d, 0, 500, D1 }, { 'i', H1, 0x1e, 1 }, { 'k', 0, 0x1e, 0, 500, None } }
            << 1;
        QTest::newRow("two keyboards, the same key in the same millisecond")
            << QList<Message> { { 'i', H1, 0x1e }, { 'i', H2, 0x1e }, { 'k', 0, 0x1e, 0, 500, D1 },
                   { 'k', 0, 0x1e, 0, 500, D2 } }
            << 2;
        QTest::newRow("a program's keys: no device named")
            << QList<Message> { { 'i', 0, 0x1e }, { 'k', 0, 0x1e, 0, 500, KeyDevices::Unnamed } } << 0;
        QTest::newRow("a mouse's report, one cut short")
            << QList<Message> { { 'm', H1, 0x1e }, { 's', H1, 0x1e }, { 'k', 0, 0x1e, 0, 500, None } } << 0;
        QTest::newRow("stamped apart: 40 ms is the same press, 60 ms not")
            << QList<Message> { { 'i', H1, 0x1e, 0, 500 }, { 'k', 0, 0x1e, 0, 540, D1 },
                   { 'i', H1, 0x1e, 0, 600 }, { 'k', 0, 0x1e, 0, 660, None } }
            << 1;
        QTest::newRow("devices came or went: the handle named again")
            << QList<Message> { { 'i', H1, 0x1e }, { 'c' }, { 'i', H1, 0x1e }, { 'k', 0, 0x1e, 0, 500, D1 } } << 2;
    }
    void rawInput()
    {
        QFETCH(QList<Message>, messages);
        QFETCH(int, named);
        int asked = 0;
        RawInputKeys keys([&asked](quint64 handle) {
            ++asked;
            return quint16(handle == 0x2a0457 ? 101 : 102);
        });
        for (const Message &m : messages) {
            if (m.what == 'k') {
                QCOMPARE(keys.deviceOf(m.code, m.time), m.device);
                continue;
            }
            if (m.what == 'c') {
                keys.devicesChanged();
                continue;
            }
            QByteArray report(48, '\0');
            qToLittleEndian(quint32(m.what == 'm' ? 0 : 1), report.data());
            qToLittleEndian(quint32(40), report.data() + 4);
            qToLittleEndian(m.handle, report.data() + 8);
            qToLittleEndian(m.code, report.data() + 24);
            qToLittleEndian(m.flags, report.data() + 26);
            qToLittleEndian(quint16(0x41), report.data() + 30);
            qToLittleEndian(quint32(m.flags & 1 ? 0x101 : 0x100), report.data() + 32);
            keys.input(QByteArrayView(report).first(m.what == 's' ? 39 : 40), m.time);
        }
        QCOMPARE(asked, named);
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
        const quint16 number = known(
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
        const quint16 number = known(windowsInputDevice(path));
        QVERIFY(KeyDevices::same(known(windowsInputDevice(path)), number));
        QCOMPARE(KeyDevices::describe(number).join(u'|'), described);
    }
};

QTEST_GUILESS_MAIN(TestDevices)
#include "tst_devices.moc"
