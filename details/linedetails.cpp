#include "details/linedetails.h"

#include "codes/readtext.h"
#include "text/codepages.h"
#include "text/hexdigit.h"
#include "text/notation.h"

namespace {

QString tsvField(const QString &field)
{
    if (!field.contains(u'\t') && !field.contains(u'"') && !field.contains(u'\n')
        && !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

namespace LineDetails {

QString describeCode(quint8 code)
{
    const QString number = QString::number(code) + QStringLiteral(" (") + Notation::hexByte(code) + u')';
    const Notation::CodeName name = Notation::codeName(code);
    if (name.abbreviation)
        return number + QStringLiteral(", ") + QLatin1String(name.abbreviation)
            + QStringLiteral(", ") + QString::fromUtf8(name.meaning);
    const QChar ch = CodePages::fromCp1251(code);
    if (ch.isNull())
        return number + QStringLiteral(", в Windows-1251 не назначен");
    return number + QStringLiteral(", «") + ch + u'»';
}

QStringList characterExplanation(quint8 code)
{
    const bool digit = isHexDigitCode(code);
    return { QStringLiteral("Байт из порта: ") + describeCode(code),
        digit ? QStringLiteral("Шестнадцатеричная цифра: добавлена к скану")
              : QStringLiteral("Не шестнадцатеричная цифра: в скан не входит") };
}

QStringList keyExplanation(quint8 code, const QString &origin)
{
    if (!origin.isEmpty())
        return origin.split(u'\n');
    return { QStringLiteral("Символ: ") + describeCode(code) };
}

QString tsvRow(const QStringList &fields)
{
    QString row;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += u'\t';
        row += tsvField(fields.at(i));
    }
    return row;
}

QString tsvHeader()
{
    return tsvRow({ QStringLiteral("Время"),
        QStringLiteral("Пауза, мс (от предыдущей строки, у клавиши — от предыдущей клавиши)"),
        QStringLiteral("Строка"), QStringLiteral("Код (hex)"), QStringLiteral("Пояснение") });
}

} // namespace LineDetails
