#include "log/eventlogaccessible.h"

#include "log/eventlog.h"

#include <algorithm>

namespace {

constexpr qsizetype MaxItems = 4096;

} // namespace

EventLogAccessible::EventLogAccessible(EventLog *log)
    : QAccessibleWidget(log, QAccessible::List)
{
}

EventLogAccessible::~EventLogAccessible()
{
    dropItems();
}

void EventLogAccessible::dropItems() const
{
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
    m_children.clear();
}

QAccessibleInterface *EventLogAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String("EventLog") && object && object->isWidgetType())
        return new EventLogAccessible(static_cast<EventLog *>(object));
    return nullptr;
}

int EventLogAccessible::childIndex(EventLog *log, qsizetype row)
{
    if (!QAccessible::isActive())
        return -1;
    const auto *list
        = static_cast<EventLogAccessible *>(QAccessible::queryAccessibleInterface(log));
    const qsizetype index = row - list->firstRow();
    return index >= 0 && index < list->childCount() ? int(index) : -1;
}

EventLog *EventLogAccessible::log() const
{
    return static_cast<EventLog *>(widget());
}

int EventLogAccessible::childCount() const
{
    return int(std::min<qsizetype>(log()->count(), EventLog::scrollLimit()));
}

qsizetype EventLogAccessible::firstRow() const
{
    const qsizetype count = log()->count();
    const qsizetype limit = EventLog::scrollLimit();
    if (count <= limit)
        return m_first = 0;
    const qsizetype current = log()->currentRow();
    const qsizetype around = current >= 0 ? current : log()->topRow();
    if (around < m_first || around >= m_first + limit)
        m_first = around - limit / 2;
    return m_first = std::clamp<qsizetype>(m_first, 0, count - limit);
}

QAccessibleInterface *EventLogAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return rowItem(firstRow() + index);
}

QAccessibleInterface *EventLogAccessible::rowItem(qsizetype row) const
{
    // Children are kept by row, not by index: an index names another row once the
    // window of rows shown to tools moves.
    const qsizetype first = firstRow();
    if (row < first || row - first >= childCount())
        return nullptr;
    const auto cached = m_children.constFind(row);
    if (cached != m_children.cend())
        return QAccessible::accessibleInterface(*cached);
    // A tool that walks a long log would otherwise leave an item behind for every
    // line it passed: past a few thousand, the items made so far go (a tool that
    // still holds one finds it gone and asks again).
    if (m_children.size() >= MaxItems)
        dropItems();
    auto *item = new EventLogItemAccessible(log(), row);
    m_children.insert(row, QAccessible::registerAccessibleInterface(item));
    return item;
}

int EventLogAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *item = dynamic_cast<const EventLogItemAccessible *>(child);
    if (!item || !item->isValid() || item->parent() != this)
        return -1;
    const qsizetype index = item->row() - firstRow();
    return index >= 0 && index < childCount() ? int(index) : -1;
}

QAccessibleInterface *EventLogAccessible::childAt(int x, int y) const
{
    const QPoint inViewport = log()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!log()->viewport()->rect().contains(inViewport))
        return nullptr;
    return rowItem(log()->rowAt(inViewport.y()));
}

QAccessibleInterface *EventLogAccessible::focusChild() const
{
    return log()->hasFocus() ? rowItem(log()->currentRow()) : nullptr;
}

QAccessible::State EventLogAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiSelectable = true;
    state.extSelectable = true;
    return state;
}

EventLogItemAccessible::EventLogItemAccessible(EventLog *log, qsizetype row)
    : m_log(log)
    , m_row(row)
    , m_generation(log->generation())
{
}

bool EventLogItemAccessible::isValid() const
{
    return m_log && m_log->generation() == m_generation && m_row < m_log->count();
}

QWindow *EventLogItemAccessible::window() const
{
    return m_log ? m_log->window()->windowHandle() : nullptr;
}

QAccessibleInterface *EventLogItemAccessible::parent() const
{
    return m_log ? QAccessible::queryAccessibleInterface(m_log.data()) : nullptr;
}

QString EventLogItemAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    if (t == QAccessible::Name)
        return m_log->item(m_row);
    if (t == QAccessible::Description)
        return m_log->lineDetails(m_row);
    return {};
}

QRect EventLogItemAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect shown = m_log->rowRect(m_row).intersected(m_log->viewport()->rect());
    return QRect(m_log->viewport()->mapToGlobal(shown.topLeft()), shown.size());
}

QAccessible::State EventLogItemAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.selected = m_log->isSelected(m_row);
    state.focused = m_log->hasFocus() && m_log->currentRow() == m_row;
    state.offscreen = !m_log->rowRect(m_row).intersects(m_log->viewport()->rect());
    return state;
}
