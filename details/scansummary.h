#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <array>

// What made up one scan line: fed the bytes received since the previous scan
// line (or clearing) as they come, with the carriage return that armed the
// commit at its place, it tells how many there were, over how long, the longest
// pause between two of them, and which bytes came before, among and after the
// digits. It costs the same for every byte and keeps a fixed few dozen bytes
// however many it was fed, so the log keeps one a scan line and a scan line's
// details are at hand after any number of bytes.
class ScanSummary
{
public:
    void addByte(quint8 code, qint64 micros);
    void addCarriageReturn(qint64 micros);
    // The text the scan box committed: its digits and other characters.
    void setText(QStringView scanText);

    // The summary of the scan line, one statement a line.
    QStringList explanation() const;

    // The bytes, the carriage return counted; from the first to the carriage
    // return (to the last byte when none is known) and the longest pause between
    // two of them, in microseconds.
    qsizetype bytes() const { return m_bytes; }
    qint64 span() const;
    qint64 longestGap() const { return m_longestGap; }
    // The bytes after the last digit, by name: "CR LF".
    QString ending() const { return m_after.names(); }
    QString between() const { return m_among.names(); }

private:
    // Bytes of one place (before, among or after the digits): how many, and the
    // first few of them, which are named.
    struct Named
    {
        static constexpr qsizetype Kept = 8;
        std::array<quint8, Kept> codes {};
        qsizetype count = 0;

        void keep(quint8 code);
        QString names() const;
    };

    void note(qint64 micros);

    qsizetype m_bytes = 0;
    qint64 m_first = -1;
    qint64 m_last = -1;
    qint64 m_carriageReturn = -1;
    qint64 m_longestGap = -1;
    bool m_sawDigit = false;
    Named m_before;
    Named m_among;
    Named m_after;
    qsizetype m_digits = 0;
    qsizetype m_others = 0;
};
