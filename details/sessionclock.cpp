#include "details/sessionclock.h"

#include "text/notation.h"

#include <QDateTime>

#include <chrono>

namespace {

struct Anchor
{
    std::chrono::steady_clock::time_point steady = std::chrono::steady_clock::now();
    QDateTime wall = QDateTime::currentDateTime();
    // The same, counted once: converting a local time costs a time zone lookup.
    qint64 wallMSecs = wall.toMSecsSinceEpoch();
};

const Anchor &anchor()
{
    static const Anchor taken;
    return taken;
}

SessionClock::Source source = nullptr;

} // namespace

qint64 SessionClock::now()
{
    if (source)
        return source();
    // The anchor first: taken by the first call, it must come before the moment
    // measured from it, or the session's first moment would be negative.
    const Anchor &start = anchor();
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start.steady)
        .count();
}

QString SessionClock::timeOfDay(qint64 micros)
{
    return Notation::timeOfDay(anchor().wall.addMSecs(micros / 1000).time());
}

void SessionClock::appendTimeOfDay(QString &out, qint64 micros, Second &second)
{
    const qint64 wall = anchor().wallMSecs + micros / 1000;
    const qint64 number = wall / 1000;
    if (number != second.number) {
        second.number = number;
        second.text = Notation::timeOfDay(QDateTime::fromMSecsSinceEpoch(number * 1000).time(), false);
    }
    const auto millis = int(wall % 1000);
    out += second.text;
    out += u'.';
    out += QChar(u'0' + millis / 100);
    out += QChar(u'0' + millis / 10 % 10);
    out += QChar(u'0' + millis % 10);
}

void SessionClock::setSource(Source replacement)
{
    source = replacement;
}
