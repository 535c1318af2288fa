#pragma once

#include "Clock.h"

#include <QDateTime>

// The calendar time of a sample, counted on the monotonic clock from one
// reading of the wall clock: the times of a run never jump when the system
// clock is set, and tests run hours on a virtual clock in no wall time.
class SampleTime {
public:
    explicit SampleTime(const Clock& clock, QDateTime wallAtStart = QDateTime::currentDateTime())
        : m_clock(clock), m_monoAtStartMs(clock.nowMs()),
          m_epochAtStartMs(wallAtStart.toMSecsSinceEpoch()) {}

    qint64 epochMs() const { return m_epochAtStartMs + (m_clock.nowMs() - m_monoAtStartMs); }
    static QDateTime local(qint64 epochMs) { return QDateTime::fromMSecsSinceEpoch(epochMs); }
    QDateTime now() const { return local(epochMs()); }

private:
    const Clock& m_clock;
    qint64 m_monoAtStartMs;
    qint64 m_epochAtStartMs;
};
