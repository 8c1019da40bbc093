#include "log/eventlog.h"

#include "details/sessionclock.h"
#include "errors/runtimeerror.h"
#include "log/readwindow.h"

#include <QTimer>

void EventLog::setReportingReads(bool on)
{
    if (!on) {
        delete m_readTimer;
        m_readTimer = nullptr;
        m_readCheckDue = false;
        return;
    }
    if (m_readTimer)
        return;
    // Reads that ended before this are not news.
    m_details.reads().takeEnded(SessionClock::now());
    m_readTimer = new QTimer(this);
    m_readTimer->setSingleShot(true);
    m_readTimer->setInterval(0);
    connect(m_readTimer, &QTimer::timeout, this, [this] { untrapped([this] { reportEndedReads(); }); });
    m_readCheckDue = true;
    m_readTimer->start();
}

void EventLog::reportEndedReads()
{
    // A read ends when the next one begins or after a pause; the timer comes
    // back when the pause of the read under way would end it.
    m_readCheckDue = false;
    const qint64 now = SessionClock::now();
    const std::vector<ReadLog::Read> ended = m_details.reads().takeEnded(now);
    const qint64 wait = m_details.reads().pauseToEnd(now);
    if (wait >= 0)
        m_readTimer->start(int((wait + 999) / 1000));
    // The slot of a receiver may be anything: a copy of the list keeps going if
    // a receiver clears the log.
    const quint64 generation = m_generation;
    for (const ReadLog::Read &read : ended) {
        if (generation != m_generation)
            break;
        const EventDetails::ReadCodes codes = m_details.readCodes(read, m_lines, MaxReportedCodes);
        emit readEnded(codes.codes, codes.micros, read.mode);
    }
}

void EventLog::wakeReadTimer()
{
    // A line may end a read (Enter, a carriage return, the first line of the next
    // read) or change how long the pause that ends it is: the reads are looked at
    // again at once, whatever the timer waited for. Once per turn of the event
    // loop, not once per byte of a flood.
    if (!m_readCheckDue) {
        m_readCheckDue = true;
        m_readTimer->start(0);
    }
}

void EventLog::showReadAnalysis(qsizetype row)
{
    const QString text = readAnalysis(row);
    if (text.isEmpty())
        return;
    if (!m_readWindow)
        m_readWindow = new ReadWindow(this);
    m_readWindow->showAnalysis(QStringLiteral("Разбор чтения — строка %1").arg(row + 1), text);
}
