#pragma once

#include "text/advances.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <vector>

class EventLines;

// How wide the log's lines are drawn in its font, the widest of them (for the
// horizontal scroll bar), and which characters of a line fall in view. Widths
// are counted in 64 bits: a scan of a few hundred million digits is wider than
// an int holds. A long line is measured a character at a time and keeps a mark
// every few hundred characters, so that the characters at any distance along it
// are found without walking it from its start.
class LineWidths
{
public:
    // The characters of a line in view: from first, count of them, the first
    // starting offset pixels after the line's first.
    struct Slice
    {
        qsizetype first = 0;
        qsizetype count = 0;
        qreal offset = 0;
    };

    // The font and the margin each side that a line's place has beyond its text;
    // the lines are measured again in it.
    void setFont(const QFont &font, int margin, const EventLines &lines);

    qint64 of(QStringView line) const;
    // The widest of the character lines, "KeyAscii=0" to "KeyAscii=255".
    int characterLine() const { return m_characterLine; }
    int margin() const { return m_margin; }

    // The widest line added since the last clear.
    qint64 widest() const { return m_widest; }
    void clear();
    void addCharacterLine() { m_widest = std::max<qint64>(m_widest, m_characterLine); }
    // A line other than a character line, at its row.
    void add(qsizetype row, QStringView line);

    // Lines longer than this are only ever drawn in part.
    static constexpr qsizetype LongLine = 512;
    // The characters of the row's line that are drawn between left and
    // left + width pixels of its text.
    Slice inView(qsizetype row, const EventLines &lines, qint64 left, int width) const;

private:
    static constexpr qsizetype MarkEvery = 256;

    struct Marks
    {
        qsizetype row;
        // The advance before every MarkEvery-th character.
        std::vector<double> before;
    };

    QFontMetrics m_metrics { QFont() };
    TextAdvances m_advances;
    int m_margin = 0;
    int m_characterLine = 0;
    qint64 m_widest = 0;
    std::vector<Marks> m_marks; // ascending by row
};
