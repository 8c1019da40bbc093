#include "text/tooltiptext.h"

#include <QList>

QString wrappedText(const QString &plain, qsizetype width)
{
    QString wrapped;
    wrapped.reserve(plain.size() + plain.size() / width + 1);
    bool firstLine = true;
    for (const QStringView line : QStringView(plain).split(u'\n')) {
        if (!firstLine)
            wrapped += u'\n';
        firstLine = false;
        // Greedy: as many words as fit, each run of spaces kept where a line goes on.
        qsizetype lineStart = wrapped.size();
        bool first = true;
        for (const QStringView word : line.split(u' ')) {
            if (!first && wrapped.size() - lineStart + 1 + word.size() > width
                && wrapped.size() > lineStart) {
                wrapped += u'\n';
                lineStart = wrapped.size();
            } else if (!first) {
                wrapped += u' ';
            }
            wrapped += word;
            first = false;
        }
    }
    return wrapped;
}

QString unbreakable(const QString &text)
{
    QString kept = text;
    return kept.replace(u' ', QChar(QChar::Nbsp));
}

QString toolTipText(const QString &plain)
{
    return QStringLiteral("<p style=\"white-space:pre\">") + wrappedText(plain).toHtmlEscaped()
        + QStringLiteral("</p>");
}
