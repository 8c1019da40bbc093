#include "main_window.h"

#include "eventlog.h"
#include "indicator.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The window as the operator meets it: its design, the mode switch, the key
// preview and "X".
class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        form = new Form1;
        form->show();
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanup() { delete form; }
    void startState()
    {
        QCOMPARE(form->size(), QSize(200, 396)); // the design's twips at 96 DPI
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(control<Indicator>("Shape1")->FillColor(), Form1::Red);
        QVERIFY(!control<QCheckBox>("Check1")->isChecked() && log().isEmpty());
        QCOMPARE(QApplication::focusWidget(), control("txtSkaner"));
        for (QPushButton *button : form->findChildren<QPushButton *>()) // Enter clicks nothing
            QVERIFY(!button->autoDefault() && !button->isDefault());
        for (const char *name : { "CmdOpen", "CmdClose", "txtPort", "txtBod" })
            QVERIFY(!control(name)->isEnabled());
    }
    void modeSwitch()
    {
        control("Check1")->setFocus();
        for (bool on : { true, false, true }) {
            setSerialMode(on);
            for (const char *name : { "CmdOpen", "CmdClose", "txtPort", "txtBod" })
                QCOMPARE(control(name)->isEnabled(), on);
            // Checking moves no focus; unchecking puts it in the scan box.
            QCOMPARE(QApplication::focusWidget()->objectName(), on ? "Check1" : "txtSkaner");
            control("Check1")->setFocus();
        }
        QTest::keyClick(control("Check1"), Qt::Key_Space); // the space bar clicks too
        QVERIFY(!control("CmdOpen")->isEnabled());
    }
    void keyLogged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("code"); // -1: no line
        const Qt::Key other = Qt::Key_unknown;
        QTest::newRow("digit") << "1" << Qt::Key_1 << 49;
        QTest::newRow("А") << "А" << other << 192;
        QTest::newRow("ё") << "ё" << other << 184;
        QTest::newRow("euro sign") << "€" << other << 136;
        QTest::newRow("not in the code page") << "中" << other << 63;
        QTest::newRow("outside the BMP") << QString::fromUtf8("😀") << other << 63;
        QTest::newRow("Enter") << "\r" << Qt::Key_Return << 13;
        QTest::newRow("Ctrl+B") << "\x02" << Qt::Key_B << 2;
        // Keys that type nothing are no key press for the form.
        QTest::newRow("Left") << QString() << Qt::Key_Left << -1;
        QTest::newRow("Shift") << QString() << Qt::Key_Shift << -1;
    }
    void keyLogged()
    {
        QFETCH(QString, text);
        QFETCH(Qt::Key, key);
        QFETCH(int, code);
        const auto modifiers = key == Qt::Key_B ? Qt::ControlModifier : Qt::NoModifier;
        press(text, key, modifiers);
        QCOMPARE(log(), code < 0 ? QStringList() : QStringList { QString("KeyAscii=%1").arg(code) });
        // In serial mode the key reaches the control but is not logged.
        setSerialMode(true);
        control<EventLog>("List1")->Clear();
        control("txtSkaner")->setFocus();
        press(text, key, modifiers);
        QVERIFY(log().isEmpty());
    }
    void keyLoggedOnceWhicheverFocus_data()
    {
        QTest::addColumn<int>("unused");
        for (const char *name : { "txtSkaner", "List1", "Check1", "CmdClear", "txtPort" })
            QTest::newRow(name) << 0;
    }
    void keyLoggedOnceWhicheverFocus()
    {
        auto *widget = control(QTest::currentDataTag());
        widget->setEnabled(true); // the port box takes the focus only while enabled
        widget->setFocus();
        QCOMPARE(QApplication::focusWidget(), widget);
        // A letter that no control accepts travels up to the form: still one line.
        press("q", Qt::Key_Q);
        QCOMPARE(log(), QStringList { "KeyAscii=113" });
    }
    void enterInScanBox()
    {
        press("1", Qt::Key_1);
        press("\r", Qt::Key_Return);
        // Enter inserts nothing and clicks no button ("X" would have emptied both).
        QCOMPARE(log(), (QStringList { "KeyAscii=49", "KeyAscii=13" }));
        QCOMPARE(control<QLineEdit>("txtSkaner")->text(), QStringLiteral("1"));
    }
    void tabOrder()
    {
        setSerialMode(true);
        control("txtSkaner")->setFocus();
        for (const char *next : { "List1", "Check1", "CmdClear", "txtPort", "txtBod", "CmdOpen",
                 "CmdClose", "txtSkaner" }) {
            press("\t", Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
    }
    void clear()
    {
        // "X" empties the log and the scan box in either mode.
        for (bool serial : { false, true }) {
            press("7", Qt::Key_7);
            setSerialMode(serial);
            QTest::mouseClick(control("CmdClear"), Qt::LeftButton);
            QVERIFY(log().isEmpty() && control<QLineEdit>("txtSkaner")->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), control("txtSkaner"));
        }
    }

private:
    template<typename T = QWidget> T *control(const char *name) const
    {
        return form->findChild<T *>(name);
    }
    QStringList log() const { return control<EventLog>("List1")->items(); }
    // One key press and release at the focused widget, as the window system sends.
    void press(const QString &text, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::sendKeyEvent(QTest::Press, QApplication::focusWidget(), key, text, modifiers);
        QTest::sendKeyEvent(QTest::Release, QApplication::focusWidget(), key, text, modifiers);
    }
    void setSerialMode(bool on)
    {
        if (control<QCheckBox>("Check1")->isChecked() != on)
            QTest::mouseClick(control("Check1"), Qt::LeftButton);
    }
    Form1 *form = nullptr;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
