#include "log/eventlog.h"

#include "details/linedetails.h"
#include "details/sessionclock.h"
#include "errors/runtimeerror.h"
#include "log/eventlogaccessible.h"
#include "log/linepainter.h"
#include "log/logannouncer.h"
#include "log/readwindow.h"
#include "logstore/pageblocks.h"
#include "text/tooltiptext.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include <algorithm>
#include <climits>

EventLog::EventLog(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_announcer(new LogAnnouncer(this))
{
    // Accessibility tools see the lines of any log, from the first one made on.
    static const bool accessible = (QAccessible::installFactory(&EventLogAccessible::create), true);
    Q_UNUSED(accessible);
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
    const int code = m_lines.code(row);
    if (code >= 0) {
        m_details.addCharacterLine(quint8(code), SessionClock::now());
        m_widths.addCharacterLine();
    } else {
        m_details.addLine(SessionClock::now());
        m_widths.add(row, item);
    }
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
    m_details.addCharacterLine(code, micros);
    addedCode(row, code, micros, ReadMode::Serial);
}

void EventLog::AddKeyLine(quint8 code, const KeyOrigin &origin, qint64 micros)
{
    const qsizetype row = m_lines.size();
    m_lines.appendCode(code);
    m_details.addKeyLine(micros, origin);
    addedCode(row, code, micros, ReadMode::Keyboard, SessionClock::now());
}

void EventLog::addedCode(qsizetype row, quint8 code, qint64 micros, ReadMode mode, qint64 handled)
{
    m_widths.addCharacterLine();
    added(row);
    m_details.reads().addLine(row, code, micros, mode, handled);
    if (m_readTimer)
        wakeReadTimer();
}

void EventLog::notePortReturn(qint64 micros)
{
    m_details.reads().addPortReturn(micros);
    if (m_readTimer)
        wakeReadTimer();
}

void EventLog::AddScanLine(const QString &text)
{
    const qsizetype row = m_lines.size();
    m_lines.append(text);
    m_details.addScanLine(SessionClock::now(), text);
    if (m_lines.code(row) >= 0)
        m_widths.addCharacterLine();
    else
        m_widths.add(row, text);
    added(row);
}

void EventLog::added(qsizetype row)
{
    // Only the new line's place needs painting, and only while it is in view.
    if (row - topRow() <= pageRows())
        viewport()->update(rowRect(row));
    m_announcer->added(row);
    // The scroll bars follow once per turn of the event loop, not once per line.
    if (!m_scrollBarsPending) {
        m_scrollBarsPending = true;
        QMetaObject::invokeMethod(this, &EventLog::updateScrollBars, Qt::QueuedConnection);
    }
}

void EventLog::Clear()
{
    cancelCopy();
    m_lines.clear();
    m_details.clear();
    m_selection.reset();
    m_announcedCurrent = -1;
    m_top = 0;
    m_left = 0;
    m_widths.clear();
    // The blocks of codes and times went back to the system with their columns;
    // the other lines' texts, key origins and scan records were small blocks all
    // over the heap, and what they freed stays with the process unless handed back.
    PageBlocks::trimHeap();
    ++m_generation;
    m_announcer->cleared();
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
    startCopy(false);
}

void EventLog::copyWithDetails()
{
    startCopy(true);
}

void EventLog::startCopy(bool withDetails)
{
    if (m_selection.selection().isEmpty())
        return;
    cancelCopy();
    m_copy = new CopyJob(m_lines, m_details, m_selection.selection(), withDetails, this);
    m_copy->start();
}

void EventLog::cancelCopy()
{
    if (m_copy)
        m_copy->cancel();
    m_copy = nullptr;
}

QString EventLog::selectedTextWithDetails()
{
    CopyJob job(m_lines, m_details, m_selection.selection(), true, nullptr);
    return job.text();
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
    // could overflow. Across, a line's place is the view's width: a line may be
    // wider than an int counts.
    const qsizetype offset = std::clamp<qsizetype>(row - topRow(), -1, pageRows() + 1);
    return QRect(0, int(offset) * m_rowHeight, viewport()->width(), m_rowHeight);
}

void EventLog::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const qsizetype first = topRow() + std::max(0, dirty.top()) / m_rowHeight;
    const qsizetype last = std::min(m_lines.size() - 1, topRow() + dirty.bottom() / m_rowHeight);
    LinePainter lines(this, viewport()->width(), m_lines, m_widths, m_left);
    const bool focused = hasFocus();
    for (qsizetype row = first; row <= last; ++row) {
        lines.draw(&painter, row, int(row - topRow()) * m_rowHeight, m_rowHeight, isSelected(row),
            focused && row == currentRow());
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
    connect(copyAction, &QAction::triggered, this, [this] { untrapped([this] { copy(); }); });
    QAction *detailsAction = menu.addAction(QStringLiteral("Копировать с подробностями"));
    detailsAction->setEnabled(selectedCount() > 0);
    connect(detailsAction, &QAction::triggered, this,
        [this] { untrapped([this] { copyWithDetails(); }); });
    menu.addSeparator();
    // The read under the mouse (a keyboard's menu key: the current line's).
    const qsizetype row = event->reason() == QContextMenuEvent::Mouse
        ? rowAt(event->pos().y())
        : currentRow();
    QAction *readAction = menu.addAction(QStringLiteral("Разобрать чтение…"));
    readAction->setEnabled(row >= 0 && m_details.readOf(row, m_lines).has_value());
    connect(readAction, &QAction::triggered, this, [this, row, generation = m_generation] {
        if (generation == m_generation)
            untrapped([this, row] { showReadAnalysis(row); });
    });
    // Each offered action gets an entry of this menu's own, which goes with the
    // menu: an action that outlived its menu would leave screen readers an entry
    // whose menu is gone (Qt's accessible menu item keeps a bare pointer to it).
    for (const QPointer<QAction> &action : std::as_const(m_menuActions)) {
        if (!action)
            continue;
        QAction *entry = menu.addAction(action->text());
        entry->setEnabled(action->isEnabled());
        connect(entry, &QAction::triggered, action.data(), &QAction::trigger);
    }
    menu.addSeparator();
    QAction *followAction = menu.addAction(QStringLiteral("Показывать новые строки"));
    followAction->setCheckable(true);
    followAction->setChecked(m_following);
    connect(followAction, &QAction::toggled, this, &EventLog::setFollowing);
    menu.exec(event->globalPos());
}

void EventLog::setFollowing(bool following)
{
    m_following = following;
    if (following)
        scrollToRow(lastTop());
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
    QToolTip::showText(help->globalPos(), toolTipText(lineDetails(row)), viewport(), rowRect(row));
    return true;
}

void EventLog::updateMetrics()
{
    QStyleOptionViewItem option;
    LinePainter::initOption(&option, this);
    option.text = EventLines::characterLine(255);
    m_rowHeight = std::max(
        1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    m_widths.setFont(font(), margin, m_lines);
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
    const int child = row >= 0 && hasFocus() ? EventLogAccessible::childIndex(this, row) : -1;
    if (child >= 0) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    }
}

void EventLog::selectionChanged()
{
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&changed);
    }
}
