#include "scanbox/scanbox.h"

#include <QtTest>
#include <QtWidgets>

// The operator's keys; a key that is a printable character types it (Cyrillic too).
static void press(ScanBox *box, QKeyCombination key)
{
    const int code = key.key();
    const QString text = code == Qt::Key_Return      ? QStringLiteral("\r")
        : code == Qt::Key_Backspace                  ? QStringLiteral("\b")
        : code < 0x10000 && !key.keyboardModifiers() ? QString(QChar(code))
                                                     : QString();
    QTest::sendKeyEvent(QTest::Press, box, key.key(), text, key.keyboardModifiers());
}

class TestScanBox : public QObject
{
    Q_OBJECT

private slots:
    void operatorEditing_data()
    {
        QTest::addColumn<QString>("before"); // the caret at its end
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("selected");
        const Qt::Key zhe = Qt::Key(0x436), one = Qt::Key_1, two = Qt::Key_2;
        const Qt::KeyboardModifiers shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier);
        const auto row = [](const char *name, const char *before, QList<QKeyCombination> keys,
                             const QString &after, int cursor, const char *selected = "") {
            QTest::newRow(name) << QString(before) << keys << after << cursor << QString(selected);
        };
        row("type", "", { one, zhe, two }, "1ж2", 3);
        row("enter types nothing", "12", { Qt::Key_Return, Qt::Key_3 }, "123", 3);
        row("backspace", "123", { Qt::Key_Backspace, Qt::Key_Backspace }, "1", 1);
        row("home delete", "123", { Qt::Key_Home, Qt::Key_Delete, Qt::Key_Right, Qt::Key_Delete },
            "2", 1);
        row("shift right typed over", "1234",
            { Qt::Key_Home, shift | Qt::Key_Right, shift | Qt::Key_Right, zhe }, "ж34", 1);
        row("shift home", "1234", { Qt::Key_Left, shift | Qt::Key_Home }, "1234", 0, "123");
        row("shift end", "1234", { Qt::Key_Home, Qt::Key_Right, shift | Qt::Key_End }, "1234", 4,
            "234");
        row("copy, cut, paste", "12",
            { shift | Qt::Key_Home, ctrl | Qt::Key_C, Qt::Key_End, ctrl | Qt::Key_V,
                ctrl | Qt::Key_A, ctrl | Qt::Key_X, ctrl | Qt::Key_V },
            "1212", 4);
        row("undo", "12", { Qt::Key_3, Qt::Key_Backspace, Qt::Key_Backspace, ctrl | Qt::Key_Z },
            "12", 2);
    }
    void operatorEditing()
    {
        QFETCH(QString, before);
        QFETCH(QList<QKeyCombination>, keys);
        ScanBox box;
        box.show();
        box.setText(before);
        for (QKeyCombination key : keys)
            press(&box, key);
        QTEST(box.text(), "after");
        QTEST(box.cursorPosition(), "cursor");
        QTEST(box.selectedText(), "selected");
    }

    // The receive path's append goes after everything the box holds, however long,
    // wherever the operator left the caret, and leaves the caret after it.
    void longTextKeptWhole()
    {
        const QString digits = QString(1'000'000, u'7');
        ScanBox box;
        box.show();
        box.setText(digits);
        box.setSelection(10, 5);
        box.end(false);
        box.insert(QStringLiteral("0123456789AB"));
        QCOMPARE(box.text(), digits + QStringLiteral("0123456789AB"));
        QVERIFY(box.cursorPosition() == digits.size() + 12 && !box.hasSelectedText());

        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(accessible->textInterface() && accessible->role() == QAccessible::EditableText);
        QCOMPARE(accessible->textInterface()->characterCount(), digits.size() + 12);
        QCOMPARE(accessible->textInterface()->text(digits.size(), digits.size() + 2), "01");
    }
};

QTEST_MAIN(TestScanBox)
#include "tst_scanbox.moc"
