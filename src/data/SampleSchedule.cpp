#include "SampleSchedule.h"

qint64 SampleSchedule::next(qint64 nowMs) {
    if (m_intervalMs == 0)
        return nowMs;
    ++m_slot;
    const qint64 due = m_startMs + m_slot * m_intervalMs;
    if (due >= nowMs)
        return due;
    // Late: this one starts now, and the one after it at the first slot
    // still ahead.
    m_slot = (nowMs - m_startMs) / m_intervalMs;
    return nowMs;
}
