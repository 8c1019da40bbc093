#include "log/linewidths.h"

#include "logstore/eventlines.h"

#include <algorithm>
#include <cmath>

void LineWidths::setFont(const QFont &font, int margin, const EventLines &lines)
{
    m_metrics = QFontMetrics(font);
    m_advances.setFont(font);
    m_margin = margin;
    m_characterLine = 0;
    for (int code = 0; code < 256; ++code) {
        m_characterLine = std::max(m_characterLine, int(of(EventLines::characterLine(code))));
    }
    clear();
    if (lines.size() > lines.otherCount())
        addCharacterLine();
    for (qsizetype index = 0; index < lines.otherCount(); ++index)
        add(lines.otherRow(index), lines.otherLine(index));
}

void LineWidths::clear()
{
    m_widest = 0;
    m_marks = {};
}

qint64 LineWidths::of(QStringView line) const
{
    // A long line is measured a character at a time: shaping a line of a hundred
    // thousand characters only to size the horizontal scroll bar would hold up
    // the commit.
    if (line.size() > 64)
        return qint64(std::ceil(m_advances.of(line))) + 2 * m_margin;
    return m_metrics.horizontalAdvance(line.toString()) + 2 * m_margin;
}

void LineWidths::add(qsizetype row, QStringView line)
{
    if (line.size() <= LongLine) {
        m_widest = std::max(m_widest, of(line));
        return;
    }
    Marks marks { row, {} };
    marks.before.reserve(std::size_t(line.size() / MarkEvery + 1));
    double width = 0;
    for (qsizetype position = 0; position < line.size(); ++position) {
        if (position % MarkEvery == 0)
            marks.before.push_back(width);
        width += m_advances.at(line, position);
    }
    m_widest = std::max(m_widest, qint64(std::ceil(width)) + 2 * m_margin);
    m_marks.push_back(std::move(marks));
}

LineWidths::Slice LineWidths::inView(
    qsizetype row, const EventLines &lines, qint64 left, int width) const
{
    // Every character in view is at least a pixel wide but for zero-width ones,
    // which show nothing: a line crowded with those shows fewer characters.
    const qsizetype most = qsizetype(width) + 16;
    const qsizetype length = lines.length(row);
    Slice slice;
    const auto marks = std::lower_bound(m_marks.begin(), m_marks.end(), row,
        [](const Marks &marks, qsizetype wanted) { return marks.row < wanted; });
    if (marks != m_marks.end() && marks->row == row) {
        const auto after
            = std::upper_bound(marks->before.begin(), marks->before.end(), double(left));
        const auto mark = std::max<qsizetype>(0, (after - marks->before.begin()) - 1);
        slice.first = mark * MarkEvery;
        slice.offset = marks->before[std::size_t(mark)];
    }
    const QString text = lines.mid(row, slice.first, MarkEvery + most);
    qsizetype position = 0;
    // Characters wholly left of the view are skipped; the second half of a
    // surrogate pair goes with its first (it has no advance of its own).
    while (position < text.size()) {
        const qreal advance = m_advances.at(text, position);
        if (slice.offset + advance > left)
            break;
        slice.offset += advance;
        ++position;
    }
    qreal x = slice.offset;
    qsizetype end = position;
    while (end < text.size() && x < left + width && end - position < most)
        x += m_advances.at(text, end++);
    if (end < text.size() && text.at(end).isLowSurrogate())
        ++end;
    slice.first += position;
    slice.count = std::min(end - position, length - slice.first);
    return slice;
}
