#include "log/linepainter.h"

#include "log/linewidths.h"
#include "logstore/eventlines.h"

#include <QPainter>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// How far a line's place may reach out of view at either side: its edges there
// (the focus frame's among them) are clipped away, as with a line drawn whole.
constexpr int Reach = 64;

} // namespace

LinePainter::LinePainter(
    const QWidget *log, int width, const EventLines &lines, const LineWidths &widths, qint64 left)
    : m_log(log)
    , m_lines(lines)
    , m_widths(widths)
    , m_left(left)
    , m_width(width)
{
    initOption(&m_option, log);
}

void LinePainter::initOption(QStyleOptionViewItem *option, const QWidget *log)
{
    option->initFrom(log);
    option->state &= ~QStyle::State_HasFocus;
    option->font = log->font();
    option->features = QStyleOptionViewItem::HasDisplay;
    option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option->textElideMode = Qt::ElideNone;
    option->viewItemPosition = QStyleOptionViewItem::OnlyOne;
    // A selected line is highlighted across the whole row, as in a list box.
    option->showDecorationSelected = true;
}

void LinePainter::draw(
    QPainter *painter, qsizetype row, int y, int height, bool selected, bool focused)
{
    // A line's place reaches from its start to the widest line's end or the
    // view's right edge, whichever is further.
    const qint64 right
        = std::min<qint64>(std::max<qint64>(m_width, m_widths.widest() - m_left), m_width + Reach);
    if (m_left <= Reach && m_lines.length(row) <= LineWidths::LongLine) {
        // Near the start, a short line is drawn whole, shaped as the style shapes it.
        m_option.rect = QRect(int(-m_left), y, int(right + m_left), height);
        m_option.text = m_lines.at(row);
    } else {
        const int margin = m_widths.margin();
        const LineWidths::Slice slice
            = m_widths.inView(row, m_lines, m_left - margin, m_width + 2 * margin);
        // Where the first character in view goes, its margin before it.
        const auto start = qint64(std::floor(slice.offset)) - m_left;
        const qint64 from = slice.count > 0 ? start : -Reach;
        m_option.rect = QRect(int(from), y, int(right - from), height);
        m_option.text = m_lines.mid(row, slice.first, slice.count);
    }
    m_option.state.setFlag(QStyle::State_Selected, selected);
    m_option.state.setFlag(QStyle::State_HasFocus, focused);
    m_log->style()->drawControl(QStyle::CE_ItemViewItem, &m_option, painter, m_log);
}
