// The scan box's view: where its characters go, which of them are in view, and
// how they, the caret and the selection are painted.
#include "scanbox/scanbox.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// QLineEdit's own margins around its text, in pixels.
constexpr int HorizontalMargin = 2;
constexpr int VerticalMargin = 1;

} // namespace

QSize ScanBox::sizeHint() const
{
    // QLineEdit's: seventeen 'x' wide, one line high, with the frame around it.
    ensurePolished();
    const QFontMetrics fm(font());
    const int height = std::max(fm.height(), 14) + 2 * VerticalMargin;
    const int width = fm.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * HorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

QSize ScanBox::minimumSizeHint() const
{
    ensurePolished();
    const QFontMetrics fm(font());
    const int height = fm.height() + 2 * VerticalMargin;
    const int width = fm.maxWidth() + 2 * HorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

void ScanBox::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QRect ScanBox::lineRect() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int lineHeight = QFontMetrics(font()).height();
    const int top = contents.top() + (contents.height() - lineHeight + 1) / 2;
    return QRect(contents.left() + HorizontalMargin, top, contents.width() - 2 * HorizontalMargin,
        lineHeight);
}

void ScanBox::updateAdvances()
{
    m_advances.setFont(font());
}

qsizetype ScanBox::viewLimit() const
{
    return std::max(1, lineRect().width()) + 16;
}

qsizetype ScanBox::viewEnd() const
{
    const qreal width = lineRect().width();
    qreal x = -m_shift;
    qsizetype position = m_first;
    const qsizetype limit = std::min(m_text.size(), m_first + viewLimit());
    while (position < limit && x < width)
        x += advance(position++);
    return step(position - 1, 1);
}

void ScanBox::scrollToCursor()
{
    const qreal width = std::max(1, lineRect().width());
    const qsizetype most = viewLimit();
    m_first = std::min(m_first, m_text.size());
    // Text ending short of the right edge while some is scrolled out at the
    // left: bring its end to the right edge, as QLineEdit does.
    qreal x = -m_shift;
    qsizetype position = m_first;
    while (position < m_text.size() && x <= width && position - m_first < most)
        x += advance(position++);
    if (position == m_text.size() && x < width && (m_first > 0 || m_shift > 0)) {
        qreal filled = 0;
        position = m_text.size();
        while (position > 0 && filled < width && m_text.size() - position < most)
            filled += advance(--position);
        m_first = position;
        m_shift = std::max<qreal>(0, filled - width);
    }

    if (m_cursor <= m_first) {
        m_first = m_cursor;
        m_shift = 0;
        return;
    }
    x = -m_shift;
    position = m_first;
    while (position < m_cursor && x <= width && position - m_first < most)
        x += advance(position++);
    if (position == m_cursor && x <= width)
        return;
    // The caret is past the right edge: it goes to the right edge.
    qreal behind = 0;
    position = m_cursor;
    while (position > 0 && behind < width && m_cursor - position < most)
        behind += advance(--position);
    m_first = position;
    m_shift = std::max<qreal>(0, behind - width);
}

qsizetype ScanBox::positionAt(const QPoint &point) const
{
    const QRect line = lineRect();
    const qreal target = point.x() - line.left();
    if (target < 0)
        return m_shift > 0 ? m_first : step(m_first, -1);
    // Past the right edge: the first character out of view, so a drag scrolls.
    const qreal limit = std::min<qreal>(target, line.width() + 1);
    qreal x = -m_shift;
    qsizetype position = m_first;
    const qsizetype end = std::min(m_text.size(), m_first + viewLimit());
    while (position < end) {
        const qreal width = advance(position);
        if (limit < x + width / 2)
            break;
        x += width;
        position = step(position, 1);
    }
    return position;
}

QRect ScanBox::characterRect(qsizetype position) const
{
    if (position < m_first || position >= m_text.size())
        return {};
    const QRect line = lineRect();
    if (position - m_first > viewLimit())
        return {};
    qreal x = -m_shift;
    for (qsizetype at = m_first; at < position; ++at) {
        x += advance(at);
        if (x > line.width())
            return {};
    }
    return QRectF(line.left() + x, line.top(), advance(position), line.height()).toAlignedRect();
}

void ScanBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    painter.setClipRect(contents);
    const QRect line = lineRect();
    const QFontMetricsF fm(font());
    const qsizetype first = m_first;
    QString visible = m_text.mid(first, viewEnd() - first);
    // Line breaks that a paste brought show as spaces, as in QLineEdit.
    for (QChar &ch : visible) {
        if (ch == u'\n' || ch == u'\r' || ch == QChar::LineSeparator
            || ch == QChar::ParagraphSeparator)
            ch = u' ';
    }
    const qreal left = line.left() - m_shift;
    const qreal baseline = line.top() + fm.ascent();
    auto xOf = [&](qsizetype position) {
        return left
            + fm.horizontalAdvance(
                visible.left(std::clamp<qsizetype>(position - first, 0, visible.size())));
    };
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QPointF(left, baseline), visible);

    if (hasSelectedText()) {
        const qsizetype start = std::min(m_anchor, m_cursor);
        const qsizetype stop = std::max(m_anchor, m_cursor);
        const qreal from = start <= first ? contents.left() : xOf(start);
        const qreal to = stop >= first + visible.size() ? contents.right() + 1 : xOf(stop);
        if (to > from) {
            const QRectF selected(from, line.top(), to - from, line.height());
            painter.fillRect(selected, palette().brush(QPalette::Highlight));
            painter.save();
            painter.setClipRect(selected, Qt::IntersectClip);
            painter.setPen(palette().color(QPalette::HighlightedText));
            painter.drawText(QPointF(left, baseline), visible);
            painter.restore();
        }
    }

    if (m_caretShown && hasFocus()) {
        const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
        painter.fillRect(QRectF(xOf(m_cursor), line.top(), std::max(1, width), line.height()),
            palette().color(QPalette::Text));
    }
}

void ScanBox::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash >= 2)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void ScanBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    update(lineRect());
}

void ScanBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        updateAdvances();
        scrollToCursor();
        updateGeometry();
    }
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        m_caretShown = false;
    QWidget::changeEvent(event);
    update();
}

void ScanBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scrollToCursor();
}
