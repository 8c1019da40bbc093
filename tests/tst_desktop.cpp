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

    static QString accessible(QWidget *widget, QAccessible::Text text = QAccessible::Name)
    {
        return QAccessible::queryAccessibleInterface(widget)->text(text);
    }

private slots:
    void qtTextsRussian()
    {
        QString why;
        QVERIFY2(installQtTranslations(&why), qPrintable(why));
        QMessageBox box(QMessageBox::Critical, "COM", "x", QMessageBox::Ok | QMessageBox::Cancel);
        QLineEdit edit("1");
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts { box.button(QMessageBox::Cancel)->text() };
        for (const QAction *action : menu->actions())
            texts << action->text();
        QVERIFY(texts.size() > 5); // a button and a menu full of entries
        for (QString text : texts) {
            // Only the caption counts, not the key sequence after the tab. Qt's Russian
            // catalogue writes "OK" in Latin letters, as Russian interfaces do.
            text = text.section('\t', 0, 0).remove('&').remove(QRegularExpression("\\bOK\\b"));
            QVERIFY2(!text.contains(QRegularExpression("[A-Za-z]")), qPrintable(text));
        }
    }

    void controls()
    {
        Form1 form;
        // Every control has a name for screen readers; the indicator tells the port's state.
        for (QWidget *widget : form.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(!accessible(widget).isEmpty(), qPrintable(widget->objectName()));
        auto *shape = form.findChild<Indicator *>("Shape1");
        shape->setFillColor(Form1::Green);
        QCOMPARE(accessible(shape, QAccessible::Description), "Порт открыт");
        shape->setFillColor(Form1::Red);
        QCOMPARE(accessible(shape, QAccessible::Description), "Порт закрыт");

        // Captions fit their controls in the font the form gets.
        for (const QLabel *label : form.findChildren<QLabel *>())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text())
                    <= label->contentsRect().width(),
                qPrintable(label->text() + " in " + label->fontInfo().family()));
        for (QAbstractButton *button : form.findChildren<QAbstractButton *>()) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const auto contents = qobject_cast<QCheckBox *>(button) ? QStyle::SE_CheckBoxContents
                                                                    : QStyle::SE_PushButtonContents;
            const QRect room = button->style()->subElementRect(contents, &option, button);
            QVERIFY2(button->fontMetrics().horizontalAdvance(option.text) <= room.width(),
                qPrintable(option.text + " in " + button->fontInfo().family()));
        }
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
