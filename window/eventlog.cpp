#include "eventlog.h"

#include "eventlogaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace {

void initItemOption(QStyleOptionViewItem *option, const QWidget *widget)
{
    option->initFrom(widget);
    option->state &= ~QStyle::State_HasFocus;
    option->font = widget->font();
    option->features = QStyleOptionViewItem::HasDisplay;
    option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option->textElideMode = Qt::ElideNone;
    option->viewItemPosition = QStyleOptionViewItem::OnlyOne;
    // A selected line is highlighted across the whole row, as in a list box.
    option->showDecorationSelected = true;
}

} // namespace

EventLog::EventLog(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    static const bool accessible = (QAccessible::installFactory(&EventLogAccessible::create), true);
    Q_UNUSED(accessible);

    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    updateMetrics();
    updateScrollBars();
}

EventLog::~EventLog() = default;

void EventLog::AddItem(const QString &item)
{
    const qsizetype row = m_lines.size();
    m_lines.append(item);
    m_widest = std::max(m_widest, m_lines.code(row) >= 0 ? m_characterLineWidth : textWidth(item));
    // Only the new line's place needs painting, and only while it is in view.
    if (row - topRow() <= pageRows())
        viewport()->update(rowRect(row));
    // The scroll bars follow once per turn of the event loop, not once per line.
    if (!m_scrollBarsPending) {
        m_scrollBarsPending = true;
        QMetaObject::invokeMethod(this, &EventLog::updateScrollBars, Qt::QueuedConnection);
    }
}

void EventLog::Clear()
{
    m_lines.clear();
    m_selection.clear();
    m_current = -1;
    m_anchor = -1;
    m_widest = 0;
    ++m_generation;
    updateScrollBars();
    viewport()->update();
}

void EventLog::Refresh()
{
    if (m_scrollBarsPending)
        updateScrollBars();
    viewport()->repaint();
}

qsizetype EventLog::count() const
{
    return m_lines.size();
}

qsizetype EventLog::characterLineCount() const
{
    return m_lines.size() - m_lines.otherLines().size();
}

QString EventLog::item(qsizetype index) const
{
    return m_lines.at(index);
}

QStringList EventLog::items() const
{
    QStringList all;
    all.reserve(m_lines.size());
    for (qsizetype row = 0; row < m_lines.size(); ++row)
        all.append(m_lines.at(row));
    return all;
}

bool EventLog::isSelected(qsizetype row) const
{
    return m_selection.contains(row);
}

qsizetype EventLog::selectedCount() const
{
    return m_selection.count();
}

void EventLog::selectAll()
{
    if (m_lines.size() == 0)
        return;
    m_selection.clear();
    m_selection.select(0, m_lines.size() - 1);
    selectionChanged();
}

QString EventLog::selectedText() const
{
    QString text;
    bool first = true;
    for (const LineSelection::Range &range : m_selection.ranges()) {
        for (qsizetype row = range.first; row <= range.last; ++row) {
            if (!first)
                text += u'\n';
            text += m_lines.at(row);
            first = false;
        }
    }
    return text;
}

void EventLog::copy()
{
    if (m_selection.isEmpty())
        return;
    try {
        QGuiApplication::clipboard()->setText(selectedText());
    } catch (const std::bad_alloc &) {
        // Millions of selected lines may not fit in memory as one text; the
        // clipboard keeps what it had and the log goes on.
        QApplication::beep();
    }
}

qsizetype EventLog::topRow() const
{
    return verticalScrollBar()->value();
}

qsizetype EventLog::rowAt(int y) const
{
    if (y < 0)
        return -1;
    const qsizetype row = topRow() + y / m_rowHeight;
    return row < m_lines.size() ? row : -1;
}

QRect EventLog::rowRect(qsizetype row) const
{
    // Lines far out of view get a place just outside it: their distance in pixels
    // could overflow.
    const qsizetype offset = std::clamp<qsizetype>(row - topRow(), -1, pageRows() + 1);
    const int x = -horizontalScrollBar()->value();
    return QRect(
        x, int(offset) * m_rowHeight, std::max(viewport()->width() - x, m_widest), m_rowHeight);
}

void EventLog::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const qsizetype first = topRow() + std::max(0, dirty.top()) / m_rowHeight;
    const qsizetype last = std::min(m_lines.size() - 1, topRow() + dirty.bottom() / m_rowHeight);
    QStyleOptionViewItem option;
    initItemOption(&option, this);
    const bool focused = hasFocus();
    for (qsizetype row = first; row <= last; ++row) {
        option.rect = rowRect(row);
        option.text = m_lines.at(row);
        option.state.setFlag(QStyle::State_Selected, m_selection.contains(row));
        option.state.setFlag(QStyle::State_HasFocus, focused && row == m_current);
        style()->drawControl(QStyle::CE_ItemViewItem, &option, &painter, this);
    }
}

void EventLog::keyPressEvent(QKeyEvent *event)
{
    // Copy and select-all are keys of the log itself, not shortcuts: a shortcut
    // would take the key press before the form's key preview sees it, and every
    // key that types a character must reach the log as a line of its own.
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const qsizetype last = m_lines.size() - 1;
    const qsizetype from = m_current >= 0 ? m_current : topRow();
    qsizetype to = from;
    switch (event->key()) {
    case Qt::Key_Up:
        to = m_current >= 0 ? from - 1 : from;
        break;
    case Qt::Key_Down:
        to = m_current >= 0 ? from + 1 : from;
        break;
    case Qt::Key_PageUp:
        to = from - pageRows();
        break;
    case Qt::Key_PageDown:
        to = from + pageRows();
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    case Qt::Key_Space:
        if (last < 0)
            return;
        if (event->modifiers() & Qt::ControlModifier) {
            m_selection.toggle(from);
            m_anchor = from;
            setCurrent(from);
            selectionChanged();
        } else {
            moveCurrent(from, event->modifiers());
        }
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (last >= 0)
        moveCurrent(std::clamp<qsizetype>(to, 0, last), event->modifiers());
}

void EventLog::mousePressEvent(QMouseEvent *event)
{
    const qsizetype row = rowAt(event->position().toPoint().y());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->button() == Qt::LeftButton) {
        if (row < 0) {
            // A click below the last line drops the selection, as in any list.
            if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier))
                && !m_selection.isEmpty()) {
                m_selection.clear();
                selectionChanged();
            }
        } else if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::ShiftModifier)) {
            m_selection.toggle(row);
            m_anchor = row;
            setCurrent(row);
            selectionChanged();
        } else {
            moveCurrent(row, modifiers);
        }
    } else if (event->button() == Qt::RightButton && row >= 0 && !m_selection.contains(row)) {
        // The context menu acts on the line under the mouse unless it is part of
        // the selection already.
        moveCurrent(row, Qt::NoModifier);
    }
}

void EventLog::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || (event->modifiers() & Qt::ControlModifier)
        || m_anchor < 0 || m_lines.size() == 0)
        return;
    // Dragging past either edge reaches the next line beyond it, so that the
    // view scrolls while the mouse moves there.
    const int y = event->position().toPoint().y();
    const qsizetype row = y < 0 ? topRow() - 1 : topRow() + y / m_rowHeight;
    moveCurrent(std::clamp<qsizetype>(row, 0, m_lines.size() - 1), Qt::ShiftModifier);
}

void EventLog::mouseReleaseEvent(QMouseEvent *event)
{
    // The press did all there is to do; the release ends a drag.
    event->accept();
}

void EventLog::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(QStringLiteral("Копировать"));
    copyAction->setEnabled(!m_selection.isEmpty());
    connect(copyAction, &QAction::triggered, this, &EventLog::copy);
    menu.exec(event->globalPos());
}

void EventLog::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    // Reached from the keyboard, the log shows where the arrow keys start from.
    if (m_current < 0 && m_lines.size() > 0 && event->reason() != Qt::MouseFocusReason)
        setCurrent(topRow());
    viewport()->update();
}

void EventLog::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void EventLog::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void EventLog::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateMetrics();
        updateScrollBars();
        viewport()->update();
    }
}

void EventLog::scrollContentsBy(int dx, int dy)
{
    if (std::abs(dy) > pageRows())
        viewport()->update();
    else
        viewport()->scroll(dx, dy * m_rowHeight);
}

void EventLog::updateMetrics()
{
    QStyleOptionViewItem option;
    initItemOption(&option, this);
    option.text = EventLines::characterLine(255);
    m_rowHeight = std::max(
        1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    const QFontMetricsF metrics(font());
    for (int code = 0; code < 256; ++code)
        m_latin1Advance[std::size_t(code)] = metrics.horizontalAdvance(QChar(code));
    m_characterLineWidth = 0;
    for (int code = 0; code < 256; ++code)
        m_characterLineWidth
            = std::max(m_characterLineWidth, textWidth(EventLines::characterLine(code)));
    m_widest = 0;
    if (m_lines.size() > m_lines.otherLines().size())
        m_widest = m_characterLineWidth;
    for (const QString &line : m_lines.otherLines())
        m_widest = std::max(m_widest, textWidth(line));
}

void EventLog::updateScrollBars()
{
    m_scrollBarsPending = false;
    const int page = pageRows();
    const qsizetype lastTop = std::max<qsizetype>(0, m_lines.size() - page);
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setRange(0, int(std::min<qsizetype>(lastTop, INT_MAX)));
    const int width = viewport()->width();
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontalScrollBar()->setRange(0, std::max(0, m_widest - width));
}

int EventLog::textWidth(const QString &line) const
{
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    // A long scan of Latin-1 characters is measured a character at a time: the
    // font does no shaping, and shaping a line of a hundred thousand characters
    // only to size the horizontal scroll bar would hold up the commit.
    if (line.size() > 64) {
        qreal width = 0;
        for (const QChar ch : line) {
            if (ch.unicode() > 255)
                return fontMetrics().horizontalAdvance(line) + 2 * margin;
            width += m_latin1Advance[ch.unicode()];
        }
        return int(std::ceil(width)) + 2 * margin;
    }
    return fontMetrics().horizontalAdvance(line) + 2 * margin;
}

int EventLog::pageRows() const
{
    return std::max(1, viewport()->height() / m_rowHeight);
}

void EventLog::moveCurrent(qsizetype row, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        if (m_anchor < 0)
            m_anchor = m_current >= 0 ? m_current : row;
        if (!(modifiers & Qt::ControlModifier))
            m_selection.clear();
        m_selection.select(m_anchor, row);
    } else if (!(modifiers & Qt::ControlModifier)) {
        m_selection.clear();
        m_selection.select(row, row);
        m_anchor = row;
    }
    setCurrent(row);
    ensureVisible(row);
    selectionChanged();
}

void EventLog::setCurrent(qsizetype row)
{
    if (row == m_current)
        return;
    m_current = row;
    viewport()->update();
    if (QAccessible::isActive() && hasFocus() && row >= 0 && row <= INT_MAX) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(int(row));
        QAccessible::updateAccessibility(&focus);
    }
}

void EventLog::ensureVisible(qsizetype row)
{
    if (m_scrollBarsPending)
        updateScrollBars();
    const qsizetype top = topRow();
    const int page = pageRows();
    if (row < top)
        verticalScrollBar()->setValue(int(std::min<qsizetype>(row, INT_MAX)));
    else if (row >= top + page)
        verticalScrollBar()->setValue(int(std::min<qsizetype>(row - page + 1, INT_MAX)));
}

void EventLog::selectionChanged()
{
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&changed);
    }
}
