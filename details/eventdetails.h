#pragma once

#include "analysis/readanalysis.h"
#include "details/keyorigin.h"
#include "details/readlog.h"
#include "details/scansummary.h"
#include "logstore/linetimes.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

class EventLines;

// What the log keeps beside its lines so that each can explain itself: the moment
// of every line, which lines are key lines (and what made them) and which are scan
// lines (and the summary of their bytes). Character lines, nearly all of the log,
// cost only their time; key and scan lines are few and kept in side lists. A
// scan's summary is made as its bytes come and kept when the scan line is added,
// so explaining a scan line never means reading the bytes before it. Where the
// scanner's reads begin and end is kept beside, a small record a read.
class EventDetails
{
public:
    enum class Kind { Character, Key, Scan, Other };

    // Every line the log adds, in order, with its moment (SessionClock): a line
    // of a byte from the port (its bytes make up the next scan), a key line, a
    // scan line with the text committed, or any other line.
    void addCharacterLine(quint8 code, qint64 micros);
    void addKeyLine(qint64 micros, const KeyOrigin &origin);
    void addScanLine(qint64 micros, QStringView text);
    void addLine(qint64 micros) { m_times.append(micros); }
    // A carriage return armed the commit after the lines so far; the next scan
    // line ends there.
    void noteCarriageReturn(qint64 micros) { m_scan.addCarriageReturn(micros); }
    void clear();

    // Where the reads begin and end; the log feeds it as lines arrive.
    ReadLog &reads() { return m_reads; }
    // The codes of a read as the scanner sent them, a carriage return of the port
    // at its place, with their moments: at most limit codes from its start.
    struct ReadCodes
    {
        QByteArray codes;
        QList<qint64> micros;
        qsizetype total = 0; // the read's codes, also those past the limit
        ReadKeys keys; // a keyboard read's: its letters' case against Shift
    };
    ReadCodes readCodes(const ReadLog::Read &read, const EventLines &lines, qsizetype limit) const;
    // The read a line belongs to: for a scan line, the last read it commits.
    std::optional<ReadLog::Read> readOf(qsizetype row, const EventLines &lines) const;
    // The full analysis of the read a line belongs to, for the analysis window;
    // empty when the line belongs to none.
    QString readAnalysis(qsizetype row, const EventLines &lines) const;

    Kind kind(qsizetype row, const EventLines &lines) const;
    qint64 time(qsizetype row) const { return m_times.at(row); }

    // The line explained in plain text, one statement a line: the tooltip and the
    // accessible description.
    QString describe(qsizetype row, const EventLines &lines) const;
    // What made up a scan line: its bytes since the previous scan line or clearing.
    ScanSummary scanSummary(qsizetype row) const;
    // The line as the fields of a copied row: time of day, gap in milliseconds
    // (none for a scan line, whose summary tells what its bytes took), text, hex
    // value, explanation.
    QStringList fields(qsizetype row, const EventLines &lines) const;
    // What the line says beyond its time and gap, one statement a line.
    QStringList explanation(qsizetype row, const EventLines &lines) const;
    // The line before this one that the gap is measured from: the previous key
    // line for a key line, else the previous line; -1 when there is none or the
    // line is a scan line (its moment is the commit's, not the scanner's).
    qsizetype gapFrom(qsizetype row, Kind kind) const;

private:
    struct ScanRecord
    {
        qsizetype row;
        ScanSummary summary;
        qsizetype firstReturn; // of the reads it commits (ReadLog)
    };

    qsizetype keyIndex(qsizetype row) const;
    const ScanRecord *scanRecord(qsizetype row) const;
    // What the tooltip of a line says of the read it ends, or the reads a scan
    // line commits; empty for other lines.
    QStringList readExplanation(qsizetype row, Kind kind, const EventLines &lines) const;
    QStringList scanLineReads(const ScanRecord &scan, const EventLines &lines) const;

    LineTimes m_times;
    std::vector<qsizetype> m_keyRows; // ascending
    std::vector<KeyOrigin> m_keyOrigins;
    std::vector<ScanRecord> m_scans; // ascending by row
    // The bytes since the last scan line or clearing.
    ScanSummary m_scan;
    ReadLog m_reads;
};
