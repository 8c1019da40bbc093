#include "form/main_window.h"

#include "errors/runtimeerror.h"
#include "form/indicator.h"
#include "log/eventlog.h"
#include "serial/portfollower.h"
#include "testcodes/testcodeswindow.h"

#include <QAction>
#include <QMenu>

// What the log's context menu offers beyond the log itself: the test codes, a
// window of their own that judges each read against the code it shows.
void Form1::addLogTools()
{
    auto *testCodes = new QAction(QStringLiteral("Тестовые коды…"), this);
    connect(testCodes, &QAction::triggered, this, &Form1::showTestCodes);
    List1->addMenuAction(testCodes);
}

// What the indicator's context menu offers: to open the port again when its
// device comes back, off at every start.
void Form1::addPortTools()
{
    auto *follow = new QAction(QStringLiteral("Открыть снова, когда устройство вернётся"), Shape1);
    follow->setCheckable(true);
    connect(follow, &QAction::toggled, m_follower, &PortFollower::setFollowing);
    // The menu's entry is the menu's own and goes with it, mirroring the choice:
    // an action that outlived its menu would leave screen readers an entry whose
    // menu is gone (Qt's accessible menu item keeps a bare pointer to it).
    Shape1->addAction(follow);
    Shape1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Shape1, &QWidget::customContextMenuRequested, follow, [this, follow](const QPoint &at) {
        QMenu menu(Shape1);
        QAction *entry = menu.addAction(follow->text());
        entry->setCheckable(true);
        entry->setChecked(follow->isChecked());
        connect(entry, &QAction::toggled, follow, &QAction::setChecked);
        menu.exec(Shape1->mapToGlobal(at));
    });
}

void Form1::showTestCodes()
{
    untrapped([this] {
        if (!m_testCodes) {
            m_testCodes = new TestCodesWindow(this);
            // The verdict is made in the log's timer slot: what it throws stays here.
            connect(List1, &EventLog::readEnded, m_testCodes,
                [window = m_testCodes](const QByteArray &codes, const QList<qint64> &micros,
                    ReadMode mode, const QStringList &devices) {
                    untrapped([&] { window->readArrived({ codes, micros, mode, devices }); });
                });
            // Reads are told from now on; a window that was never opened costs nothing.
            List1->setReportingReads(true);
        }
        m_testCodes->show();
        m_testCodes->raise();
    });
}
