#pragma once

#include <QFont>
#include <QHash>
#include <QStringView>

#include <array>

// How far each character moves the pen in a font, one character at a time: the
// one measure of text that the log and the scan box share. A scan may be millions
// of characters long, and shaping it as a whole to size a scroll bar or to find
// what is in view would cost in proportion to its length; summing advances lets
// each caller look at only the characters it needs. The fonts used do no
// shaping of digits and Latin letters, so the sum is what is drawn.
class TextAdvances
{
public:
    void setFont(const QFont &font);

    // The advance of the character at position; a surrogate pair counts whole at
    // its first half and 0 at its second. Zero-width and combining characters are
    // 0, so a caller that walks characters until a width is filled must also
    // bound the walk by a count.
    qreal at(QStringView text, qsizetype position) const;
    // The sum over the text.
    qreal of(QStringView text) const;

private:
    QFont m_font;
    std::array<qreal, 256> m_latin1 {};
    // Other characters, measured the first time they are met.
    mutable QHash<char32_t, qreal> m_other;
};
