#pragma once

#include <QString>

// An operator's text put into a message, cut short with "…" when it is too long
// to read at a glance (a pasted page must not make a message box wider than the
// screen).
inline QString elided(const QString &text, qsizetype limit = 24)
{
    return text.size() > limit ? text.left(limit) + QChar(0x2026) : text;
}

// The same in «» quotes, for a text quoted inside a sentence.
inline QString quoted(const QString &text, qsizetype limit = 24)
{
    return QChar(0x00AB) + elided(text, limit) + QChar(0x00BB);
}
