#include "main_window.h"

#include "eventlog.h"
#include "indicator.h"
#include "scanbox.h"

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
    void design_data()
    {
        // Pixels at 96 DPI: twips / 15, rounded.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Check1") << "интерфейс RS-232" << QRect(8, 8, 121, 17) << true;
        QTest::newRow("Shape1") << "" << QRect(136, 8, 57, 17) << true;
        QTest::newRow("Label1") << "COM" << QRect(8, 32, 25, 17) << true;
        QTest::newRow("txtPort") << "1" << QRect(40, 32, 17, 19) << false;
        QTest::newRow("Label2") << "скор." << QRect(64, 32, 33, 17) << true;
        QTest::newRow("txtBod") << "9600" << QRect(104, 32, 41, 19) << false;
        QTest::newRow("Label3") << ",N,8,1" << QRect(152, 32, 33, 17) << true;
        QTest::newRow("CmdOpen") << "Открыть порт" << QRect(8, 56, 89, 25) << false;
        QTest::newRow("CmdClose") << "Закрыть порт" << QRect(104, 56, 89, 25) << false;
        QTest::newRow("txtSkaner") << "" << QRect(8, 88, 161, 25) << true;
        QTest::newRow("CmdClear") << "X" << QRect(168, 88, 25, 25) << true;
        QTest::newRow("List1") << "" << QRect(8, 112, 185, 276) << true;
    }
    void design()
    {
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QFETCH(bool, enabled);
        auto *widget = control(QTest::currentDataTag());
        QVERIFY(widget && widget->isVisible());
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->isEnabled(), enabled);

        QCOMPARE(widget->property("text").toString(), text);
        if (auto *button = qobject_cast<QPushButton *>(widget))
            QVERIFY(!button->autoDefault() && !button->isDefault()); // Enter clicks nothing
        if (auto *box = qobject_cast<QLineEdit *>(widget)) // a long scan is never cut
            QCOMPARE(box->maxLength(), std::numeric_limits<int>::max());
    }
    void startState()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Orvatek"));
        QCOMPARE(form->size(), QSize(200, 396));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->windowIcon().availableSizes().value(0), QSize(32, 32));
        QCOMPARE(control<Indicator>("Shape1")->FillColor(), Form1::Red);
        QVERIFY(!control<QCheckBox>("Check1")->isChecked());
        QVERIFY(log().isEmpty());
        QCOMPARE(QApplication::focusWidget(), control("txtSkaner"));
        QCOMPARE(control("txtSkaner")->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(control("txtSkaner")->font().pointSizeF(), 12.0);
        QCOMPARE(control("List1")->font().pointSizeF(), 9.75);
    }
    void modeSwitch()
    {
        const QStringList portControls { "CmdOpen", "CmdClose", "txtPort", "txtBod" };
        control("Check1")->setFocus();
        for (bool on : { true, false, true }) {
            setSerialMode(on);
            for (const QString &name : portControls)
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
        QTest::addColumn<QStringList>("lines");
        auto row = [](const char *tag, const QString &text, Qt::Key key, int code) {
            QTest::newRow(tag) << text << key
                               << QStringList { QStringLiteral("KeyAscii=%1").arg(code) };
        };
        row("digit", "1", Qt::Key_1, 49);
        row("А", "А", Qt::Key_unknown, 192);
        row("я", "я", Qt::Key_unknown, 255);
        row("Ё", "Ё", Qt::Key_unknown, 168);
        row("ё", "ё", Qt::Key_unknown, 184);
        row("euro sign", "€", Qt::Key_unknown, 136);
        row("not in the code page", "中", Qt::Key_unknown, 63);
        row("outside the BMP", QString::fromUtf8("😀"), Qt::Key_unknown, 63);
        row("Enter", "\r", Qt::Key_Return, 13);
        row("Backspace", "\b", Qt::Key_Backspace, 8);
        row("Escape", "\x1b", Qt::Key_Escape, 27);
        row("Ctrl+B", "\x02", Qt::Key_B, 2);
        // Keys that type nothing are no key press for the form.
        for (Qt::Key key : { Qt::Key_Left, Qt::Key_F5, Qt::Key_Shift, Qt::Key_Delete })
            QTest::newRow(qPrintable(QKeySequence(key).toString()))
                << QString() << key << QStringList();
    }
    void keyLogged()
    {
        QFETCH(QString, text);
        QFETCH(Qt::Key, key);
        QFETCH(QStringList, lines);
        const auto modifiers = key == Qt::Key_B ? Qt::ControlModifier : Qt::NoModifier;
        press(text, key, modifiers);
        QCOMPARE(log(), lines);

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
        press("2", Qt::Key_2);
        press("\r", Qt::Key_Return);
        QCOMPARE(log(), (QStringList { "KeyAscii=49", "KeyAscii=50", "KeyAscii=13" }));
        // Enter inserts nothing and clicks no button ("X" would have emptied both).
        QCOMPARE(control<ScanBox>("txtSkaner")->text(), QStringLiteral("12"));
    }
    void tabOrder_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("keyboard mode")
            << false << QStringList { "List1", "Check1", "CmdClear", "txtSkaner" };
        QTest::newRow("serial mode") << true
                                     << QStringList { "List1", "Check1", "CmdClear", "txtPort",
                                            "txtBod", "CmdOpen", "CmdClose", "txtSkaner" };
    }
    void tabOrder()
    {
        QFETCH(bool, serial);
        QFETCH(QStringList, order);
        setSerialMode(serial);
        control("txtSkaner")->setFocus();
        for (const QString &next : order) {
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
            QVERIFY(log().isEmpty());
            QCOMPARE(control<ScanBox>("txtSkaner")->text(), QString());
            QCOMPARE(QApplication::focusWidget(), control("txtSkaner"));
        }
    }

private:
    template<typename T = QWidget> T *control(const QString &name) const
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
