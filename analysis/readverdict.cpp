#include "readverdict.h"

#include "readcompare.h"

// A first form: the differences as sentences, until the findings come.
namespace {
thread_local QStringList lastSentences;
}

QString ReadVerdict::text() const
{
    if (matched)
        return QStringLiteral("Совпало байт в байт.");
    return QStringLiteral("Не совпало:\n• ") + lastSentences.join(QStringLiteral("\n• "));
}

QStringList ReadVerdict::faultNames() const
{
    return matched ? QStringList() : lastSentences.mid(0, 1);
}

ReadVerdict judgeRead(const ExpectedCode &expected, const ArrivedRead &read, const ArrivedRead *)
{
    ReadVerdict v;
    lastSentences = compareReads(expected.content, read.codes, read.mode);
    v.matched = lastSentences.isEmpty();
    return v;
}
