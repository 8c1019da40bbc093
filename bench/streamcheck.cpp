#include "streamcheck.h"

#include "eventlines.h"
#include "hexdigit.h"

#include <utility>

StreamCheck::StreamCheck(const ScannerStream &stream, qint64 length)
    : m_stream(stream)
    , m_left(length)
{
}

int StreamCheck::peek()
{
    if (m_at == m_bytes.size()) {
        if (m_left == 0)
            return -1;
        m_bytes.clear();
        m_at = 0;
        m_stream.appendReads(m_bytes, 1 << 16);
        if (m_bytes.size() > m_left)
            m_bytes.truncate(m_left);
        m_left -= m_bytes.size();
    }
    return quint8(m_bytes.at(m_at));
}

void StreamCheck::takeCarriageReturns()
{
    while (peek() == '\r') {
        take();
        ++carriageReturns;
        ++m_armedHere;
    }
}

void StreamCheck::fault(const QString &what)
{
    if (faults++ == 0)
        firstFault = QStringLiteral("line %1: %2").arg(m_row).arg(what);
}

void StreamCheck::line(const QString &text)
{
    const int code = EventLines::characterCode(text);
    if (code >= 0) {
        takeCarriageReturns();
        const int byte = peek();
        if (byte != code) {
            fault(QStringLiteral("%1 where the byte sent was %2").arg(text).arg(byte));
        } else {
            take();
            if (isHexDigitCode(char16_t(byte)))
                m_digits += QChar(byte);
        }
        // The carriage returns before this byte were parsed before it.
        m_armedBefore += std::exchange(m_armedHere, 0);
        ++characterLines;
        m_lastWasScan = false;
    } else {
        takeCarriageReturns();
        if (m_armedBefore > 0)
            m_armedBefore = 0;
        else if (m_armedHere > 0)
            --m_armedHere; // the rest may arm the next commit
        else
            fault(QStringLiteral("a commit with no carriage return since the one before"));
        if (text != m_digits)
            fault(QStringLiteral("scan line \"%1\" where the digits sent were \"%2\"")
                      .arg(text.left(80), m_digits.left(80)));
        m_digits.clear();
        scanCharacters += text.size();
        ++scanLines;
        m_lastWasScan = true;
    }
    ++m_row;
}

void StreamCheck::finish(const QString &scanBox)
{
    takeCarriageReturns();
    // Carriage returns at the very end count for the last commit if one stands there.
    if (m_armedBefore > 0 || (m_armedHere > 0 && !m_lastWasScan))
        fault(QStringLiteral("a carriage return with no commit after it"));
    while (peek() >= 0) {
        take();
        ++missing;
    }
    if (missing > 0)
        fault(QStringLiteral("%1 bytes sent that no line shows").arg(missing));
    if (scanBox != m_digits)
        fault(QStringLiteral("scan box \"%1\" where the digits not committed were \"%2\"")
                  .arg(scanBox.left(80), m_digits.left(80)));
}
