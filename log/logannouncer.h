#pragma once

#include <QObject>
#include <QTimer>

class EventLog;

// Tells accessibility tools what became of the log's lines. Clearing is told at
// once: the model was reset, and every line item made for tools is dropped. New
// lines are told at most once per interval, however fast they come: a serial
// flood adds thousands of lines a second, and an event for each would flood the
// accessibility bus and the screen reader behind it.
class LogAnnouncer : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 100;

    explicit LogAnnouncer(EventLog *log);

    void added(qsizetype row);
    void cleared();

private:
    void announce();

    EventLog *m_log;
    QTimer m_timer;
    // The first line added since the last announcement; -1: none.
    qsizetype m_firstNew = -1;
};
