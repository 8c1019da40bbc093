#include "form/main_window.h"

#include "errors/runtimeerror.h"
#include "log/eventlog.h"
#include "testcodes/testcodeswindow.h"

#include <QAction>

// What the log's context menu offers beyond the log itself: the test codes, a
// window of their own that judges each read against the code it shows.
void Form1::addLogTools()
{
    auto *testCodes = new QAction(QStringLiteral("Тестовые коды…"), this);
    connect(testCodes, &QAction::triggered, this, &Form1::showTestCodes);
    List1->addMenuAction(testCodes);
}

void Form1::showTestCodes()
{
    untrapped([this] {
        if (!m_testCodes) {
            m_testCodes = new TestCodesWindow(this);
            // The verdict is made in the log's timer slot: what it throws stays here.
            connect(List1, &EventLog::readEnded, m_testCodes,
                [window = m_testCodes](
                    const QByteArray &codes, const QList<qint64> &micros, ReadMode mode) {
                    untrapped([&] { window->readArrived({ codes, micros, mode }); });
                });
            // Reads are told from now on; a window that was never opened costs nothing.
            List1->setReportingReads(true);
        }
        m_testCodes->show();
        m_testCodes->raise();
    });
}
