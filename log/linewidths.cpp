#include "linewidths.h"

#include "eventlines.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

void LineWidths::setFont(const QFont &font, int margin, const EventLines &lines)
{
    m_metrics = QFontMetrics(font);
    m_margin = margin;
    const QFontMetricsF metrics(font);
    for (int code = 0; code < 256; ++code)
        m_latin1Advance[std::size_t(code)] = metrics.horizontalAdvance(QChar(code));
    m_characterLine = 0;
    for (int code = 0; code < 256; ++code)
        m_characterLine = std::max(m_characterLine, of(EventLines::characterLine(code)));
    m_widest = 0;
    if (lines.size() > lines.otherLines().size())
        addCharacterLine();
    for (const QString &line : lines.otherLines())
        add(line);
}

int LineWidths::of(const QString &line) const
{
    // A long scan of Latin-1 characters is measured a character at a time: the
    // font does no shaping, and shaping a line of a hundred thousand characters
    // only to size the horizontal scroll bar would hold up the commit.
    if (line.size() > 64) {
        qreal width = 0;
        for (const QChar ch : line) {
            if (ch.unicode() > 255)
                return m_metrics.horizontalAdvance(line) + 2 * m_margin;
            width += m_latin1Advance[ch.unicode()];
        }
        return int(std::ceil(width)) + 2 * m_margin;
    }
    return m_metrics.horizontalAdvance(line) + 2 * m_margin;
}
