#include "codes/findingtext.h"
#include "support/portform.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QRegularExpression>

// The window as the operator meets it: its design, the mode switch, the key preview and "X".
class TestForm1 : public QObject
{
    Q_OBJECT

    std::unique_ptr<PortForm> f;

    QStringList log() { return f->log()->items(); }
    // One key press and release at the focused widget, as the window system sends.
    static void press(const QString &text, Qt::Key key, Qt::KeyboardModifiers with = {})
    {
        for (const auto type : { QTest::Press, QTest::Release })
            QTest::sendKeyEvent(type, QApplication::focusWidget(), key, text, with);
    }

private slots:
    void init() { f = std::make_unique<PortForm>(false); }
    // Letters in the case Shift would not give them (Shift+A typing "a", B typing
    // "B"), as with Caps Lock on: the analysis finds Caps Lock with no identifier
    // to tell it, and the data as the scanner meant them. X key codes (evdev + 8).
    void capsLockFromShift()
    {
        const std::tuple<Qt::Key, quint32, bool, const char *> keys[] = { { Qt::Key_A, 38, true, "a" },
            { Qt::Key_B, 56, false, "B" }, { Qt::Key_1, 10, false, "1" }, { Qt::Key_C, 54, false, "C" } };
        for (const auto &[key, scanCode, shift, text] : keys) {
            for (const auto type : { QEvent::KeyPress, QEvent::KeyRelease }) {
                QKeyEvent event(type, key, shift ? Qt::ShiftModifier : Qt::NoModifier, scanCode, 0, 0,
                    QString::fromLatin1(text));
                QApplication::sendEvent(QApplication::focusWidget(), &event);
            }
        }
        press(QStringLiteral("\r"), Qt::Key_Return);
        const QString analysis = f->log()->readAnalysis(f->log()->count() - 1);
        QVERIFY2(analysis.contains(FindingText::sentence({ Finding::Kind::CapsLock, -1, {}, {} })),
            qPrintable(analysis));
        QVERIFY2(analysis.contains(QStringLiteral("как их задумал сканер: Ab1c")), qPrintable(analysis));
    }
    void startState()
    {
        QCOMPARE(f->form.minimumSize(), f->form.maximumSize()); // a fixed size
        QVERIFY(f->indicator() == Form1::Red && log().isEmpty());
        QCOMPARE(QApplication::focusWidget(), f->box());
    }
    // Checking enables the port controls and moves no focus, unchecking puts it in the scan
    // box, by a click or by a screen reader's toggle; "X" empties the log and the scan box
    // in either mode and puts the focus in the box.
    void modeSwitchAndClear()
    {
        for (bool on : { true, false }) {
            f->child("Check1")->setFocus();
            if (on)
                f->click("Check1");
            else
                QAccessible::queryAccessibleInterface(f->child("Check1"))->actionInterface()->doAction(
                    QAccessibleActionInterface::toggleAction());
            for (const char *name : { "CmdOpen", "CmdClose", "txtPort", "txtBod" })
                QCOMPARE(f->child(name)->isEnabled(), on);
            QCOMPARE(QApplication::focusWidget()->objectName(), on ? "Check1" : "txtSkaner");
            f->box()->setText("7");
            f->log()->AddItem("KeyAscii=55");
            f->click("CmdClear");
            QVERIFY(log().isEmpty() && f->box()->text().isEmpty() && f->box()->hasFocus());
        }
    }
    void keyLogged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code"); // -1: no line
        const std::pair<const char *, int> rows[] = { { "1", 49 }, { "А", 192 }, { "ё", 184 },
            { "€", 136 }, { "中", 63 }, { "😀", 63 }, { "\x03", 3 }, { "", -1 } };
        for (const auto &[text, code] : rows)
            QTest::newRow(code == 3 ? "Ctrl+C" : code < 0 ? "Left" : text) << QString::fromUtf8(text) << code;
    }
    // Each character typed (in the Windows code page, 63 if it lacks it) is one line,
    // whichever control has the focus (a letter no control takes travels up to the form;
    // Ctrl+C copies in the log and is still a key); none for Left, none in serial mode.
    void keyLogged()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        const QStringList line = code < 0 ? QStringList() : QStringList { QString("KeyAscii=%1").arg(code) };
        f->child("txtPort")->setEnabled(true); // it takes the focus only while enabled
        for (const char *name : { "txtSkaner", "List1", "Check1", "CmdClear", "txtPort", "" }) {
            f->log()->Clear();
            if (!*name) // serial mode
                f->click("Check1");
            else
                f->child(name)->setFocus();
            press(text, text.isEmpty() ? Qt::Key_Left : text == "\x03" ? Qt::Key_C : Qt::Key_unknown,
                text == "\x03" ? Qt::ControlModifier : Qt::NoModifier);
            QVERIFY2(log() == (*name ? line : QStringList()), name);
        }
    }
    // A scanner's keys sent to the tool's other windows count as the form's, once
    // each, and type into the scan box: Enter, space and Escape at a copy's progress
    // press no "Отмена", nor do they reach the analysis of a read.
    void keysOfOtherWindows()
    {
        EventLog *log = f->log();
        for (int i = 0; i < 3'000'000; ++i)
            log->AddCharacterLine(49);
        log->showReadAnalysis(0);
        auto *analysis = f->form.findChild<QWidget *>("ReadWindow");
        QVERIFY(analysis);
        log->selectAll();
        log->copyWithDetails();
        QProgressDialog *progress = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((progress = f->form.findChild<QProgressDialog *>()), 10'000);
        f->box()->setFocus();
        const std::pair<Qt::Key, const char *> keys[]
            = { { Qt::Key_Return, "\r" }, { Qt::Key_Space, " " }, { Qt::Key_Escape, "\x1b" }, { Qt::Key_1, "1" } };
        for (QWidget *window : { static_cast<QWidget *>(progress), analysis })
            for (const auto &[key, text] : keys)
                for (const auto type : { QTest::Press, QTest::Release })
                    QTest::sendKeyEvent(type, window, key, QString::fromLatin1(text), {});
        QVERIFY(log->isCopying());
        // Whether an Escape sent by QTest reaches the key preview depends on which
        // window the offscreen platform has made active by then: it is sent for the
        // dialog's sake (it must not cancel the copy), and its line is checked in
        // the real window (real_window_read).
        const QStringList codes = QString("13 32 49 13 32 49").split(' ');
        QStringList logged = log->items().mid(3'000'000);
        logged.removeAll(QStringLiteral("KeyAscii=27"));
        QCOMPARE(logged, QStringList(codes).replaceInStrings(QRegularExpression("^"), "KeyAscii="));
        QCOMPARE(f->box()->text(), " 1 1");
        log->cancelCopy();
    }
    void tabOrder()
    {
        f->click("Check1");
        f->box()->setFocus();
        for (const char *next :
            { "List1", "Check1", "CmdClear", "txtPort", "txtBod", "CmdOpen", "CmdClose", "txtSkaner" }) {
            press("\t", Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
