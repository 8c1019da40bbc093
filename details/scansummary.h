#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What made up one scan line: fed the bytes received since the previous scan
// line (or clearing) in order, with the carriage return that armed the commit at
// its place, it tells how many there were, over how long, the longest pause
// between two of them, and which bytes came before, among and after the digits.
// It looks at those bytes only, so a summary costs the same in a log of any length.
class ScanSummary
{
public:
    void addByte(quint8 code, qint64 micros);
    void addCarriageReturn(qint64 micros);

    // The summary of a scan line with this text, one statement a line.
    QStringList explanation(const QString &scanText) const;

    // The bytes, the carriage return counted; from the first to the carriage
    // return (to the last byte when none is known) and the longest pause between
    // two of them, in microseconds.
    qsizetype bytes() const { return m_bytes; }
    qint64 span() const;
    qint64 longestGap() const { return m_longestGap; }
    // The bytes after the last digit, by name: "CR LF".
    QString ending() const;
    QString between() const;

private:
    void note(qint64 micros);

    qsizetype m_bytes = 0;
    qint64 m_first = -1;
    qint64 m_last = -1;
    qint64 m_carriageReturn = -1;
    qint64 m_longestGap = -1;
    bool m_sawDigit = false;
    // Non-digits before the first digit, between digits, and since the last one;
    // only the first few are named.
    QList<quint8> m_before;
    QList<quint8> m_among;
    QList<quint8> m_after;
    qsizetype m_beforeCount = 0;
    qsizetype m_amongCount = 0;
    qsizetype m_afterCount = 0;
};
