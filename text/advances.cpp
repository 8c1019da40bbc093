#include "text/advances.h"

#include <QFontMetricsF>
#include <QString>

void TextAdvances::setFont(const QFont &font)
{
    m_font = font;
    const QFontMetricsF metrics(font);
    for (int code = 0; code < 256; ++code)
        m_latin1[std::size_t(code)] = metrics.horizontalAdvance(QChar(code));
    m_other.clear();
}

qreal TextAdvances::at(QStringView text, qsizetype position) const
{
    const char16_t code = text.at(position).unicode();
    if (code < 256)
        return m_latin1[code];
    char32_t ch = code;
    if (QChar::isHighSurrogate(code) && position + 1 < text.size()
        && text.at(position + 1).isLowSurrogate())
        ch = QChar::surrogateToUcs4(code, text.at(position + 1).unicode());
    else if (QChar::isLowSurrogate(code) && position > 0 && text.at(position - 1).isHighSurrogate())
        return 0; // counted with its first half
    auto known = m_other.constFind(ch);
    if (known == m_other.cend())
        known = m_other.insert(
            ch, QFontMetricsF(m_font).horizontalAdvance(QString::fromUcs4(&ch, 1)));
    return *known;
}

qreal TextAdvances::of(QStringView text) const
{
    qreal width = 0;
    for (qsizetype position = 0; position < text.size(); ++position)
        width += at(text, position);
    return width;
}
