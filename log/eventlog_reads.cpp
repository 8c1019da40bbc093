#include "eventlog.h"

#include "readwindow.h"
#include "runtimeerror.h"
#include "sessionclock.h"

#include <QTimer>

void EventLog::setReportingReads(bool on)
{
    if (!on) {
        delete m_readTimer;
        m_readTimer = nullptr;
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
    m_readTimer->start();
}

void EventLog::reportEndedReads()
{
    // A read ends when the next one begins or after a pause; the timer comes
    // back when the pause of the read under way would end it.
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
        emit readEnded(m_details.readCodes(read, m_lines, MaxReportedCodes).codes, read.mode);
    }
}

void EventLog::wakeReadTimer()
{
    if (!m_readTimer->isActive())
        m_readTimer->start(0);
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
