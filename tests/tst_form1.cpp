#include "main_window.h"

#include "eventlog.h"
#include "indicator.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The window as the operator meets it: its design, the mode switch, the key
// preview and "X".
class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void design_data();
    void design();
    void startState();

    void modeSwitch();

    void keyLogged_data();
    void keyLogged();
    void keyLoggedOnceWhicheverFocus_data();
    void keyLoggedOnceWhicheverFocus();
    void keyWithoutTextNotLogged();
    void enterInScanBox();

    void tabOrder_data();
    void tabOrder();

    void clear_data();
    void clear();

private:
    template<typename T = QWidget> T *control(const char *name) const
    {
        auto *widget = form->findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }
    void press(const QString &text, Qt::Key key = Qt::Key_unknown,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void setSerialMode(bool on);

    Form1 *form = nullptr;
};

void TestForm1::init()
{
    form = new Form1;
    form->show();
    QApplication::setActiveWindow(form);
    QVERIFY(QTest::qWaitForWindowActive(form));
}

void TestForm1::cleanup()
{
    delete form;
    form = nullptr;
}

// Sends one key press and release to the widget that has the focus, as the
// window system would.
void TestForm1::press(const QString &text, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::sendKeyEvent(QTest::Press, target, key, text, modifiers);
    QTest::sendKeyEvent(QTest::Release, target, key, text, modifiers);
}

void TestForm1::setSerialMode(bool on)
{
    auto *check = control<QCheckBox>("Check1");
    if (check->isChecked() != on)
        QTest::mouseClick(check, Qt::LeftButton);
    QCOMPARE(check->isChecked(), on);
}

void TestForm1::design_data()
{
    // Pixels at 96 DPI: twips / 15, rounded.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("Check1") << "Check1"
                            << "интерфейс RS-232" << QRect(8, 8, 121, 17) << true;
    QTest::newRow("Shape1") << "Shape1"
                            << "" << QRect(136, 8, 57, 17) << true;
    QTest::newRow("Label1") << "Label1"
                            << "COM" << QRect(8, 32, 25, 17) << true;
    QTest::newRow("txtPort") << "txtPort"
                             << "1" << QRect(40, 32, 17, 19) << false;
    QTest::newRow("Label2") << "Label2"
                            << "скор." << QRect(64, 32, 33, 17) << true;
    QTest::newRow("txtBod") << "txtBod"
                            << "9600" << QRect(104, 32, 41, 19) << false;
    QTest::newRow("Label3") << "Label3"
                            << ",N,8,1" << QRect(152, 32, 33, 17) << true;
    QTest::newRow("CmdOpen") << "CmdOpen"
                             << "Открыть порт" << QRect(8, 56, 89, 25) << false;
    QTest::newRow("CmdClose") << "CmdClose"
                              << "Закрыть порт" << QRect(104, 56, 89, 25) << false;
    QTest::newRow("txtSkaner") << "txtSkaner"
                               << "" << QRect(8, 88, 161, 25) << true;
    QTest::newRow("CmdClear") << "CmdClear"
                              << "X" << QRect(168, 88, 25, 25) << true;
    QTest::newRow("List1") << "List1"
                           << "" << QRect(8, 112, 185, 276) << true;
}

void TestForm1::design()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(bool, enabled);

    auto *widget = control(name.toLatin1().constData());
    QCOMPARE(widget->parentWidget(), form);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->isEnabled(), enabled);
    QVERIFY(widget->isVisible());

    QString shown;
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        shown = button->text();
        if (auto *push = qobject_cast<QPushButton *>(widget))
            QVERIFY(!push->autoDefault() && !push->isDefault());
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        shown = label->text();
    } else if (auto *box = qobject_cast<QLineEdit *>(widget)) {
        shown = box->text();
        // No length limit of its own: a long scan is never cut.
        QCOMPARE(box->maxLength(), std::numeric_limits<int>::max());
    }
    QCOMPARE(shown, text);
}

void TestForm1::startState()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Orvatek"));
    QCOMPARE(form->size(), QSize(200, 396));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(!form->windowIcon().isNull());
    QCOMPARE(form->windowIcon().availableSizes().value(0), QSize(32, 32));

    QCOMPARE(control<Indicator>("Shape1")->FillColor(), Form1::Red);
    QVERIFY(!control<QCheckBox>("Check1")->isChecked());
    QCOMPARE(control<EventLog>("List1")->count(), 0);
    QCOMPARE(QApplication::focusWidget(), control("txtSkaner"));

    const QFont scan = control("txtSkaner")->font();
    QCOMPARE(scan.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(scan.pointSizeF(), 12.0);
    QCOMPARE(control("List1")->font().pointSizeF(), 9.75);
}

void TestForm1::modeSwitch()
{
    const char *portControls[] = { "CmdOpen", "CmdClose", "txtPort", "txtBod" };
    auto *check = control<QCheckBox>("Check1");
    check->setFocus();

    setSerialMode(true);
    for (const char *name : portControls)
        QVERIFY2(control(name)->isEnabled(), name);
    QCOMPARE(QApplication::focusWidget(), check); // checking moves no focus

    setSerialMode(false);
    for (const char *name : portControls)
        QVERIFY2(!control(name)->isEnabled(), name);
    QCOMPARE(QApplication::focusWidget(), control("txtSkaner"));

    // The space bar toggles the box like a click does.
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
    QVERIFY(check->isChecked());
    QVERIFY(control("CmdOpen")->isEnabled());
}

void TestForm1::keyLogged_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("code");

    QTest::newRow("digit") << "1" << Qt::Key_1 << 49;
    QTest::newRow("lower latin") << "z" << Qt::Key_Z << 122;
    QTest::newRow("А") << "А" << Qt::Key_unknown << 192;
    QTest::newRow("Я") << "Я" << Qt::Key_unknown << 223;
    QTest::newRow("а") << "а" << Qt::Key_unknown << 224;
    QTest::newRow("я") << "я" << Qt::Key_unknown << 255;
    QTest::newRow("Ё") << "Ё" << Qt::Key_unknown << 168;
    QTest::newRow("ё") << "ё" << Qt::Key_unknown << 184;
    QTest::newRow("euro sign") << "€" << Qt::Key_unknown << 136;
    QTest::newRow("not in the code page") << "中" << Qt::Key_unknown << 63;
    QTest::newRow("outside the BMP") << QString::fromUtf8("😀") << Qt::Key_unknown << 63;
    QTest::newRow("Enter") << "\r" << Qt::Key_Return << 13;
    QTest::newRow("Backspace") << "\b" << Qt::Key_Backspace << 8;
    QTest::newRow("Escape") << "\x1b" << Qt::Key_Escape << 27;
    QTest::newRow("Ctrl+B") << "\x02" << Qt::Key_B << 2;
}

void TestForm1::keyLogged()
{
    QFETCH(QString, text);
    QFETCH(Qt::Key, key);
    QFETCH(int, code);

    auto *log = control<EventLog>("List1");
    const auto modifiers = key == Qt::Key_B ? Qt::ControlModifier : Qt::NoModifier;
    press(text, key, modifiers);
    QCOMPARE(log->items(), QStringList { QStringLiteral("KeyAscii=%1").arg(code) });

    // In serial mode the same key reaches the control but is not logged.
    setSerialMode(true);
    control("txtSkaner")->setFocus();
    log->Clear();
    press(text, key, modifiers);
    QCOMPARE(log->count(), 0);
}

void TestForm1::keyLoggedOnceWhicheverFocus_data()
{
    QTest::addColumn<QString>("focus");
    for (const char *name : { "txtSkaner", "List1", "Check1", "CmdClear", "txtPort" })
        QTest::newRow(name) << name;
}

void TestForm1::keyLoggedOnceWhicheverFocus()
{
    QFETCH(QString, focus);
    // The port box takes the focus only while enabled: enable it by hand, the
    // form stays in keyboard mode.
    auto *widget = control(focus.toLatin1().constData());
    widget->setEnabled(true);
    widget->setFocus();
    QCOMPARE(QApplication::focusWidget(), widget);

    // A letter that no control accepts travels up to the form: still one line.
    press(QStringLiteral("q"), Qt::Key_Q);
    QCOMPARE(control<EventLog>("List1")->items(), QStringList { "KeyAscii=113" });
}

void TestForm1::keyWithoutTextNotLogged()
{
    for (Qt::Key key : { Qt::Key_Left, Qt::Key_F5, Qt::Key_Shift, Qt::Key_Delete })
        press(QString(), key);
    QCOMPARE(control<EventLog>("List1")->count(), 0);
}

void TestForm1::enterInScanBox()
{
    auto *scan = control<QLineEdit>("txtSkaner");
    press("1", Qt::Key_1);
    press("2", Qt::Key_2);
    press("\r", Qt::Key_Return);
    QCOMPARE(control<EventLog>("List1")->items(),
        (QStringList { "KeyAscii=49", "KeyAscii=50", "KeyAscii=13" }));
    // Enter inserts nothing and clicks no button ("X" would have emptied both).
    QCOMPARE(scan->text(), QStringLiteral("12"));
    QCOMPARE(QApplication::focusWidget(), scan);
}

void TestForm1::tabOrder_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("keyboard mode")
        << false << QStringList { "List1", "Check1", "CmdClear", "txtSkaner" };
    QTest::newRow("serial mode") << true
                                 << QStringList { "List1", "Check1", "CmdClear", "txtPort",
                                        "txtBod", "CmdOpen", "CmdClose", "txtSkaner" };
}

void TestForm1::tabOrder()
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

void TestForm1::clear_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("keyboard mode") << false;
    QTest::newRow("serial mode") << true;
}

void TestForm1::clear()
{
    QFETCH(bool, serial);
    auto *scan = control<QLineEdit>("txtSkaner");
    auto *log = control<EventLog>("List1");
    press("7", Qt::Key_7);
    log->AddItem(QStringLiteral("0123"));
    setSerialMode(serial);

    QTest::mouseClick(control("CmdClear"), Qt::LeftButton);
    QCOMPARE(log->count(), 0);
    QCOMPARE(scan->text(), QString());
    QCOMPARE(QApplication::focusWidget(), scan);
    QCOMPARE(control<Indicator>("Shape1")->FillColor(), Form1::Red);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
