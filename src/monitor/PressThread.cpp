#include "PressThread.h"

#include "PressLink.h"
#include "SampleSchedule.h"

#include <algorithm>
#include <chrono>

namespace {

const QString FaultRegister = QStringLiteral("B8176");
const QString CommErrorRegister = QStringLiteral("B8179");

qint64 steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

PressThread::PressThread(MonitorConfig::Press press, MonitorTiming timing, QObject* parent)
    : QThread(parent), m_press(std::move(press)), m_timing(timing) {
    qRegisterMetaType<Plant::BoardInfo>();
    qRegisterMetaType<PressThread::Sample>();
}

PressThread::~PressThread() {
    requestStop();
    wait();
}

void PressThread::requestStop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

bool PressThread::stopping() {
    std::lock_guard lock(m_mutex);
    return m_stop;
}

bool PressThread::waitUntil(qint64 dueMs) {
    std::unique_lock lock(m_mutex);
    const auto due = std::chrono::steady_clock::time_point(std::chrono::milliseconds(dueMs));
    return !m_wake.wait_until(lock, due, [this] { return m_stop; });
}

std::optional<PressThread::Sample> PressThread::takeSample(PressLink& link) {
    Sample sample;
    sample.values.time = m_wall.now();
    for (const QString& address : m_press.registers) {
        if (const auto value = link.read(address))
            sample.values.values.insert(address, *value);
        else if (link.lost())
            return std::nullopt;
    }
    sample.fault = link.read(FaultRegister);
    if (!link.lost())
        sample.commError = link.read(CommErrorRegister);
    if (link.lost())
        return std::nullopt;
    return sample;
}

void PressThread::run() {
    PressLink link(m_press.port);
    int backOffMs = m_timing.retryMinMs;
    while (!stopping()) {
        if (const auto failure = link.open()) {
            emit linkDown(*failure);
            if (!waitUntil(steadyMs() + backOffMs))
                break;
            backOffMs = std::min(backOffMs * 2, m_timing.retryMaxMs);
            continue;
        }
        SampleSchedule schedule(m_press.everyMs);
        schedule.start(steadyMs());
        const auto board = link.identity();
        if (const auto first = board ? takeSample(link) : std::nullopt) {
            emit linkUp(*board, *first);
            backOffMs = m_timing.retryMinMs;
            for (qint64 dueMs = schedule.next(steadyMs()); waitUntil(dueMs);
                 dueMs = schedule.next(steadyMs())) {
                const auto sample = takeSample(link);
                if (!sample)
                    break;
                emit sampled(*sample);
            }
        }
        if (stopping())
            break;
        emit linkDown(link.lostReason());
        link.close();
        if (!waitUntil(steadyMs() + backOffMs))
            break;
        backOffMs = std::min(backOffMs * 2, m_timing.retryMaxMs);
    }
    link.close();
}
