#include "eventlog.h"
#include "lineselection.h"
#include "main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

using Rows = QList<qsizetype>;
using Clicks = QList<std::pair<qsizetype, Qt::KeyboardModifiers>>;

class TestEventLog : public QObject
{
    Q_OBJECT

private:
    // A log the size of the form's, shown, with the given number of lines "line N".
    std::unique_ptr<EventLog> shownLog(int lines)
    {
        auto log = std::make_unique<EventLog>();
        log->resize(185, 276);
        for (int i = 0; i < lines; ++i)
            log->AddItem(QStringLiteral("line %1").arg(i));
        log->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(log.get())); }();
        return log;
    }

    static void clickRow(EventLog *log, qsizetype row, Qt::KeyboardModifiers modifiers = {})
    {
        log->verticalScrollBar()->setValue(int(std::max<qsizetype>(0, row - 2)));
        QTest::mouseClick(log->viewport(), Qt::LeftButton, modifiers, log->rowRect(row).center());
    }

    static Rows selectedRows(const EventLog *log)
    {
        Rows rows;
        for (qsizetype row = 0; row < log->count(); ++row) {
            if (log->isSelected(row))
                rows.append(row);
        }
        return rows;
    }

private slots:
    void readBack_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<qsizetype>("characterLines");
        QTest::newRow("character lines")
            << QStringList { "KeyAscii=0", "KeyAscii=13", "KeyAscii=255" } << qsizetype(3);
        // Texts close to a character line must come back exactly as added.
        QTest::newRow("near misses") << QStringList { "KeyAscii=256", "KeyAscii=07", "KeyAscii=-1",
            "KeyAscii=", "keyascii=5", "KeyAscii=5 ", "KeyAscii=1000" }
                                     << qsizetype(0);
        QTest::newRow("scan lines between") << QStringList { "KeyAscii=48", "", "01AF",
            "KeyAscii=13", "", QString(70000, u'F'), "KeyAscii=49" }
                                            << qsizetype(3);
        QTest::newRow("cyrillic") << QStringList { "Открыть порт", "KeyAscii=192" } << qsizetype(1);
    }
    void readBack()
    {
        QFETCH(QStringList, lines);
        QFETCH(qsizetype, characterLines);
        EventLog log;
        for (const QString &line : lines)
            log.AddItem(line);
        QCOMPARE(log.count(), lines.size());
        QCOMPARE(log.characterLineCount(), characterLines);
        QCOMPARE(log.items(), lines);
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(log.item(i), lines.at(i));
        QCOMPARE(log.item(-1), QString());
        QCOMPARE(log.item(lines.size()), QString());
    }

    void appendsKeepScrollAndSelection_data()
    {
        QTest::addColumn<int>("top");
        QTest::newRow("at the top") << 0;
        QTest::newRow("in the middle") << 120;
        QTest::newRow("at the bottom") << -1;
    }
    void appendsKeepScrollAndSelection()
    {
        QFETCH(int, top);
        auto log = shownLog(300);
        clickRow(log.get(), 130);
        clickRow(log.get(), 140, Qt::ShiftModifier);
        QScrollBar *bar = log->verticalScrollBar();
        bar->setValue(top < 0 ? bar->maximum() : top);
        const int before = bar->value();
        for (int i = 0; i < 70000; ++i)
            log->AddItem(QStringLiteral("KeyAscii=%1").arg(i % 256));
        QCoreApplication::processEvents();
        log->Refresh();
        QCOMPARE(bar->value(), before);
        QCOMPARE(
            bar->maximum(), log->count() - log->viewport()->height() / log->rowRect(0).height());
        QCOMPARE(log->selectedCount(), 11);
        QVERIFY(log->isSelected(130) && log->isSelected(140));
        QCOMPARE(log->currentRow(), 140);
    }

    void keyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("pages");
        QTest::addColumn<qsizetype>("lines");
        QTest::addColumn<Rows>("selected"); // first and last, -1 standing for the new current line
        const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier);
        // The current line starts at 50 of 1000 lines; it moves by pages and lines.
        QTest::newRow("down") << int(Qt::Key_Down) << none << 0 << qsizetype(1) << Rows { -1, -1 };
        QTest::newRow("up") << int(Qt::Key_Up) << none << 0 << qsizetype(-1) << Rows { -1, -1 };
        QTest::newRow("page down")
            << int(Qt::Key_PageDown) << none << 1 << qsizetype(0) << Rows { -1, -1 };
        QTest::newRow("page up") << int(Qt::Key_PageUp) << none << -1 << qsizetype(0)
                                 << Rows { -1, -1 };
        QTest::newRow("home") << int(Qt::Key_Home) << none << 0 << qsizetype(-50)
                              << Rows { -1, -1 };
        QTest::newRow("end") << int(Qt::Key_End) << none << 0 << qsizetype(949) << Rows { -1, -1 };
        QTest::newRow("shift down")
            << int(Qt::Key_Down) << shift << 0 << qsizetype(1) << Rows { 50, -1 };
        QTest::newRow("shift page up")
            << int(Qt::Key_PageUp) << shift << -1 << qsizetype(0) << Rows { -1, 50 };
        QTest::newRow("ctrl down moves only")
            << int(Qt::Key_Down) << ctrl << 0 << qsizetype(1) << Rows { 50, 50 };
    }
    void keyboard()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, pages);
        QFETCH(qsizetype, lines);
        QFETCH(Rows, selected);
        auto log = shownLog(1000);
        clickRow(log.get(), 50);
        const qsizetype current
            = 50 + lines + pages * (log->viewport()->height() / log->rowRect(0).height());
        QTest::keyClick(log.get(), Qt::Key(key), modifiers);
        QCOMPARE(log->currentRow(), current);
        const qsizetype first = selected[0] < 0 ? current : selected[0];
        const qsizetype last = selected[1] < 0 ? current : selected[1];
        Rows expected;
        for (qsizetype row = std::min(first, last); row <= std::max(first, last); ++row)
            expected.append(row);
        QCOMPARE(selectedRows(log.get()), expected);
        // The current line is scrolled into view.
        QVERIFY(log->viewport()->rect().contains(log->rowRect(current)));
    }

    void mouseSelectionAndCopy_data()
    {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<Rows>("selected");
        const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier);
        QTest::newRow("one") << Clicks { { 3, none } } << Rows { 3 };
        QTest::newRow("another replaces") << Clicks { { 3, none }, { 5, none } } << Rows { 5 };
        QTest::newRow("shift range") << Clicks { { 3, none }, { 6, shift } } << Rows { 3, 4, 5, 6 };
        QTest::newRow("shift range upwards")
            << Clicks { { 6, none }, { 4, shift } } << Rows { 4, 5, 6 };
        QTest::newRow("ctrl adds") << Clicks { { 3, none }, { 8, ctrl } } << Rows { 3, 8 };
        QTest::newRow("ctrl removes")
            << Clicks { { 3, none }, { 6, shift }, { 4, ctrl } } << Rows { 3, 5, 6 };
        QTest::newRow("far apart") << Clicks { { 2, none }, { 900, ctrl } } << Rows { 2, 900 };
    }
    void mouseSelectionAndCopy()
    {
        QFETCH(Clicks, clicks);
        QFETCH(Rows, selected);
        auto log = shownLog(1000);
        for (const auto &[row, modifiers] : clicks)
            clickRow(log.get(), row, modifiers);
        QCOMPARE(selectedRows(log.get()), selected);
        QStringList expected;
        for (qsizetype row : selected)
            expected.append(log->item(row));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(log.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected.join(u'\n'));
    }

    void wheelScrollsThreeLinesANotch()
    {
        auto log = shownLog(1000);
        const QPointF at = log->viewport()->rect().center();
        QWheelEvent down(at, log->viewport()->mapToGlobal(at), {}, { 0, -120 }, Qt::NoButton, {},
            Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(log->viewport(), &down);
        QCOMPARE(log->topRow(), QApplication::wheelScrollLines());
        QCOMPARE(log->rowAt(0), QApplication::wheelScrollLines());
    }

    // Lines scrolled into view are drawn exactly as the same lines at the top of a log.
    void scrolledLinesPaintAsAtTheTop()
    {
        auto scrolled = shownLog(0);
        auto top = shownLog(0);
        for (int i = 0; i < 2000; ++i) {
            const QString line = i % 7 == 0
                ? QStringLiteral("%1").arg(i, 6, 16, QLatin1Char('0')).toUpper()
                : QStringLiteral("KeyAscii=%1").arg(i % 256);
            scrolled->AddItem(line);
            if (i >= 1500)
                top->AddItem(line);
        }
        scrolled->Refresh();
        scrolled->verticalScrollBar()->setValue(1500);
        top->Refresh();
        const QImage image = scrolled->viewport()->grab().toImage();
        QCOMPARE(image, top->viewport()->grab().toImage());
        top->Clear();
        QVERIFY(image != top->viewport()->grab().toImage());
    }

    void clearEmptiesEverything()
    {
        auto log = shownLog(500);
        clickRow(log.get(), 300);
        log->Clear();
        QCOMPARE(log->count(), 0);
        QCOMPARE(log->characterLineCount(), 0);
        QCOMPARE(log->items(), QStringList());
        QCOMPARE(log->selectedCount(), 0);
        QCOMPARE(log->currentRow(), -1);
        QCOMPARE(log->topRow(), 0);
        QCOMPARE(log->verticalScrollBar()->maximum(), 0);
        log->AddItem(QStringLiteral("KeyAscii=49"));
        QCOMPARE(log->items(), QStringList { "KeyAscii=49" });
    }

    // Ctrl+A and Ctrl+C act in the log and are still logged as the keys they type.
    void copyKeysAreLogged()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *scanBox = form.findChild<QLineEdit *>(QStringLiteral("txtSkaner"));
        auto *log = form.findChild<EventLog *>(QStringLiteral("List1"));
        QTest::keyClicks(scanBox, QStringLiteral("12"));
        log->setFocus();
        QTest::sendKeyEvent(QTest::Click, log, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
        QTest::sendKeyEvent(QTest::Click, log, Qt::Key_C, QString(QChar(3)), Qt::ControlModifier);
        QCOMPARE(log->items(),
            (QStringList { "KeyAscii=49", "KeyAscii=50", "KeyAscii=1", "KeyAscii=3" }));
        QCOMPARE(QGuiApplication::clipboard()->text(),
            QStringLiteral("KeyAscii=49\nKeyAscii=50\nKeyAscii=1"));
    }

    void contextMenuCopies()
    {
        auto log = shownLog(20);
        clickRow(log.get(), 2);
        clickRow(log.get(), 3, Qt::ShiftModifier);
        QGuiApplication::clipboard()->clear();
        bool triggered = false;
        QTimer::singleShot(0, this, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QCOMPARE(menu->actions().size(), 1);
            QCOMPARE(menu->actions().first()->text(), QStringLiteral("Копировать"));
            menu->actions().first()->trigger();
            menu->close();
            triggered = true;
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, log->rowRect(3).center(),
            log->viewport()->mapToGlobal(log->rowRect(3).center()));
        QCoreApplication::sendEvent(log->viewport(), &event);
        QVERIFY(triggered);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 2\nline 3"));
    }

    void accessibleLines()
    {
        auto log = shownLog(100);
        clickRow(log.get(), 40);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(log.get());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), 100);
        QAccessibleInterface *item = list->child(40);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("line 40"));
        QVERIFY(item->state().selected);
        QVERIFY(!list->child(41)->state().selected);
        QCOMPARE(list->indexOfChild(item), 40);
        QCOMPARE(list->childAt(item->rect().center().x(), item->rect().center().y()), item);
        log->Clear();
        QVERIFY(!item->isValid());
        QCOMPARE(list->childCount(), 0);
    }

    void selectionRanges_data()
    {
        QTest::addColumn<QList<qsizetype>>("ops"); // triples: 1 select / 0 deselect, first, last
        QTest::addColumn<QList<qsizetype>>("ranges");
        QTest::newRow("adjacent merge")
            << QList<qsizetype> { 1, 0, 2, 1, 3, 5 } << QList<qsizetype> { 0, 5 };
        QTest::newRow("bridge") << QList<qsizetype> { 1, 0, 1, 1, 5, 6, 1, 2, 4 }
                                << QList<qsizetype> { 0, 6 };
        QTest::newRow("apart") << QList<qsizetype> { 1, 8, 9, 1, 0, 1 }
                               << QList<qsizetype> { 0, 1, 8, 9 };
        QTest::newRow("hole") << QList<qsizetype> { 1, 0, 9, 0, 3, 4 }
                              << QList<qsizetype> { 0, 2, 5, 9 };
        QTest::newRow("across two")
            << QList<qsizetype> { 1, 0, 3, 1, 6, 9, 0, 2, 7 } << QList<qsizetype> { 0, 1, 8, 9 };
        QTest::newRow("reversed") << QList<qsizetype> { 1, 5, 2 } << QList<qsizetype> { 2, 5 };
    }
    void selectionRanges()
    {
        QFETCH(QList<qsizetype>, ops);
        QFETCH(QList<qsizetype>, ranges);
        LineSelection selection;
        for (qsizetype i = 0; i + 2 < ops.size(); i += 3)
            ops[i] ? selection.select(ops[i + 1], ops[i + 2])
                   : selection.deselect(ops[i + 1], ops[i + 2]);
        QList<qsizetype> got;
        for (const LineSelection::Range &range : selection.ranges())
            got << range.first << range.last;
        QCOMPARE(got, ranges);
    }
};

QTEST_MAIN(TestEventLog)
#include "tst_eventlog.moc"
