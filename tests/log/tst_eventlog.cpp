#include "form/main_window.h"
#include "log/eventlog.h"
#include "log/operatorselection.h"

#include <QtTest>
#include <QtWidgets>

using Ranges = QList<int>;

class TestEventLog : public QObject
{
    Q_OBJECT

    QStringList lines;
    std::unique_ptr<EventLog> log;

    QRect row(int at) { return log->rowRect(at); }

private slots:
    // The operator's steps in a log of 1000 lines, 10 to a page, the top row at 0: a key,
    // or a click on a row (1000: below the last line), with the modifiers held; Alt marks
    // a drag to the row, Meta a right click.
    void selection_data()
    {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<int>("current");
        QTest::addColumn<Ranges>("selected"); // first and last line of each range
        const int S = Qt::ShiftModifier, C = Qt::ControlModifier, D = Qt::AltModifier,
                  R = Qt::MetaModifier, Down = Qt::Key_Down, Space = Qt::Key_Space,
                  PgDn = Qt::Key_PageDown, PgUp = Qt::Key_PageUp;
        QTest::newRow("ctrl click") << QList { 3, S | 6, C | 4 } << 4 << Ranges { 3, 3, 5, 6 };
        QTest::newRow("click below") << QList { 3, 1000 } << 3 << Ranges {};
        QTest::newRow("drag") << QList { 5, D | 8, D | 2, C | D | 9 } << 2 << Ranges { 2, 5 };
        QTest::newRow("right click in") << QList { 3, S | 6, R | 4 } << 6 << Ranges { 3, 6 };
        QTest::newRow("right click out") << QList { 3, S | 6, R | 9 } << 9 << Ranges { 9, 9 };
        QTest::newRow("down from none") << QList { Down } << 0 << Ranges { 0, 0 };
        QTest::newRow("page down") << QList { 995, PgDn } << 999 << Ranges { 999, 999 };
        QTest::newRow("shift page up") << QList { 50, S | PgUp } << 40 << Ranges { 40, 50 };
        QTest::newRow("ctrl space") << QList { 50, C | Down, C | Space, C | Down, C | Space,
            C | Space } << 52 << Ranges { 50, 51 };
        QTest::newRow("ctrl shift home")
            << QList { 20, C | 9, C | S | Qt::Key_Home } << 0 << Ranges { 0, 9, 20, 20 };
    }
    void selection()
    {
        QFETCH(QList<int>, steps);
        OperatorSelection model;
        for (const int step : steps) {
            const auto with = Qt::KeyboardModifiers::fromInt(step & Qt::KeyboardModifierMask);
            const int what = step & ~Qt::KeyboardModifierMask, row = what < 1000 ? what : -1;
            if (what >= Qt::Key_Escape || what == Qt::Key_Space) // no row 32 in the table
                model.key(what, with, 1000, 0, 10);
            else if (with & Qt::AltModifier)
                model.drag(row, with, 1000);
            else
                (with & Qt::MetaModifier) ? model.rightClick(row) : model.click(row, with);
        }
        Ranges got;
        for (const LineSelection::Range &range : model.selection().ranges())
            got << int(range.first) << int(range.last);
        QTEST(int(model.current()), "current");
        QTEST(got, "selected");
    }

    // A log ten lines high of character lines, texts close to one, scans, a very long one:
    // all read back as added.
    void init()
    {
        const QStringList kinds { "KeyAscii=0", "KeyAscii=255", "KeyAscii=256", "KeyAscii=07",
            "KeyAscii=-1", "KeyAscii=", "keyascii=5", "KeyAscii=5 ", "", "01AF", "Открыть порт" };
        lines.clear();
        for (int i = 0; i < 1000; ++i)
            lines << (i % 5 ? kinds[i % kinds.size()] : QStringLiteral("KeyAscii=%1").arg(i % 256));
        lines[997] = QString(70000, u'F');
        log = std::make_unique<EventLog>();
        for (const QString &line : lines)
            log->AddItem(line);
        QCOMPARE(log->items(), lines);
        log->show();
        QVERIFY(QTest::qWaitForWindowExposed(log.get()));
        log->resize(185, log->height() - log->viewport()->height() + 10 * row(0).height());
    }

    // Clicks and keys reach their rows and keep the current line in view, appends at the
    // bottom move neither view nor selection, "Копировать" copies exactly the selected lines.
    void stepsCopyAndAppend()
    {
        log->verticalScrollBar()->setValue(128);
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, row(130).center());
        QTest::mouseClick(log->viewport(), Qt::LeftButton, Qt::ShiftModifier, row(133).center());
        QTest::keyClick(log.get(), Qt::Key_PageDown, Qt::ShiftModifier);
        QVERIFY(log->currentRow() == 143 && log->topRow() == 134);
        log->verticalScrollBar()->setValue(INT_MAX);
        const int top = log->topRow();
        for (int i = 0; i < 70000; ++i)
            log->AddCharacterLine(quint8(i));
        log->Refresh();
        QVERIFY(log->topRow() == top && log->verticalScrollBar()->maximum() == log->count() - 10);
        QVERIFY(log->currentRow() == 143 && log->selectedCount() == 14);
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

    // What screen readers see; lines scrolled into view paint as the same lines at the
    // top; clearing leaves nothing stale behind.
    void accessiblePaintAndClear()
    {
        log->verticalScrollBar()->setValue(500);
        const QImage scrolled = log->viewport()->grab().toImage();
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, row(504).center());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(log.get());
        QAccessibleInterface *item = list->child(504);
        QVERIFY(item->text(QAccessible::Name) == lines[504] && item->state().selected);
        const QAccessible::Id id = QAccessible::uniqueId(item);
        log->Clear();
        QVERIFY(!QAccessible::accessibleInterface(id) && list->childCount() == 0);
        QVERIFY(log->selectedCount() == 0);
        QVERIFY(log->currentRow() == -1 && log->topRow() == 0);
        for (const QString &line : lines.mid(500))
            log->AddItem(line);
        QCOMPARE(scrolled, log->viewport()->grab().toImage());
    }

    // "Показывать новые строки", off at start: on, lines arriving keep the last line in
    // view; off, the top row never moves; the selection stays either way.
    void follow_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }
    void follow()
    {
        QFETCH(bool, on);
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, row(3).center());
        QTimer::singleShot(0, this, [on] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            menu->close();
            QAction *follow = menu->actions().last();
            QVERIFY(follow->text() == "Показывать новые строки" && !follow->isChecked());
            if (on)
                follow->trigger();
        });
        QContextMenuEvent event(
            QContextMenuEvent::Mouse, {}, log->viewport()->mapToGlobal(QPoint()));
        QCoreApplication::sendEvent(log->viewport(), &event);
        for (int i = 0; i < 500; ++i) {
            log->AddCharacterLine(quint8(i));
            if (i % 100 == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        QCOMPARE(log->topRow(), on ? 1490 : 0);
        QVERIFY(log->currentRow() == 3 && log->selectedCount() == 1);
    }

    // Past the scroll bar's range (its limit set low here) every line stays in reach: the
    // bar's ends are the first and the last page and a drag lands in proportion; the wheel
    // and the bar's arrows then move by rows; End, Shift+End and accessibility reach the end.
    void pastTheScrollLimit_data()
    {
        QTest::addColumn<int>("barValue");
        QTest::addColumn<int>("top");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("middle") << 500 << 2495;
        QTest::newRow("last") << 1000 << 4990;
    }
    void pastTheScrollLimit()
    {
        QFETCH(int, barValue);
        QFETCH(int, top);
        EventLog::setScrollLimitForTesting(1000);
        const auto restore = qScopeGuard([] { EventLog::setScrollLimitForTesting(INT_MAX); });
        for (int i = 1000; i < 5000; ++i) {
            log->AddCharacterLine(quint8(i));
            lines << EventLines::characterLine(i & 0xFF);
        }
        log->Refresh();
        QScrollBar *bar = log->verticalScrollBar();
        QCOMPARE(bar->maximum(), 1000);
        bar->setSliderDown(true);
        bar->setSliderPosition(barValue);
        bar->setSliderDown(false);
        QCOMPARE(log->rowAt(0), top);
        QWheelEvent wheel({ 5, 5 }, log->viewport()->mapToGlobal(QPointF(5, 5)), {}, { 0, -120 },
            Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(log->viewport(), &wheel);
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(log->topRow(), std::min(top + QApplication::wheelScrollLines(), 4990) - 1);
        QTest::keyClick(log.get(), Qt::Key_Home);
        QTest::keyClick(log.get(), Qt::Key_End, Qt::ShiftModifier);
        QVERIFY(log->currentRow() == 4999 && log->topRow() == 4990 && bar->value() == 1000);
        QCOMPARE(log->selectedText(), lines.join(u'\n'));
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(log.get());
        QCOMPARE(list->child(list->childCount() - 1)->text(QAccessible::Name), lines.last());
    }
};

QTEST_MAIN(TestEventLog)
#include "tst_eventlog.moc"
