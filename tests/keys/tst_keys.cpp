#include "details/keyorigin.h"
#include "form/main_window.h"
#include "keys/altcode.h"

#include "log/eventlog.h"

#include "scanbox/scanbox.h"
#include <QtTest>

Q_DECLARE_METATYPE(KeyOrigin)

// Keys by the platform's codes: on Windows the scan code, under X and Wayland the
// evdev code + 8.
#ifdef Q_OS_WIN
constexpr quint32 KeyA = 0x1E, KeyKeypad1 = 0x4F, KeySlash = 0x35, KeyApostrophe = 0x28;
#else
constexpr quint32 KeyA = 38, KeyKeypad1 = 87, KeySlash = 61, KeyApostrophe = 48;
#endif

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
#ifndef Q_OS_WIN // X gives a program's keys a spare key code; Windows has none
        QTest::newRow("a spare key for a moment")
            << KeyOrigin { 8, {}, "ä" } << QStringList { "без клавиши раскладки" } << "код клавиши"
            << false;
#endif
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
