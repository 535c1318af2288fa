#include "WatchRun.h"

#include "Clock.h"
#include "RSComm.h"
#include "SampleCsv.h"
#include "SampleRead.h"
#include "SampleSchedule.h"

#include <algorithm>

WatchRun::WatchRun(RSComm& link, Clock& clock, WatchPlan plan,
                   std::function<void(const QString&)> writeLine, SampleTime::WallClock wall)
    : m_link(link), m_clock(clock), m_plan(std::move(plan)), m_writeLine(std::move(writeLine)),
      m_time(std::move(wall)) {}

bool WatchRun::waitUntil(qint64 dueMs) {
    for (qint64 now = m_clock.nowMs(); now < dueMs; now = m_clock.nowMs()) {
        if (stop())
            return false;
        m_clock.sleepMs(int(std::min<qint64>(dueMs - now, StopCheckMs)));
    }
    return !stop();
}

WatchRun::End WatchRun::run() {
    m_writeLine(SampleCsv::header(m_plan.addresses));
    SampleSchedule schedule(m_plan.everyMs);
    const qint64 startMs = m_clock.nowMs();
    schedule.start(startMs);
    qint64 dueMs = startMs;
    for (;;) {
        if (m_plan.count && m_rows >= *m_plan.count)
            return End::Done;
        if (m_plan.durationMs && dueMs - startMs >= *m_plan.durationMs)
            return End::Done;
        if (!waitUntil(dueMs))
            return End::Stopped;
        const QDateTime time = m_time.now();
        QList<std::optional<QString>> values;
        for (const QString& address : m_plan.addresses) {
            std::optional<QString> value = SampleRead::read(m_link, address);
            if (m_link.CommError())
                return End::LinkLost; // the rows so far stand; this one is incomplete
            values.append(std::move(value));
        }
        m_writeLine(SampleCsv::row(time, values));
        ++m_rows;
        if (stop())
            return End::Stopped;
        dueMs = schedule.next(m_clock.nowMs());
    }
}
