#include "eventlog.h"
#include "eventlogaccessible.h"
#include "main_window.h"
#include "operatorselection.h"

#include <QtTest>
#include <QtWidgets>

using Ranges = QList<int>;

class TestEventLog : public QObject
{
    Q_OBJECT

    QStringList lines;
    std::unique_ptr<EventLog> log;

private slots:
    // The operator's steps in a log of 1000 lines, 10 to a page, the top row at 0: a
    // click on a row ("below": under the last line) or a key, held with Shift (s) or
    // Ctrl (c); d marks a drag to the row, r a right click.
    void selection_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("current");
        QTest::addColumn<Ranges>("selected"); // first and last line of each range
        QTest::newRow("ctrl click") << "3 s6 c4" << 4 << Ranges { 3, 3, 5, 6 };
        QTest::newRow("click below") << "3 below" << 3 << Ranges {};
        QTest::newRow("drag") << "5 d8 d2 cd9" << 2 << Ranges { 2, 5 };
        QTest::newRow("right click") << "3 s6 r4 r9" << 9 << Ranges { 9, 9 };
        QTest::newRow("down from none") << "Down" << 0 << Ranges { 0, 0 };
        QTest::newRow("page down") << "995 PgDn" << 999 << Ranges { 999, 999 };
        QTest::newRow("shift page up") << "50 sPgUp" << 40 << Ranges { 40, 50 };
        QTest::newRow("ctrl space")
            << "50 cDown cSpace cDown cSpace cSpace" << 52 << Ranges { 50, 51 };
        QTest::newRow("ctrl shift home") << "20 c9 csHome" << 0 << Ranges { 0, 9, 20, 20 };
    }
    void selection()
    {
        QFETCH(QString, steps);
        const QHash<QString, int> keys { { "Down", Qt::Key_Down }, { "PgUp", Qt::Key_PageUp },
            { "PgDn", Qt::Key_PageDown }, { "Home", Qt::Key_Home }, { "Space", Qt::Key_Space } };
        OperatorSelection model;
        for (const QString &step : steps.split(u' ')) {
            const qsizetype held = step.indexOf(QRegularExpression("[A-Z0-9b]"));
            const QString how = step.left(held), what = step.mid(held);
            Qt::KeyboardModifiers with = how.contains(u'c') ? Qt::ControlModifier : Qt::NoModifier;
            with.setFlag(Qt::ShiftModifier, how.contains(u's'));
            const int row = what == "below" ? -1 : what.toInt();
            if (keys.contains(what))
                model.key(keys[what], with, 1000, 0, 10);
            else if (how.contains(u'd'))
                model.drag(row, with, 1000);
            else
                how.contains(u'r') ? model.rightClick(row) : model.click(row, with);
        }
        Ranges got;
        for (const LineSelection::Range &range : model.selection().ranges())
            got << int(range.first) << int(range.last);
        QTEST(int(model.current()), "current");
        QTEST(got, "selected");
    }

    // A log ten lines high of character lines, texts close to one, scans, a very long one.
    void init()
    {
        EventLogAccessible::install();
        const QStringList kinds { "KeyAscii=0", "KeyAscii=255", "KeyAscii=256", "KeyAscii=07",
            "KeyAscii=-1", "KeyAscii=", "keyascii=5", "KeyAscii=5 ", "", "01AF", "Открыть порт" };
        lines.clear();
        for (int i = 0; i < 1000; ++i)
            lines << (i % 5 ? kinds[i % kinds.size()] : QStringLiteral("KeyAscii=%1").arg(i % 256));
        lines[997] = QString(70000, u'F');
        log = std::make_unique<EventLog>();
        for (const QString &line : lines)
            log->AddItem(line);
        log->show();
        QVERIFY(QTest::qWaitForWindowExposed(log.get()));
        log->resize(185, log->height() - log->viewport()->height() + 10 * log->rowRect(0).height());
    }

    // Clicks and keys reach the rows they name and keep the current line in view;
    // "Копировать" copies exactly the selected lines; lines added, with the view in the
    // middle or at the bottom, move neither the view nor the selection.
    void stepsCopyAndAppend()
    {
        QScrollBar *bar = log->verticalScrollBar();
        bar->setValue(128);
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, log->rowRect(130).center());
        QTest::mouseClick(
            log->viewport(), Qt::LeftButton, Qt::ShiftModifier, log->rowRect(133).center());
        QTest::keyClick(log.get(), Qt::Key_PageDown, Qt::ShiftModifier);
        QVERIFY(log->currentRow() == 143 && log->topRow() == 134);
        for (const int top : { 134, INT_MAX }) {
            bar->setValue(top);
            const int at = bar->value();
            for (int i = 0; i < 70000; ++i)
                log->AddCharacterLine(quint8(i));
            log->Refresh();
            QVERIFY(log->topRow() == at && bar->maximum() == log->count() - 10);
            QVERIFY(log->currentRow() == 143 && log->selectedCount() == 14);
        }
        QTimer::singleShot(0, this, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            menu->close(); // ends its loop once this returns
            QCOMPARE(menu->actions().first()->text(), QStringLiteral("Копировать"));
            menu->actions().first()->trigger();
        });
        QContextMenuEvent event(
            QContextMenuEvent::Mouse, {}, log->viewport()->mapToGlobal(QPoint()));
        QCoreApplication::sendEvent(log->viewport(), &event);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines.mid(130, 14).join(u'\n'));
    }

    // Ctrl+A and Ctrl+C act in the log and are still logged as the keys they type.
    void copyKeysAreLogged()
    {
        Form1 form;
        form.show();
        auto *formLog = form.findChild<EventLog *>(QStringLiteral("List1"));
        QTest::keyClicks(form.findChild<QLineEdit *>(QStringLiteral("txtSkaner")), "12");
        formLog->setFocus();
        QTest::sendKeyEvent(QTest::Click, formLog, Qt::Key_A, "\x01", Qt::ControlModifier);
        QTest::sendKeyEvent(QTest::Click, formLog, Qt::Key_C, "\x03", Qt::ControlModifier);
        QCOMPARE(formLog->items(),
            (QStringList { "KeyAscii=49", "KeyAscii=50", "KeyAscii=1", "KeyAscii=3" }));
        QCOMPARE(QGuiApplication::clipboard()->text(), "KeyAscii=49\nKeyAscii=50\nKeyAscii=1");
    }

    // All lines read back as added, also by accessibility tools; lines scrolled into view
    // paint as the same lines at the top; clearing leaves nothing stale behind.
    void readBackPaintAndClear()
    {
        QCOMPARE(log->items(), lines);
        log->verticalScrollBar()->setValue(500);
        const QImage scrolled = log->viewport()->grab().toImage();
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, log->rowRect(504).center());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(log.get());
        QVERIFY(list->role() == QAccessible::List && list->childCount() == 1000);
        QAccessibleInterface *item = list->child(504);
        QVERIFY(item->role() == QAccessible::ListItem && list->indexOfChild(item) == 504);
        QCOMPARE(item->text(QAccessible::Name), lines[504]);
        QVERIFY(item->state().selected && !list->child(505)->state().selected);
        QCOMPARE(list->childAt(item->rect().center().x(), item->rect().center().y()), item);
        log->Clear();
        QVERIFY(!item->isValid() && list->childCount() == 0 && log->count() == 0);
        QVERIFY(log->selectedCount() == 0 && log->currentRow() == -1 && log->topRow() == 0);
        QVERIFY(scrolled != log->viewport()->grab().toImage());
        for (const QString &line : lines.mid(500))
            log->AddItem(line);
        QCOMPARE(scrolled, log->viewport()->grab().toImage());
    }
};

QTEST_MAIN(TestEventLog)
#include "tst_eventlog.moc"
