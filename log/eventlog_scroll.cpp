// The log's position. The top row is the log's own, a qsizetype, and so is the
// left edge in pixels; each scroll bar's int range stands for it exactly while it
// fits that range and in proportion beyond it, so that every line stays reachable
// at any count and every character at any length.

#include "log/eventlog.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

int EventLog::s_scrollLimit = INT_MAX;

namespace {

// A position from 0 to last as a bar's value, and back; an end of the bar is
// always an end of the range.
int toBar(qint64 position, qint64 last, int limit)
{
    if (last <= limit)
        return int(position);
    if (position <= 0 || position >= last)
        return position <= 0 ? 0 : limit;
    // Between the ends, never on them.
    const auto value = qint64(double(position) * limit / double(last));
    return int(std::clamp<qint64>(value, 1, limit - 1));
}

qint64 fromBar(int value, qint64 last, int limit)
{
    if (last <= limit)
        return value;
    if (value >= limit)
        return last;
    return std::min(last, qint64(double(value) * double(last) / limit));
}

} // namespace

void EventLog::scrollContentsBy(int dx, int dy)
{
    qsizetype rows = 0;
    qint64 pixels = 0;
    if (dy != 0 && !m_movingBar) {
        // The operator moved the bar: a drag, or a click on its ends.
        const qsizetype old = m_top;
        m_top = barRow(verticalScrollBar()->value());
        rows = old - m_top;
    }
    if (dx != 0 && !m_movingBar) {
        const qint64 old = m_left;
        m_left = fromBar(horizontalScrollBar()->value(), lastLeft(), s_scrollLimit);
        pixels = old - m_left;
    }
    shiftView(pixels, rows);
}

void EventLog::shiftView(qint64 dx, qsizetype rows)
{
    if (std::abs(rows) > pageRows() || std::abs(dx) >= viewport()->width())
        viewport()->update();
    else if (dx != 0 || rows != 0)
        viewport()->scroll(int(dx), int(rows) * m_rowHeight);
}

qint64 EventLog::lastLeft() const
{
    return std::max<qint64>(0, m_widths.widest() - viewport()->width());
}

void EventLog::wheelEvent(QWheelEvent *event)
{
    if (!wheelRows(event))
        QAbstractScrollArea::wheelEvent(event);
}

bool EventLog::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel over the bar itself turns rows too.
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel
        && wheelRows(static_cast<QWheelEvent *>(event)))
        return true;
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool EventLog::wheelRows(QWheelEvent *event)
{
    // While the bar counts rows, it scrolls as any list does; beyond, a unit of
    // the bar is many rows, and the wheel still turns rows: the system's number a
    // notch, a page with Ctrl or Shift.
    const QPoint delta = event->angleDelta();
    if (lastTop() <= s_scrollLimit || std::abs(delta.x()) > std::abs(delta.y())
        || (event->modifiers() & Qt::AltModifier))
        return false;
    m_wheelDelta += delta.y(); // as the bar takes it, "inverted" or not
    const int notches = m_wheelDelta / QWheelEvent::DefaultDeltasPerStep;
    m_wheelDelta -= notches * QWheelEvent::DefaultDeltasPerStep;
    const qsizetype perNotch = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)
        ? pageRows()
        : QApplication::wheelScrollLines();
    scrollToRow(m_top - notches * perNotch);
    event->accept();
    return true;
}

void EventLog::barAction(int action)
{
    // Steps move by rows however many rows a unit of the bar stands for. The bar
    // has already moved its slider; it is set back to where the row puts it.
    qsizetype rows = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        rows = 1;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        rows = -1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        rows = pageRows();
        break;
    case QAbstractSlider::SliderPageStepSub:
        rows = -pageRows();
        break;
    default:
        return; // a drag or a jump to an end: the bar's value says where
    }
    scrollToRow(m_top + rows);
    const QScopedValueRollback moving(m_movingBar, true);
    verticalScrollBar()->setValue(barValue(m_top));
}

void EventLog::scrollToRow(qsizetype top)
{
    if (m_scrollBarsPending)
        updateScrollBars();
    top = std::clamp<qsizetype>(top, 0, lastTop());
    const qsizetype rows = m_top - top;
    if (rows == 0)
        return;
    m_top = top;
    {
        const QScopedValueRollback moving(m_movingBar, true);
        verticalScrollBar()->setValue(barValue(top));
    }
    shiftView(0, rows);
}

qsizetype EventLog::lastTop() const
{
    return std::max<qsizetype>(0, m_lines.size() - pageRows());
}

int EventLog::barValue(qsizetype top) const
{
    return toBar(top, lastTop(), s_scrollLimit);
}

qsizetype EventLog::barRow(int value) const
{
    return fromBar(value, lastTop(), s_scrollLimit);
}

void EventLog::setScrollLimitForTesting(int limit)
{
    s_scrollLimit = std::max(1, limit);
}

void EventLog::updateScrollBars()
{
    m_scrollBarsPending = false;
    const qsizetype last = lastTop();
    if (m_top > last) {
        // Grown taller: the last page comes into view whole.
        m_top = last;
        viewport()->update();
    }
    {
        // As lines come, the same top row may stand at another place of the bar.
        const QScopedValueRollback moving(m_movingBar, true);
        verticalScrollBar()->setPageStep(pageRows());
        verticalScrollBar()->setRange(0, int(std::min<qsizetype>(last, s_scrollLimit)));
        verticalScrollBar()->setValue(barValue(m_top));
    }
    // Following new lines, the last page stays in view as they come.
    if (m_following && m_top != last)
        scrollToRow(last);
    const qint64 lastLeftPixel = lastLeft();
    if (m_left > lastLeftPixel) {
        m_left = lastLeftPixel;
        viewport()->update();
    }
    // Beyond the bar's range a unit of it is many pixels, and its steps with it.
    const QScopedValueRollback moving(m_movingBar, true);
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontalScrollBar()->setRange(0, int(std::min<qint64>(lastLeftPixel, s_scrollLimit)));
    horizontalScrollBar()->setValue(toBar(m_left, lastLeftPixel, s_scrollLimit));
}

int EventLog::pageRows() const
{
    return std::max(1, viewport()->height() / m_rowHeight);
}

void EventLog::ensureVisible(qsizetype row)
{
    if (m_scrollBarsPending)
        updateScrollBars();
    const int page = pageRows();
    if (row < m_top)
        scrollToRow(row);
    else if (row >= m_top + page)
        scrollToRow(row - page + 1);
}
