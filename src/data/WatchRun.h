#pragma once

#include "SampleTime.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Clock;
class RSComm;

// What to watch: the registers read in turn for each sample, how far apart
// samples start (0: back to back, as fast as the wire allows), and when to end.
struct WatchPlan {
    QStringList addresses;
    qint64 everyMs = 0;
    std::optional<qint64> count;
    std::optional<qint64> durationMs;
};

// Samples registers on an online link and hands out each sample as a CSV
// line (header first), until the plan is done, a stop is asked for or the
// link is lost. Each value is read whole (SampleRead). Synchronous: it waits on the link's clock,
// so tests run it on the virtual clock.
class WatchRun {
public:
    enum class End { Done, Stopped, LinkLost };
    // Waits are cut into slices this long, so that a stop is seen soon.
    static constexpr int StopCheckMs = 50;

    // clock: the monotonic clock the link waits on, which keeps the
    // schedule; wall: the clock that times each row.
    WatchRun(RSComm& link, Clock& clock, WatchPlan plan,
             std::function<void(const QString&)> writeLine,
             SampleTime::WallClock wall = SampleTime::systemMs);

    // Checked between reads and while waiting for the next sample; a sample
    // that has begun is finished first, so that every row is whole.
    std::function<bool()> stopRequested;

    End run();
    qint64 rows() const { return m_rows; }

private:
    bool stop() const { return stopRequested && stopRequested(); }
    // Waits until the monotonic time dueMs; false when a stop came first.
    bool waitUntil(qint64 dueMs);

    RSComm& m_link;
    Clock& m_clock;
    WatchPlan m_plan;
    std::function<void(const QString&)> m_writeLine;
    SampleTime m_time;
    qint64 m_rows = 0;
};
