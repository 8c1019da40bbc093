#include "sessionclock.h"

#include <QDateTime>

#include <chrono>

namespace {

struct Anchor
{
    std::chrono::steady_clock::time_point steady = std::chrono::steady_clock::now();
    QDateTime wall = QDateTime::currentDateTime();
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
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start.steady)
        .count();
}

QString SessionClock::timeOfDay(qint64 micros)
{
    return anchor().wall.addMSecs(micros / 1000).time().toString(QStringLiteral("hh:mm:ss.zzz"));
}

void SessionClock::setSource(Source replacement)
{
    source = replacement;
}
