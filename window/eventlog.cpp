#include "eventlog.h"

#include "linedetails.h"
#include "sessionclock.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <climits>
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

int EventLog::s_scrollLimit = INT_MAX;

EventLog::EventLog(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &EventLog::barAction);
    verticalScrollBar()->installEventFilter(this);
    updateMetrics();
    updateScrollBars();
}

EventLog::~EventLog() = default;

void EventLog::AddItem(const QString &item)
{
    const qsizetype row = m_lines.size();
    m_lines.append(item);
    m_details.addLine(SessionClock::now());
    if (m_lines.code(row) >= 0)
        m_widths.addCharacterLine();
    else
        m_widths.add(item);
    added(row);
}

void EventLog::AddCharacterLine(quint8 code)
{
    AddCharacterLine(code, SessionClock::now());
}

void EventLog::AddCharacterLine(quint8 code, qint64 micros)
{
    const qsizetype row = m_lines.size();
    m_lines.appendCode(code);
    m_details.addLine(micros);
    m_widths.addCharacterLine();
    added(row);
}

void EventLog::AddKeyLine(quint8 code, const KeyOrigin &origin)
{
    AddCharacterLine(code);
    m_details.markKeyLine(origin);
}

void EventLog::AddScanLine(const QString &text)
{
    AddItem(text);
    m_details.markScanLine();
}

void EventLog::added(qsizetype row)
{
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
    m_details.clear();
    m_selection.reset();
    m_announcedCurrent = -1;
    m_top = 0;
    m_accessibleFirst = 0;
    m_widths.clear();
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

void EventLog::selectAll()
{
    apply(m_selection.selectAll(m_lines.size()));
}

void EventLog::copy()
{
    toClipboard(&EventLog::selectedText);
}

void EventLog::toClipboard(QString (EventLog::*text)() const)
{
    if (m_selection.selection().isEmpty())
        return;
    try {
        QGuiApplication::clipboard()->setText((this->*text)());
    } catch (const std::bad_alloc &) {
        // Millions of selected lines may not fit in memory as one text; the
        // clipboard keeps what it had and the log goes on.
        QApplication::beep();
    }
}

QString EventLog::selectedTextWithDetails() const
{
    QString text = LineDetails::tsvHeader();
    for (const LineSelection::Range &range : m_selection.selection().ranges()) {
        for (qsizetype row = range.first; row <= range.last; ++row)
            text += u'\n' + LineDetails::tsvRow(m_details.fields(row, m_lines));
    }
    return text;
}

void EventLog::copyWithDetails()
{
    toClipboard(&EventLog::selectedTextWithDetails);
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
    return QRect(x, int(offset) * m_rowHeight, std::max(viewport()->width() - x, m_widths.widest()),
        m_rowHeight);
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
        option.state.setFlag(QStyle::State_Selected, isSelected(row));
        option.state.setFlag(QStyle::State_HasFocus, focused && row == currentRow());
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
    const auto outcome
        = m_selection.key(event->key(), event->modifiers(), m_lines.size(), topRow(), pageRows());
    if (outcome == OperatorSelection::Outcome::NotMine)
        QAbstractScrollArea::keyPressEvent(event);
    else
        apply(outcome);
}

void EventLog::mousePressEvent(QMouseEvent *event)
{
    const qsizetype row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton)
        apply(m_selection.click(row, event->modifiers()));
    else if (event->button() == Qt::RightButton)
        apply(m_selection.rightClick(row));
}

void EventLog::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    // Dragging past either edge reaches the next line beyond it, so that the
    // view scrolls while the mouse moves there.
    const int y = event->position().toPoint().y();
    const qsizetype row = y < 0 ? topRow() - 1 : topRow() + y / m_rowHeight;
    apply(m_selection.drag(row, event->modifiers(), m_lines.size()));
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
    copyAction->setEnabled(selectedCount() > 0);
    connect(copyAction, &QAction::triggered, this, &EventLog::copy);
    QAction *detailsAction = menu.addAction(QStringLiteral("Копировать с подробностями"));
    detailsAction->setEnabled(selectedCount() > 0);
    connect(detailsAction, &QAction::triggered, this, &EventLog::copyWithDetails);
    menu.exec(event->globalPos());
}

void EventLog::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    // Reached from the keyboard, the log shows where the arrow keys start from.
    if (currentRow() < 0 && m_lines.size() > 0 && event->reason() != Qt::MouseFocusReason) {
        m_selection.setCurrent(topRow());
        currentChanged();
    }
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
    qsizetype rows = 0;
    if (dy != 0 && !m_movingBar) {
        // The operator moved the bar: a drag, or a click on its ends.
        const qsizetype old = m_top;
        m_top = barRow(verticalScrollBar()->value());
        rows = old - m_top;
    }
    shiftView(dx, rows);
}

void EventLog::shiftView(int dx, qsizetype rows)
{
    if (std::abs(rows) > pageRows())
        viewport()->update();
    else if (dx != 0 || rows != 0)
        viewport()->scroll(dx, int(rows) * m_rowHeight);
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
    const qsizetype last = lastTop();
    if (last <= s_scrollLimit)
        return int(top);
    if (top <= 0 || top >= last)
        return top <= 0 ? 0 : s_scrollLimit;
    // Between the ends, never on them: an end means the first or the last page.
    const auto value = qsizetype(double(top) * s_scrollLimit / double(last));
    return int(std::clamp<qsizetype>(value, 1, s_scrollLimit - 1));
}

qsizetype EventLog::barRow(int value) const
{
    const qsizetype last = lastTop();
    if (last <= s_scrollLimit)
        return value;
    if (value >= s_scrollLimit)
        return last;
    return std::min(last, qsizetype(double(value) * double(last) / s_scrollLimit));
}

void EventLog::setScrollLimitForTesting(int limit)
{
    s_scrollLimit = std::max(1, limit);
}

int EventLog::accessibleCount() const
{
    return int(std::min<qsizetype>(m_lines.size(), s_scrollLimit));
}

qsizetype EventLog::accessibleFirstRow() const
{
    const qsizetype count = m_lines.size();
    if (count <= s_scrollLimit)
        return m_accessibleFirst = 0;
    const qsizetype around = currentRow() >= 0 ? currentRow() : m_top;
    if (around < m_accessibleFirst || around >= m_accessibleFirst + s_scrollLimit)
        m_accessibleFirst = around - s_scrollLimit / 2;
    return m_accessibleFirst = std::clamp<qsizetype>(m_accessibleFirst, 0, count - s_scrollLimit);
}

bool EventLog::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const qsizetype row = rowAt(help->pos().y());
    if (row < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // Plain text always: a typed "<" must never turn the tooltip into markup.
    QString text = lineDetails(row);
    if (Qt::mightBeRichText(text))
        text = Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
    QToolTip::showText(help->globalPos(), text, viewport(), rowRect(row));
    return true;
}

void EventLog::updateMetrics()
{
    QStyleOptionViewItem option;
    initItemOption(&option, this);
    option.text = EventLines::characterLine(255);
    m_rowHeight = std::max(
        1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    m_widths.setFont(font(), margin, m_lines);
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
    const int width = viewport()->width();
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontalScrollBar()->setRange(0, std::max(0, m_widths.widest() - width));
}

int EventLog::pageRows() const
{
    return std::max(1, viewport()->height() / m_rowHeight);
}

void EventLog::apply(OperatorSelection::Outcome outcome)
{
    if (outcome != OperatorSelection::Outcome::Changed
        && outcome != OperatorSelection::Outcome::Moved)
        return;
    if (currentRow() != m_announcedCurrent)
        currentChanged();
    if (outcome == OperatorSelection::Outcome::Moved)
        ensureVisible(currentRow());
    selectionChanged();
}

void EventLog::currentChanged()
{
    viewport()->update();
    const qsizetype row = m_announcedCurrent = currentRow();
    if (QAccessible::isActive() && hasFocus() && row >= 0) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(int(row - accessibleFirstRow()));
        QAccessible::updateAccessibility(&focus);
    }
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

void EventLog::selectionChanged()
{
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&changed);
    }
}
