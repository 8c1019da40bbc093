#include "indicator.h"
#include "main_window.h"
#include "qttranslations.h"

#include <QtTest>
#include <QtWidgets>

// How the window fits a Linux desktop: Qt's own texts in Russian, names for
// screen readers, and captions that fit their controls in the fonts the form gets.
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    // Qt's own buttons and context menus in Russian (the key sequence after a tab aside).
    void qtTextsRussian()
    {
        QString why;
        QVERIFY2(installQtTranslations(&why), qPrintable(why));
        QMessageBox box(QMessageBox::Critical, "COM", "x", QMessageBox::Cancel);
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts { box.button(QMessageBox::Cancel)->text() };
        for (const QAction *action : menu->actions())
            texts << action->text().section('\t', 0, 0);
        QVERIFY2(texts.size() > 5 && !texts.join("").contains(QRegularExpression("[A-Za-z]")),
            qPrintable(texts.join('|')));
    }

    void controls()
    {
        Form1 form;
        // Every control has a name for screen readers, and every caption fits its control.
        for (QWidget *widget : form.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            const auto *a11y = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(!a11y->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
            QStyleOptionButton option;
            option.initFrom(widget);
            option.text = widget->property("text").toString();
            QRect room = widget->contentsRect();
            if (qobject_cast<QAbstractButton *>(widget))
                room = widget->style()->subElementRect(qobject_cast<QCheckBox *>(widget)
                        ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, widget);
            QVERIFY2(widget->fontMetrics().horizontalAdvance(option.text) <= room.width(),
                qPrintable(option.text + " in " + widget->fontInfo().family()));
        }
        // The indicator tells the port's state.
        auto *shape = form.findChild<Indicator *>("Shape1");
        for (const auto &[colour, state] :
            { std::pair(Form1::Green, "Порт открыт"), std::pair(Form1::Red, "Порт закрыт") }) {
            shape->setFillColor(colour);
            QCOMPARE(QAccessible::queryAccessibleInterface(shape)->text(QAccessible::Description), state);
        }
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
