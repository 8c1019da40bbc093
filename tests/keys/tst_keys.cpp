#include "details/keyorigin.h"
#include "details/sessionclock.h"
#include "form/keypreview.h"
#include "form/main_window.h"
#include "keys/altcode.h"
#include "keys/windowskeys.h"

#include "log/eventlog.h"

#include "scanbox/scanbox.h"
#include <QtTest>

Q_DECLARE_METATYPE(KeyOrigin)
Q_DECLARE_METATYPE(WindowsKeys::Msg)

// Keys by the platform's codes: on Windows the scan code, under X and Wayland the
// evdev code (the scan code, for these keys) + 8.
const quint32 KeyOffset = QSysInfo::productType() == u"windows" ? 0 : 8;
const quint32 KeyA = 0x1E + KeyOffset, KeyKeypad1 = 0x4F + KeyOffset, KeySlash = 0x35 + KeyOffset,
              KeyApostrophe = 0x28 + KeyOffset;

namespace {

// Windows' key messages as Windows sends them: lParam with the scan code in
// bits 16..23, Alt held in bit 29 (WM_SYS*), a release in bits 30 and 31.
using Msgs = QList<WindowsKeys::Msg>;
WindowsKeys::Msg msg(quint32 message, quint32 wParam, quint32 scanCode, quint32 time)
{
    scanCode += KeyOffset; // the tooltips name keys by this platform's codes
    const bool sys = message >= WindowsKeys::SysKeyDown;
    const bool up = message == WindowsKeys::KeyUp || message == WindowsKeys::SysKeyUp;
    return { message, wParam,
        qint64(scanCode) << 16 | 1 | (sys ? 1 << 29 : 0) | (up ? 3ll << 30 : 0), time };
}
// A key that types ch: down, its WM_CHAR, up.
Msgs press(quint32 vk, quint32 scanCode, char16_t ch, quint32 time)
{
    return { msg(WindowsKeys::KeyDown, vk, scanCode, time),
        msg(WindowsKeys::Char, ch, scanCode, time), msg(WindowsKeys::KeyUp, vk, scanCode, time) };
}
// Alt held, the digits on the keypad (Num Lock on), Alt let go, and the
// character Windows composed.
Msgs altCodeMessages(const char *digits, char16_t ch)
{
    constexpr quint32 keypadScanCodes[]
        = { 0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49 };
    Msgs msgs { msg(WindowsKeys::SysKeyDown, 0x12, 0x38, 0) };
    for (const char *d = digits; *d; ++d) {
        const int digit = *d - '0';
        msgs << msg(WindowsKeys::SysKeyDown, 0x60 + digit, keypadScanCodes[digit], 0)
             << msg(WindowsKeys::SysKeyUp, 0x60 + digit, keypadScanCodes[digit], 0);
    }
    return msgs << msg(WindowsKeys::KeyUp, 0x12, 0x38, 0) << msg(WindowsKeys::Char, ch, 0x38, 0);
}

qint64 clockNow = 0;

} // namespace

// Keyboard mode's own rules for keys: Alt codes, and the key behind a key line.
class TestKeys : public QObject
{
    Q_OBJECT

private slots:
    void altCode_data()
    {
        // Steps: "a" Alt down, "A" Alt up, a digit: that keypad key with Alt held,
        // "e": keypad 1 with Num Lock off (End), "l": the left arrow with Alt held.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("typed");
        QTest::newRow("leading zero: Windows-1251")
            << "a0192A" << QStringList { "KeyAscii=192" } << "А";
        QTest::newRow("no leading zero: 866") << "a128A" << QStringList { "KeyAscii=192" } << "А";
        QTest::newRow("Num Lock off") << "a0e68A" << QStringList { "KeyAscii=168" } << "Ё";
        QTest::newRow("zero") << "a000A" << QStringList() << "";
        QTest::newRow("past 255") << "a0300A" << QStringList() << "";
        QTest::newRow("broken by a key") << "a01l92A" << QStringList() << "";
        QTest::newRow("menu Alt") << "aA" << QStringList() << "";
    }
    void altCode()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, lines);
        QFETCH(QString, typed);
        if (!AltCode::Needed)
            QSKIP("Windows composes Alt codes itself");
        Form1 form;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *box = form.findChild<ScanBox *>("txtSkaner");
        QCOMPARE(QApplication::focusWidget(), box);
        // Sent as they are: QTest would press and release Alt around each key.
        const auto send = [box](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                              const QString &text = {}) {
            QKeyEvent event(type, key, modifiers, text);
            QApplication::sendEvent(box, &event);
        };
        const auto click
            = [send](int key, Qt::KeyboardModifiers modifiers, const QString &text = {}) {
                  send(QEvent::KeyPress, key, modifiers, text);
                  send(QEvent::KeyRelease, key, modifiers, text);
              };
        const auto keypad = Qt::AltModifier | Qt::KeypadModifier;
        for (QChar step : steps) {
            if (step == u'a')
                send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
            else if (step == u'A')
                send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
            else if (step == u'e')
                click(Qt::Key_End, keypad);
            else if (step == u'l')
                click(Qt::Key_Left, Qt::AltModifier);
            else // the X server gives the digit as text, or none
                click(Qt::Key_0 + step.digitValue(), keypad, step);
        }
        QCOMPARE(form.findChild<EventLog *>("List1")->items(), lines);
        QCOMPARE(box->text(), typed);
    }
    void describe_data()
    {
        QTest::addColumn<KeyOrigin>("origin");
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<QString>("unsaid");
        QTest::addColumn<bool>("layoutHint");
        const auto shift = Qt::ShiftModifier;
        QTest::newRow("US layout")
            << KeyOrigin { KeyA, shift, "A" }
            << QStringList { "Символ: 65 (0x41), «A»",
                   QString("Клавиша «A» с Shift (код клавиши %1).").arg(KeyA) }
            << "U+" << false;
        QTest::newRow("Caps Lock")
            << KeyOrigin { KeyA, {}, "A" } << QStringList { "«A»" } << "" << false;
        QTest::newRow("Russian layout")
            << KeyOrigin { KeyA, shift, "Ф" }
            << QStringList { "напечатала «Ф» (212)", "даёт «A» (65)" } << "" << true;
        QTest::newRow("keypad") << KeyOrigin { KeyKeypad1, Qt::KeypadModifier, "1" }
                                << QStringList { "«1» на цифровом блоке" } << "" << false;
        QTest::newRow("Alt code 866") << KeyOrigin { 0, {}, "А", 128, false }
                                      << QStringList { "Alt+128", "866" } << "" << false;
        QTest::newRow("Alt code 1251") << KeyOrigin { 0, {}, "А", 192, true }
                                       << QStringList { "Alt+0192", "1251" } << "" << false;
        QTest::newRow("no Windows-1251 code")
            << KeyOrigin { 0, {}, "ä" } << QStringList { "«ä» (U+00E4)", "кода не имеет" }
            << "Символ: 63" << false;
        QTest::newRow("a real question mark")
            << KeyOrigin { KeySlash, shift, "?" } << QStringList { "63 (0x3F), «?» — сам" } << "U+"
            << false;
        if (KeyOffset) // X gives a program's keys a spare key code; Windows has none
            QTest::newRow("a spare key for a moment")
                << KeyOrigin { 8, {}, "ä" } << QStringList { "без клавиши раскладки" }
                << "код клавиши" << false;
        QTest::newRow("dead key") << KeyOrigin { 0, {}, "é", -1, false, true, KeyApostrophe }
                                  << QStringList { "«é» (U+00E9)",
                                         "мёртвой клавишей «'» и клавишей «E»", "«'e» сканера «é»",
                                         "США международная" }
                                  << "" << true;
        QTest::newRow("input method") << KeyOrigin { 0, {}, "é", -1, false, true }
                                      << QStringList { "метода ввода" } << "клавишей" << false;
    }
    void describe()
    {
        QFETCH(KeyOrigin, origin);
        QFETCH(QStringList, named);
        QFETCH(QString, unsaid);
        QFETCH(bool, layoutHint);
        const QString text = describeKeyOrigin(origin);
        for (const QString &part : named)
            QVERIFY2(text.contains(part), qPrintable(text));
        QVERIFY2(unsaid.isEmpty() || !text.contains(unsaid), qPrintable(text));
        QCOMPARE(text.contains("переключите её на английскую (США)"), layoutHint);
    }

    // What Windows' own key messages tell, as the key preview reads them on Windows:
    // each key press Qt delivers (a dead key's none, an Alt code's character as key
    // 0) with the characters, times, Alt codes and dead keys of its messages.
    void windowsMessages_data()
    {
        QTest::addColumn<Msgs>("messages");
        QTest::addColumn<int>("ansiCodePage");
        QTest::addColumn<int>("oemCodePage");
        QTest::addColumn<int>("stallUntil"); // ms: keys that came before are handled then
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<int>>("gaps"); // ms between the lines
        QTest::addColumn<int>("reads");
        QTest::addColumn<QStringList>("said"); // by the first line's tooltip
        QTest::newRow("Alt+0192, English (US)")
            << altCodeMessages("0192", u'À') << 1252 << 437 << 0 << QStringList { "KeyAscii=63" }
            << QList<int>() << 1
            << QStringList { "«À» (U+00C0)", "Alt+0192", "Windows-1252", "ANSI" };
        QTest::newRow("Alt+0192, Russian")
            << altCodeMessages("0192", u'А') << 1251 << 866 << 0 << QStringList { "KeyAscii=192" }
            << QList<int>() << 1 << QStringList { "Alt+0192", "Windows-1251", "составила Windows" };
        QTest::newRow("Alt+128, English (US)")
            << altCodeMessages("128", u'Ç') << 1252 << 437 << 0 << QStringList { "KeyAscii=63" }
            << QList<int>() << 1 << QStringList { "Alt+128", "437 (DOS)", "OEM" };
        QTest::newRow("Alt+128, Russian")
            << altCodeMessages("128", u'А') << 1251 << 866 << 0 << QStringList { "KeyAscii=192" }
            << QList<int>() << 1 << QStringList { "Alt+128", "866 (DOS)" };
        QTest::newRow("dead key") << (Msgs { msg(WindowsKeys::KeyDown, 0xDE, 0x28, 0),
                                          msg(WindowsKeys::DeadChar, '\'', 0x28, 0),
                                          msg(WindowsKeys::KeyUp, 0xDE, 0x28, 0) }
            + press(0x45, 0x12, u'é', 0))
                                  << 1252 << 437 << 0 << QStringList { "KeyAscii=63" }
                                  << QList<int>() << 1
                                  << QStringList { "«é» (U+00E9)", "раскладкой Windows",
                                         "мёртвой клавишей «'» и клавишей «E»" };
        QTest::newRow("Ctrl+Shift+2: NUL") << (Msgs { msg(WindowsKeys::KeyDown, 0x11, 0x1D, 0),
                                                   msg(WindowsKeys::KeyDown, 0x10, 0x2A, 0) }
            + press(0x32, 0x03, 0, 0)) << 1252
                                           << 437 << 0 << QStringList { "KeyAscii=0" }
                                           << QList<int>() << 1 << QStringList { "Клавиша «2»" };
        // Qt would stamp the four keys after the stall 330 ms after the first.
        QTest::newRow("thread busy for 300 ms")
            << press(0x41, 0x1E, 'a', 0) + press(0x42, 0x30, 'b', 100) + press(0x43, 0x2E, 'c', 110)
                + press(0x44, 0x20, 'd', 120) + press(0x0D, 0x1C, '\r', 130)
            << 1252 << 437 << 430
            << QStringList { "KeyAscii=97", "KeyAscii=98", "KeyAscii=99", "KeyAscii=100",
                   "KeyAscii=13" }
            << QList<int> { 100, 10, 10, 10 } << 1 << QStringList { "Клавиша «A»" };
        QTest::newRow("tick count wraps")
            << press(0x41, 0x1E, 'a', 0xFFFFFFF0u) + press(0x42, 0x30, 'b', 0xFFFFFFFAu)
                + press(0x43, 0x2E, 'c', 4) + press(0x0D, 0x1C, '\r', 14)
            << 1252 << 437 << 40
            << QStringList { "KeyAscii=97", "KeyAscii=98", "KeyAscii=99", "KeyAscii=13" }
            << QList<int> { 10, 10, 10 } << 1 << QStringList();
    }
    void windowsMessages()
    {
        QFETCH(Msgs, messages);
        QFETCH(int, ansiCodePage);
        QFETCH(int, oemCodePage);
        QFETCH(int, stallUntil);
        WindowsKeys keys([&] { return WindowsKeys::CodePages { ansiCodePage, oemCodePage }; });
        for (const WindowsKeys::Msg &m : messages)
            keys.message(m);
        Form1 form;
        form.findChild<KeyPreview *>()->setNativeKeys(&keys);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *box = form.findChild<ScanBox *>("txtSkaner");
        SessionClock::setSource([] { return clockNow; });
        // The presses Qt delivers, as its key mapper makes them: a key down unless a
        // WM_DEADCHAR waits behind it, with the WM_CHAR after it as its text (for 0,
        // its own character), and a WM_CHAR that no key down took, as key 0.
        for (qsizetype i = 0; i < messages.size(); ++i) {
            const quint32 type = messages[i].message;
            const quint32 previous = i > 0 ? messages[i - 1].message : 0;
            const WindowsKeys::Msg *next = i + 1 < messages.size() ? &messages[i + 1] : nullptr;
            const bool down = type == WindowsKeys::KeyDown || type == WindowsKeys::SysKeyDown;
            if (!(down && !(next && next->message == WindowsKeys::DeadChar))
                && !(type == WindowsKeys::Char && previous != WindowsKeys::KeyDown))
                continue;
            const WindowsKeys::Msg &character
                = down && next && next->message == WindowsKeys::Char ? *next : messages[i];
            const QString text = character.message != WindowsKeys::Char ? QString()
                : character.wParam == 0                                 ? QStringLiteral("2")
                                        : QString(QChar(char16_t(character.wParam)));
            const auto since = int(quint32(messages[i].time - messages[0].time));
            clockNow
                = 1'000'000 + 1000 * qint64(since > 0 && since < stallUntil ? stallUntil : since);
            QKeyEvent press(QEvent::KeyPress, down ? Qt::Key_unknown : 0, {},
                quint32(messages[i].lParam >> 16 & 0x1FF), quint32(messages[i].wParam), 0, text);
            QApplication::sendEvent(box, &press);
        }
        SessionClock::setSource(nullptr);
        auto *log = form.findChild<EventLog *>("List1");
        QTEST(log->items(), "lines");
        QList<int> gaps;
        int reads = 0;
        const QString gapLabel = QStringLiteral("После предыдущей клавиши: ");
        for (qsizetype row = 0; row < log->count(); ++row) {
            const QString details = log->lineDetails(row);
            QString gap
                = details.mid(details.indexOf(gapLabel) + gapLabel.size()).section(' ', 0, 0);
            if (row > 0)
                gaps << qRound(gap.replace(',', '.').toDouble());
            reads += details.contains("Последний символ чтения");
        }
        QTEST(gaps, "gaps");
        QTEST(reads, "reads");
        QFETCH(QStringList, said);
        for (const QString &part : said)
            QVERIFY2(log->lineDetails(0).contains(part), qPrintable(log->lineDetails(0)));
    }

    // Text an input method commits to a box (a dead key's composition) is logged like
    // typed keys, each character once and in order with them; the dead key let go
    // before it is the one named.
    void composed()
    {
        Form1 form;
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *box = form.findChild<ScanBox *>("txtSkaner");
        QTest::keyClick(box, '1');
        QKeyEvent dead(QEvent::KeyRelease, Qt::Key_Dead_Acute, {}, KeyApostrophe, 0, 0);
        QApplication::sendEvent(box, &dead);
        QInputMethodEvent commit;
        commit.setCommitString("éё");
        QApplication::sendEvent(box, &commit);
        QTest::keyClick(box, '2');
        auto *log = form.findChild<EventLog *>("List1");
        QCOMPARE(log->items(),
            (QStringList { "KeyAscii=49", "KeyAscii=63", "KeyAscii=184", "KeyAscii=50" }));
        QCOMPARE(box->text(), "1éё2");
        QVERIFY(log->lineDetails(1).contains("мёртвой клавишей «'»"));
        QVERIFY(!log->lineDetails(2).contains("мёртвой"));
    }
};

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
