#pragma once

#include <QDateTime>
#include <functional>

// The calendar time of a sample: the wall clock read when the sample is
// taken. Samples are scheduled on a monotonic clock, but that clock stands
// still while a laptop sleeps: times counted on it from one reading of the
// wall clock would all be late by the length of every sleep since. So a
// jump of the wall clock (a suspend, the clock set) shows as a jump in the
// times, and no time is ever wrong.
class SampleTime {
public:
    // Milliseconds since the epoch, now.
    using WallClock = std::function<qint64()>;
    static qint64 systemMs() { return QDateTime::currentMSecsSinceEpoch(); }

    explicit SampleTime(WallClock wall = systemMs) : m_wall(std::move(wall)) {}

    qint64 epochMs() const { return m_wall(); }
    static QDateTime local(qint64 epochMs) { return QDateTime::fromMSecsSinceEpoch(epochMs); }
    QDateTime now() const { return local(epochMs()); }

private:
    WallClock m_wall;
};
