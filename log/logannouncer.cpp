#include "log/logannouncer.h"

#include "errors/runtimeerror.h"
#include "log/eventlog.h"
#include "log/eventlogaccessible.h"

#include <QAccessible>

LogAnnouncer::LogAnnouncer(EventLog *log)
    : QObject(log)
    , m_log(log)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { untrapped([this] { announce(); }); });
}

void LogAnnouncer::added(qsizetype row)
{
    if (m_firstNew < 0)
        m_firstNew = row;
    // Not restarted by every line: the first line of a burst is told within an
    // interval, the rest with it.
    if (!m_timer.isActive() && QAccessible::isActive())
        m_timer.start();
}

void LogAnnouncer::cleared()
{
    m_timer.stop();
    m_firstNew = -1;
    if (auto *list
        = static_cast<EventLogAccessible *>(QAccessible::queryAccessibleInterface(m_log)))
        list->dropItems();
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent reset(m_log, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
    // AT-SPI takes no model events; a reorder makes it read the (now no) children.
    QAccessibleEvent reorder(m_log, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
}

void LogAnnouncer::announce()
{
    const qsizetype first = m_firstNew;
    m_firstNew = -1;
    const qsizetype last = m_log->count() - 1;
    if (first < 0 || first > last || !QAccessible::isActive())
        return;
    // Rows past what an int counts are told as the window of rows tools see.
    const int firstChild = EventLogAccessible::childIndex(m_log, first);
    const int lastChild = EventLogAccessible::childIndex(m_log, last);
    if (lastChild < 0)
        return;
    QAccessibleTableModelChangeEvent inserted(
        m_log, QAccessibleTableModelChangeEvent::RowsInserted);
    inserted.setFirstRow(firstChild >= 0 ? firstChild : 0);
    inserted.setLastRow(lastChild);
    QAccessible::updateAccessibility(&inserted);
    // What AT-SPI passes on: the newest line came, as a child added to the list.
    QAccessibleEvent created(m_log, QAccessible::ObjectCreated);
    created.setChild(lastChild);
    QAccessible::updateAccessibility(&created);
}
