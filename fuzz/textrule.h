#pragma once

#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>

// A rule stated on its own as a regular expression, where B stands for what the port
// and settings texts allow around a number or a letter: the ASCII control blanks,
// NEL, and every Unicode separator (the plain space and the no-break space among them).
inline QRegularExpression textRule(const char *pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern).replace(u'B', QStringLiteral(R"([\t\n\v\f\r\x{85}\p{Z}]*)")),
        QRegularExpression::UseUnicodePropertiesOption);
}

// A finding: says what went wrong with which text and stops, so the fuzzer keeps the input.
[[noreturn]] inline void fail(const char *what, const QString &text = {})
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(text));
    std::abort();
}
