#pragma once

#include <QtGlobal>

// When samples are due, on a monotonic clock: sample k at start + k * interval,
// so that the time spent reading never adds up into drift. A sample that
// ends after the next was due lets the next start at once; the slots it
// overran are skipped, never made up in a burst. Interval 0: back to back.
class SampleSchedule {
public:
    explicit SampleSchedule(qint64 intervalMs) : m_intervalMs(intervalMs > 0 ? intervalMs : 0) {}

    // The first sample is due now.
    void start(qint64 nowMs) {
        m_startMs = nowMs;
        m_slot = 0;
    }
    // After a sample that ended at nowMs: when the next one is due (nowMs
    // when it is due already).
    qint64 next(qint64 nowMs);
    qint64 intervalMs() const { return m_intervalMs; }

private:
    qint64 m_intervalMs;
    qint64 m_startMs = 0;
    qint64 m_slot = 0;
};
