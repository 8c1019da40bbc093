#include "errors/runtimeerror.h"
#include "form/qttranslations.h"
#include "form/runtime.h"
#include "scanbox/scanbox.h"
#include "support/portform.h"

// How the program fits a Linux desktop: Qt's own texts in Russian, names for screen
// readers, captions that fit their controls in the fonts the form gets, and the report
// of an error that no handler traps.
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    // The report, with the error's number and description, ends the program: this program
    // runs itself again ("--raise") to raise one.
    void untrappedErrorEndsProgram()
    {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(), { "--raise" });
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitCode(), 70); // no signal has that number
        QCOMPARE(probe.readAllStandardOutput(), "Orvatek | Ошибка выполнения 6:\n\nПереполнение | icon 3\n");
        QVERIFY(QString::fromUtf8(probe.readAllStandardError()).contains("run-time error 6: Переполнение"));
    }

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
        // The scan box's own menu says exactly what a line edit's says.
        ScanBox scan;
        const std::unique_ptr<QMenu> scanMenu(scan.createStandardContextMenu());
        QStringList scanTexts { texts.first() };
        for (const QAction *action : scanMenu->actions())
            scanTexts << action->text().section('\t', 0, 0);
        QCOMPARE(scanTexts, texts);
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
        // The indicator tells the port's state; what it says once a port opens: tst_portshare.
        QCOMPARE(QAccessible::queryAccessibleInterface(form.findChild<QWidget *>("Shape1"))
                     ->text(QAccessible::Description),
            "Порт закрыт");
    }
};

int main(int argc, char *argv[])
{
    if (argc != 2 || qstrcmp(argv[1], "--raise") != 0) {
        QApplication app(argc, argv);
        TestDesktop test;
        return QTest::qExec(&test, argc, argv);
    }
    Runtime app(argc, argv);
    answerBoxes(&app, [](QMessageBox *box) {
        QTextStream(stdout) << box->windowTitle() << " | " << box->text() << " | icon " << int(box->icon()) << '\n';
    });
    // A handler with no trap of its own, reached through the application's event delivery.
    QTimer::singleShot(0, &app, [] { throw RuntimeError(RuntimeError::Overflow, "Переполнение"); });
    // A second one while the report is up leaves it up: the operator sees the first.
    QTimer::singleShot(0, &app, [] { throw RuntimeError(RuntimeError::Overflow, "Ещё одно"); });
    return app.exec();
}
#include "tst_desktop.moc"
