#include "indicator.h"
#include "main_window.h"
#include "qttranslations.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOption>
#include <QtTest>

#include <memory>

// How the window fits a Linux desktop: Qt's own texts in Russian, names for
// screen readers, and captions that fit their controls in the fonts the form gets.
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(installQtTranslations(&why), qPrintable(why));
    }

    void qtTextsRussian_data()
    {
        QTest::addColumn<QStringList>("texts");
        QMessageBox box(QMessageBox::Critical, QStringLiteral("COM"), QStringLiteral("x"),
            QMessageBox::Ok | QMessageBox::Cancel);
        QTest::newRow("message box buttons") << QStringList { box.button(QMessageBox::Ok)->text(),
            box.button(QMessageBox::Cancel)->text() };
        QLineEdit edit(QStringLiteral("1"));
        edit.selectAll();
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList items;
        for (QAction *action : menu->actions())
            if (!action->isSeparator())
                items << action->text();
        QTest::newRow("text box context menu") << items;
    }

    void qtTextsRussian()
    {
        QFETCH(QStringList, texts);
        QVERIFY(!texts.isEmpty());
        for (const QString &text : texts) {
            // Only the caption counts, not the key sequence after the tab. Qt's
            // Russian catalogue writes "OK" in Latin letters, as Russian interfaces do.
            QString caption = text.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
            caption.remove(QRegularExpression(QStringLiteral("\\bOK\\b")));
            QVERIFY2(!caption.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))),
                qPrintable(text));
        }
    }

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        const std::pair<const char *, const char *> rows[] = {
            { "Shape1", "Состояние порта" },
            { "txtPort", "COM" },
            { "txtBod", "скор." },
            { "txtSkaner", "Скан" },
            { "List1", "Журнал" },
        };
        for (const auto &[control, name] : rows)
            QTest::newRow(control) << QString::fromLatin1(control) << QString::fromUtf8(name);
    }

    void accessibleNames()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        Form1 form;
        auto *widget = form.findChild<QWidget *>(control);
        QVERIFY(widget);
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    }

    void everyControlHasAName()
    {
        Form1 form;
        for (QWidget *widget : form.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(
                !QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty(),
                qPrintable(widget->objectName()));
    }

    void indicatorDescribesPortState_data()
    {
        QTest::addColumn<QList<unsigned>>("colors");
        QTest::addColumn<QString>("description");
        QTest::newRow("at start") << QList<unsigned> {} << "Порт закрыт";
        QTest::newRow("opened") << QList<unsigned> { Form1::Green } << "Порт открыт";
        QTest::newRow("closed again")
            << QList<unsigned> { Form1::Green, Form1::Red } << "Порт закрыт";
    }

    void indicatorDescribesPortState()
    {
        QFETCH(QList<unsigned>, colors);
        QFETCH(QString, description);
        Form1 form;
        auto *shape = form.findChild<Indicator *>(QStringLiteral("Shape1"));
        for (unsigned color : colors)
            shape->setFillColor(color);
        QCOMPARE(QAccessible::queryAccessibleInterface(shape)->text(QAccessible::Description),
            description);
    }

    void captionsFit_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *name :
            { "Check1", "Label1", "Label2", "Label3", "CmdOpen", "CmdClose", "CmdClear" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void captionsFit()
    {
        QFETCH(QString, control);
        Form1 form;
        auto *widget = form.findChild<QWidget *>(control);
        QVERIFY(widget);
        QString text;
        int room = 0;
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            text = label->text();
            room = label->contentsRect().width();
        } else {
            auto *button = qobject_cast<QAbstractButton *>(widget);
            QVERIFY(button);
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text = button->text();
            const bool check = qobject_cast<QCheckBox *>(button);
            room = button->style()
                       ->subElementRect(
                           check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                           &option, button)
                       .width();
        }
        const int needed = widget->fontMetrics().horizontalAdvance(text);
        QVERIFY2(needed <= room,
            qPrintable(QStringLiteral("\"%1\" needs %2 px, has %3 px in %4")
                           .arg(text)
                           .arg(needed)
                           .arg(room)
                           .arg(QFontInfo(widget->font()).family())));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
