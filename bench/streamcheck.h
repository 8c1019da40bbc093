#pragma once

#include "log/eventlog.h"
#include "logstore/eventlines.h"
#include "text/hexdigit.h"
#include "scannerstream.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <utility>

// Replays the bytes a scanner wrote against the log's lines, in order: every byte
// but a carriage return is the next character line; a scan line holds exactly the
// hex digits since the scan line before it, the scan box those since the last; a
// commit follows a carriage return since the one before, and none is left without
// one. A carriage return at a commit's place may have come before or after the
// tick: it counts for whichever commit needs it.
struct StreamCheck
{
    // The stream as it was before the first byte was written, and how many went out.
    StreamCheck(ScannerStream stream, qint64 length, const EventLog &log, const QString &scanBox)
    {
        QByteArray bytes; // the stream, 64 KiB at a time
        qsizetype at = 0;
        const auto peek = [&]() -> int {
            if (at == bytes.size() && length > 0) {
                bytes.clear();
                at = 0;
                stream.appendReads(bytes, 1 << 16);
                bytes.truncate(std::min<qint64>(bytes.size(), length));
                length -= bytes.size();
            }
            return at < bytes.size() ? quint8(bytes.at(at)) : -1;
        };
        qsizetype row = 0;
        const auto fault = [&](const QString &what) {
            if (faults++ == 0)
                firstFault = QStringLiteral("line %1: %2").arg(row).arg(what);
        };
        QString digits; // since the last commit
        qint64 armedBefore = 0; // carriage returns surely before the next commit
        qint64 armedHere = 0; // right at the current place: before or after a tick
        bool lastWasScan = false;
        for (;; ++row) {
            for (; peek() == '\r'; ++at, ++armedHere)
                ++carriageReturns;
            if (row == log.count())
                break;
            const QString text = log.item(row);
            const int code = EventLines::characterCode(text);
            lastWasScan = code < 0;
            if (code >= 0) {
                if (peek() != code) {
                    fault(QStringLiteral("%1 where the byte sent was %2").arg(text).arg(peek()));
                } else {
                    ++at;
                    if (isHexDigitCode(char16_t(code)))
                        digits += QChar(code);
                }
                armedBefore += std::exchange(armedHere, 0); // parsed before this byte
                ++characterLines;
                continue;
            }
            if (armedBefore > 0)
                armedBefore = 0;
            else if (armedHere > 0)
                --armedHere; // the rest may arm the next commit
            else
                fault(QStringLiteral("a commit with no carriage return since the one before"));
            if (text != digits)
                fault(QStringLiteral("scan line \"%1\" where the digits sent were \"%2\"")
                          .arg(text.left(80), digits.left(80)));
            digits.clear();
            scanCharacters += text.size();
            ++scanLines;
        }
        // Carriage returns at the very end count for the last commit if one stands there.
        if (armedBefore > 0 || (armedHere > 0 && !lastWasScan))
            fault(QStringLiteral("a carriage return with no commit after it"));
        for (; peek() >= 0; ++at)
            ++missing;
        if (missing > 0)
            fault(QStringLiteral("%1 bytes sent that no line shows").arg(missing));
        if (scanBox != digits)
            fault(QStringLiteral("scan box \"%1\" where the digits not committed were \"%2\"")
                      .arg(scanBox.left(80), digits.left(80)));
    }

    // What the lines held; bytes of the stream that no line accounts for are missing.
    qint64 characterLines = 0, scanLines = 0, carriageReturns = 0, missing = 0, faults = 0;
    qint64 scanCharacters = 0; // total length of the scan lines' texts
    QString firstFault;
};
