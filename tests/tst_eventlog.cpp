#include "eventlog.h"
#include "main_window.h"

#include <QtTest>
#include <QtWidgets>

// The operator's steps: a key, a click on a row (the row as the key, modifiers held),
// a wheel notch down, 70,000 lines added, or "Копировать" from the context menu.
constexpr Qt::Key Wheel = Qt::Key_F33, Append = Qt::Key_F34, Menu = Qt::Key_F35;
static QKeyCombination click(int row, Qt::KeyboardModifiers modifiers = {})
{
    return QKeyCombination(modifiers, Qt::Key(row));
}

class TestEventLog : public QObject
{
    Q_OBJECT

    QStringList lines; // character lines, texts close to one, scans, a very long one
    std::unique_ptr<EventLog> log;

private slots:
    void initTestCase()
    {
        const QStringList kinds { "KeyAscii=0", "KeyAscii=255", "KeyAscii=256", "KeyAscii=07",
            "KeyAscii=-1", "KeyAscii=", "keyascii=5", "KeyAscii=5 ", "", "01AF", "Открыть порт" };
        for (int i = 0; i < 1000; ++i)
            lines << (i % 5 ? kinds[i % kinds.size()] : QStringLiteral("KeyAscii=%1").arg(i % 256));
        lines[997] = QString(70000, u'F');
    }
    // A log of those lines, ten lines high.
    void init()
    {
        log = std::make_unique<EventLog>();
        for (const QString &line : lines)
            log->AddItem(line);
        log->show();
        QVERIFY(QTest::qWaitForWindowExposed(log.get()));
        log->resize(185, log->height() - log->viewport()->height() + 10 * log->rowRect(0).height());
        QGuiApplication::clipboard()->clear();
    }

    void operatorActions_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("steps");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("selected"); // first and last line of each range
        const Qt::KeyboardModifiers shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier);
        const auto row
            = [](const char *name, QList<QKeyCombination> steps, int current, QList<int> selected) {
                  QTest::newRow(name) << steps << current << selected;
              };
        row("click replaces", { click(3), click(5) }, 5, { 5, 5 });
        row("shift click range", { click(3), click(6, shift), Menu }, 6, { 3, 6 });
        row("ctrl click adds", { click(2), click(900, ctrl) }, 900, { 2, 2, 900, 900 });
        row("ctrl click removes", { click(3), click(6, shift), click(4, ctrl), Menu }, 4,
            { 3, 3, 5, 6 });
        row("down", { click(50), Qt::Key_Down }, 51, { 51, 51 });
        row("up", { click(50), Qt::Key_Up }, 49, { 49, 49 });
        row("page down", { click(50), Qt::Key_PageDown }, 60, { 60, 60 });
        row("home", { click(50), Qt::Key_Home }, 0, { 0, 0 });
        row("end", { click(50), Qt::Key_End }, 999, { 999, 999 });
        row("shift down", { click(50), Qt::SHIFT | Qt::Key_Down }, 51, { 50, 51 });
        row("shift page up", { click(50), Qt::SHIFT | Qt::Key_PageUp }, 40, { 40, 50 });
        row("wheel", { click(50), Wheel }, 50, { 50, 50 });
        // Lines added never move the view, the selection or the current line.
        row("appends in the middle", { click(130), click(140, shift), Append }, 140, { 130, 140 });
        row("appends at the bottom", { click(990), click(999, shift), Append }, 999, { 990, 999 });
    }
    void operatorActions()
    {
        QFETCH(QList<QKeyCombination>, steps);
        QFETCH(int, current);
        QFETCH(QList<int>, selected);
        QScrollBar *bar = log->verticalScrollBar();
        for (const QKeyCombination step : steps) {
            const int top = bar->value();
            const QPoint at = log->viewport()->rect().center();
            if (step.key() == Wheel) {
                QWheelEvent down(at, log->viewport()->mapToGlobal(at), {}, { 0, -120 },
                    Qt::NoButton, {}, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(log->viewport(), &down);
                QCOMPARE(log->topRow(), top + 3);
            } else if (step.key() == Append) {
                for (int i = 0; i < 70000; ++i)
                    log->AddItem(QStringLiteral("KeyAscii=%1").arg(i % 256));
                log->Refresh();
                QVERIFY(log->topRow() == top && bar->maximum() == log->count() - 10);
            } else if (step.key() == Menu) {
                QTimer::singleShot(0, this, [] {
                    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                    QVERIFY(menu);
                    menu->close(); // ends its loop once this returns, whatever is checked here
                    QCOMPARE(menu->actions().size(), 1);
                    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Копировать"));
                    menu->actions().first()->trigger();
                });
                QContextMenuEvent event(
                    QContextMenuEvent::Mouse, at, log->viewport()->mapToGlobal(at));
                QCoreApplication::sendEvent(log->viewport(), &event);
            } else if (step.key() >= Qt::Key_Escape) {
                QTest::keyClick(log.get(), step.key(), step.keyboardModifiers());
                QVERIFY(current >= log->topRow() && current < log->topRow() + 10); // in view
            } else {
                bar->setValue(std::max(0, step.key() - 2));
                QTest::mouseClick(log->viewport(), Qt::LeftButton, step.keyboardModifiers(),
                    log->rowRect(step.key()).center());
            }
        }
        QCOMPARE(log->currentRow(), current);
        QStringList expected; // exactly these lines are copied, one a line
        for (qsizetype i = 0; i + 1 < selected.size(); i += 2)
            expected << lines.mid(selected[i], selected[i + 1] - selected[i] + 1);
        QCOMPARE(log->selectedCount(), expected.size());
        if (steps.last().key() != Menu)
            QTest::keyClick(log.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected.join(u'\n'));
    }

    // Ctrl+A and Ctrl+C act in the log and are still logged as the keys they type.
    void copyKeysAreLogged()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *formLog = form.findChild<EventLog *>(QStringLiteral("List1"));
        QTest::keyClicks(form.findChild<QWidget *>(QStringLiteral("txtSkaner")), "12");
        formLog->setFocus();
        QTest::sendKeyEvent(QTest::Click, formLog, Qt::Key_A, "\x01", Qt::ControlModifier);
        QTest::sendKeyEvent(QTest::Click, formLog, Qt::Key_C, "\x03", Qt::ControlModifier);
        QCOMPARE(formLog->items(),
            (QStringList { "KeyAscii=49", "KeyAscii=50", "KeyAscii=1", "KeyAscii=3" }));
        QCOMPARE(QGuiApplication::clipboard()->text(), "KeyAscii=49\nKeyAscii=50\nKeyAscii=1");
    }

    // Character lines are kept compactly and texts close to one whole: all read back
    // as added, also by accessibility tools, and lines scrolled into view paint as the
    // same lines at the top. Clearing leaves nothing stale behind.
    void readBackPaintAndClear()
    {
        QCOMPARE(log->items(), lines);
        for (qsizetype i : { -1, 0, 997, 999, 1000 })
            QCOMPARE(log->item(i), lines.value(i));
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
        QCOMPARE(log->characterLineCount(), 0);
        QVERIFY(log->selectedCount() == 0 && log->currentRow() == -1 && log->topRow() == 0);
        QCOMPARE(log->verticalScrollBar()->maximum(), 0);
        QVERIFY(scrolled != log->viewport()->grab().toImage());
        for (const QString &line : lines.mid(500))
            log->AddItem(line);
        QCOMPARE(scrolled, log->viewport()->grab().toImage());
    }
};

QTEST_MAIN(TestEventLog)
#include "tst_eventlog.moc"
