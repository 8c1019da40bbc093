#include "codes/readtext.h"

#include "text/codepages.h"
#include "text/notation.h"

#include <QStringDecoder>

#include <algorithm>

namespace ReadText {

QString decode(QByteArrayView codes)
{
    QString text;
    text.reserve(codes.size());
    for (const char c : codes) {
        const QChar ch = CodePages::fromCp1251(quint8(c));
        text += ch.isNull() ? QChar(QChar::ReplacementCharacter) : ch;
    }
    return text;
}

QString nameOf(quint8 code)
{
    const QString name = Notation::controlName(code);
    return name.isEmpty() && CodePages::fromCp1251(code).isNull() ? Notation::hexByte(code) : name;
}

QString visible(QByteArrayView codes)
{
    QString text;
    text.reserve(codes.size() + 16);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const quint8 code = quint8(codes[i]);
        const bool innerSpace = code == 0x20 && i > 0 && i + 1 < codes.size();
        const QString name = innerSpace ? QString() : nameOf(code);
        if (name.isEmpty())
            text += CodePages::fromCp1251(code);
        else
            text += u'«' + name + u'»';
    }
    return text;
}

QString visibleText(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const int code = CodePages::toCp1251(ch);
        const QString name = code >= 0 && code != 0x20 ? nameOf(quint8(code)) : QString();
        if (name.isEmpty())
            result += ch;
        else
            result += u'«' + name + u'»';
    }
    return result;
}

QString utf8Text(QByteArrayView codes)
{
    if (std::all_of(codes.cbegin(), codes.cend(), [](char c) { return quint8(c) < 0x80; }))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(codes);
    return decoder.hasError() ? QString() : text;
}

QString hex(QByteArrayView codes, int perLine)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(codes.size() * 3);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (i > 0)
            text += (perLine > 0 && i % perLine == 0) ? u'\n' : u' ';
        const quint8 code = quint8(codes[i]);
        text += QLatin1Char(digits[code >> 4]);
        text += QLatin1Char(digits[code & 15]);
    }
    return text;
}

QString plural(qint64 n, const char *one, const char *few, const char *many)
{
    const qint64 tens = n % 100;
    const qint64 units = n % 10;
    const char *word = many;
    if (tens < 11 || tens > 14) {
        if (units == 1)
            word = one;
        else if (units >= 2 && units <= 4)
            word = few;
    }
    return QString::number(n) + u' ' + QString::fromUtf8(word);
}

QString decimal(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

} // namespace ReadText
