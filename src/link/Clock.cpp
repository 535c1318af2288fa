#include "Clock.h"

#include <QElapsedTimer>
#include <QThread>
#include <chrono>

namespace {
qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

SteadyClock::SteadyClock() : m_startNs(steadyNs()) {}

qint64 SteadyClock::nowMs() const {
    return (steadyNs() - m_startNs) / 1'000'000;
}

qint64 SteadyClock::nowUs() const {
    return (steadyNs() - m_startNs) / 1000;
}

void SteadyClock::sleepMs(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}
