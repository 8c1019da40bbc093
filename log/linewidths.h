#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <array>

class EventLines;

// How wide the log's lines are drawn in its font, and the widest of them, for the
// horizontal scroll bar. Long lines of Latin-1 characters (scans) are measured a
// character at a time.
class LineWidths
{
public:
    // The font and the margin each side that a line's place has beyond its text;
    // the lines are measured again in it.
    void setFont(const QFont &font, int margin, const EventLines &lines);

    int of(const QString &line) const;
    // The widest of the character lines, "KeyAscii=0" to "KeyAscii=255".
    int characterLine() const { return m_characterLine; }

    // The widest line added since the last clear.
    int widest() const { return m_widest; }
    void clear() { m_widest = 0; }
    void addCharacterLine() { m_widest = std::max(m_widest, m_characterLine); }
    void add(const QString &line) { m_widest = std::max(m_widest, of(line)); }

private:
    QFontMetrics m_metrics { QFont() };
    int m_margin = 0;
    int m_characterLine = 0;
    int m_widest = 0;
    std::array<qreal, 256> m_latin1Advance {};
};
