#include "details/eventdetails.h"

#include "analysis/readanalysis.h"
#include "codes/findingtext.h"
#include "codes/readtext.h"
#include "details/sessionclock.h"
#include "devices/keydevices.h"
#include "logstore/eventlines.h"
#include "text/hexdigit.h"

#include <algorithm>

namespace {

// A tooltip analyses a read of at most this many codes, so that hovering stays
// quick; a longer read is analysed in the window, up to WindowLimit codes.
constexpr qsizetype TooltipLimit = 4096;
constexpr qsizetype WindowLimit = 100'000;
// A scan line lists at most this many of the reads it joins, and looks at no
// more than ScanWalkLimit of its bytes to do it.
constexpr qsizetype ListedReads = 20;
constexpr qsizetype ScanWalkLimit = 20'000;
constexpr qsizetype ListedDigits = 64;

template<typename It, typename Row>
qsizetype countIn(It begin, It end, qsizetype first, qsizetype last, Row row)
{
    const auto from = std::lower_bound(begin, end, first,
        [&](const auto &item, qsizetype wanted) { return row(item) < wanted; });
    const auto to = std::upper_bound(begin, end, last,
        [&](qsizetype wanted, const auto &item) { return wanted < row(item); });
    return to > from ? qsizetype(to - from) : 0;
}

QString shortened(const QString &digits, qsizetype total)
{
    return total > digits.size() ? digits + QStringLiteral("… (всего %1)").arg(total) : digits;
}

// The devices of a read's keys, each once in the order they came, then named. A
// read has few devices, so looking through those seen costs next to nothing.
struct ReadDevices
{
    QList<quint16> seen;
    qsizetype without = 0;

    void note(quint16 device)
    {
        if (!KeyDevices::device(device))
            ++without;
        else if (std::none_of(seen.begin(), seen.end(),
                     [device](quint16 one) { return KeyDevices::same(one, device); }))
            seen.append(device);
    }
    void name(ReadKeys &keys) const
    {
        for (const quint16 device : seen)
            keys.devices.append(KeyDevices::shortName(device));
        keys.keysWithoutDevice = without;
    }
};

} // namespace

EventDetails::ReadCodes EventDetails::readCodes(
    const ReadLog::Read &read, const EventLines &lines, qsizetype limit) const
{
    ReadCodes out;
    const auto take = [&](int code, qint64 micros) {
        out.codes.append(char(code));
        out.micros.append(micros);
    };
    const auto keyRow = [](qsizetype row) { return row; };
    const qsizetype keysIn = countIn(m_keyRows.begin(), m_keyRows.end(), read.first, read.last, keyRow);
    if (read.mode == ReadMode::Keyboard) {
        out.total = keysIn;
        ReadDevices devices;
        for (auto it = std::lower_bound(m_keyRows.begin(), m_keyRows.end(), read.first);
             it != m_keyRows.end() && *it <= read.last && out.codes.size() < limit; ++it) {
            take(lines.code(*it), m_times.at(*it));
            const KeyOrigin &origin = m_keyOrigins[std::size_t(it - m_keyRows.begin())];
            devices.note(origin.device);
            const QChar ch = origin.typed.size() == 1 ? origin.typed[0] : QChar();
            if (origin.nativeScanCode != 0 && !origin.composed && ch.isLetter()
                && ch.isUpper() != ch.isLower()) {
                ++out.keys.letters;
                const bool shift = origin.modifiers.testFlag(Qt::ShiftModifier);
                out.keys.caseAgainstShift += shift == ch.isLower() ? 1 : 0;
            }
        }
        devices.name(out.keys);
        return out;
    }

    // The port's bytes: the read's lines but keys and scan lines, and the
    // carriage return that the log keeps no line for, before the LF of a CR LF.
    const qint64 returnAt = read.returnAfterMicros < 0 ? -1 : m_times.at(read.first) + read.returnAfterMicros;
    const qsizetype scansIn = countIn(m_scans.begin(), m_scans.end(), read.first, read.last,
        [](const ScanRecord &scan) { return scan.row; });
    out.total = read.last - read.first + 1 - keysIn - scansIn + (returnAt >= 0 ? 1 : 0);
    auto key = std::lower_bound(m_keyRows.begin(), m_keyRows.end(), read.first);
    auto scan = std::lower_bound(m_scans.begin(), m_scans.end(), read.first,
        [](const ScanRecord &s, qsizetype wanted) { return s.row < wanted; });
    bool returned = returnAt < 0;
    for (qsizetype row = read.first; row <= read.last && out.codes.size() < limit; ++row) {
        if (key != m_keyRows.end() && *key == row) {
            ++key;
            continue;
        }
        if (scan != m_scans.end() && scan->row == row) {
            ++scan;
            continue;
        }
        const int code = lines.code(row);
        if (code < 0)
            continue;
        if (!returned && row == read.last && code == 10 && row != read.first) {
            take(13, returnAt);
            returned = true;
        }
        take(code, m_times.at(row));
    }
    if (!returned && out.codes.size() < limit)
        take(13, returnAt);
    return out;
}

std::optional<ReadLog::Read> EventDetails::readOf(qsizetype row, const EventLines &lines) const
{
    if (row < 0 || row >= m_times.size())
        return std::nullopt;
    const qint64 now = SessionClock::now();
    switch (kind(row, lines)) {
    case Kind::Key:
        return m_reads.readAt(row, ReadMode::Keyboard, now);
    case Kind::Character:
        return m_reads.readAt(row, ReadMode::Serial, now);
    case Kind::Scan: {
        const ScanRecord *scan = scanRecord(row);
        const std::vector<ReadLog::Read> reads = m_reads.portReadsEndedIn(scan->firstReturn, row, now);
        if (reads.empty())
            return std::nullopt;
        return reads.back();
    }
    case Kind::Other:
        break;
    }
    return std::nullopt;
}

QString EventDetails::readAnalysis(qsizetype row, const EventLines &lines) const
{
    const std::optional<ReadLog::Read> read = readOf(row, lines);
    if (!read)
        return {};
    const ReadCodes codes = readCodes(*read, lines, WindowLimit);
    QString text = analyzeRead(codes.codes, codes.micros, read->mode, codes.keys).fullText;
    if (codes.total > codes.codes.size())
        text.prepend(QStringLiteral("Разобраны первые %1 символов чтения из %2.\n\n")
                         .arg(codes.codes.size())
                         .arg(codes.total));
    if (!read->complete)
        text.prepend(FindingText::sentence({ Finding::Kind::MayContinue, -1, {}, {} }) + QStringLiteral("\n\n"));
    return text;
}

QStringList EventDetails::readExplanation(qsizetype row, Kind lineKind, const EventLines &lines) const
{
    if (lineKind == Kind::Scan)
        return scanLineReads(*scanRecord(row), lines);
    if (lineKind != Kind::Key && lineKind != Kind::Character)
        return {};
    const ReadMode mode = lineKind == Kind::Key ? ReadMode::Keyboard : ReadMode::Serial;
    const std::optional<ReadLog::Read> read = m_reads.readAt(row, mode, SessionClock::now());
    // The analysis goes to a read's last line; a read of the port that a carriage
    // return ended has it on the scan line that commits it.
    if (!read || read->last != row || read->returnAfterMicros >= 0)
        return {};
    const ReadCodes codes = readCodes(*read, lines, TooltipLimit);
    QStringList text { read->complete ? QStringLiteral("Последний символ чтения.")
                                      : QStringLiteral("Последний символ чтения на сейчас.") };
    if (codes.total > codes.codes.size()) {
        text.append(QStringLiteral("Чтение из %1 символов: разбор — «Разобрать чтение…» "
                                   "в контекстном меню.")
                        .arg(codes.total));
        return text;
    }
    text.append(analyzeRead(codes.codes, codes.micros, mode, codes.keys).tooltip);
    return text;
}

QStringList EventDetails::scanLineReads(const ScanRecord &scan, const EventLines &lines) const
{
    const qsizetype first = &scan == &m_scans.front() ? 0 : (&scan - 1)->row + 1;
    const std::vector<ReadLog::Read> reads
        = m_reads.portReadsEndedIn(scan.firstReturn, scan.row, SessionClock::now());
    QStringList text;
    if (scan.row - first <= ScanWalkLimit) {
        // Each read's digits that went into this scan line, and the digits after
        // the last carriage return that joined it before the commit's tick.
        QList<ScanLineRead> listed;
        qsizetype portDigits = 0;
        qsizetype row = first;
        const auto digitsUpTo = [&](qsizetype last) {
            QString digits;
            qsizetype count = 0;
            for (; row <= last && row < scan.row; ++row) {
                const int code = lines.code(row);
                if (code < 0 || !isHexDigitCode(char16_t(code)) || kind(row, lines) != Kind::Character)
                    continue;
                if (++count <= ListedDigits)
                    digits += QChar(code);
            }
            portDigits += count;
            return shortened(digits, count);
        };
        for (const ReadLog::Read &read : reads) {
            const QString digits = digitsUpTo(read.last);
            if (listed.size() < ListedReads)
                listed.append({ digits, {},
                    SessionClock::timeOfDay(m_times.at(read.first) + read.returnAfterMicros) });
        }
        const QString rest = digitsUpTo(scan.row - 1);
        if (!rest.isEmpty() && listed.size() < ListedReads)
            listed.append({ rest, {}, {} });
        text = describeScanLineReads(listed);
        const qsizetype shown = reads.size() + (rest.isEmpty() ? 0 : 1);
        if (shown > listed.size())
            text.append(QStringLiteral("…и ещё %1").arg(shown - listed.size()));
        const qsizetype typed = lines.length(scan.row) - portDigits;
        if (typed > 0)
            text.append(QStringLiteral("Набрано в поле оператором, не с порта: ")
                + ReadText::plural(typed, "символ", "символа", "символов") + u'.');
    } else if (reads.size() > 1) {
        text.append(ReadText::plural(qsizetype(reads.size()), "чтение", "чтения", "чтений")
            + QStringLiteral(" в одной строке."));
    }
    if (!reads.empty()) {
        const ReadCodes codes = readCodes(reads.back(), lines, TooltipLimit);
        if (codes.total <= codes.codes.size()) {
            if (reads.size() > 1)
                text.append(QStringLiteral("Последнее из них:"));
            text.append(analyzeRead(codes.codes, codes.micros, ReadMode::Serial).tooltip);
        }
    }
    return text;
}
