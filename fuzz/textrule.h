#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// What the port and settings texts allow around a number or a letter, said in the
// terms of a regular expression: the ASCII control blanks, NEL, and every Unicode
// separator (which includes the plain space and the no-break space).
inline QString blankPattern()
{
    return QStringLiteral(R"([\t\n\v\f\r\x{85}\p{Z}]*)");
}

// A finding: says what went wrong with which text and stops, so that the fuzzer
// keeps the input.
[[noreturn]] inline void fail(const char *what, const QString &text = {})
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(text));
    std::abort();
}
