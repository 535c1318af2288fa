#include "CommTrafficLog.h"

#include "TrafficText.h"

CommTrafficLog::CommTrafficLog() {
    m_ring.resize(Capacity);
}

void CommTrafficLog::exchanged(const Exchange& exchange) {
    const qint64 second = exchange.atUs / 1'000'000;
    Second& slot = m_seconds[size_t(second % qint64(m_seconds.size()))];
    if (slot.second != second)
        slot = Second{second, {}};
    slot.counts.exchanges += TrafficText::isExchange(exchange);
    slot.counts.resends += TrafficText::isResend(exchange);
    slot.counts.timeOuts += TrafficText::isTimeOut(exchange);
    slot.counts.wrongEchoes += TrafficText::isWrongEcho(exchange);
    if (m_paused)
        return;
    if (m_size == 0)
        m_originUs = exchange.atUs;
    if (m_size < Capacity) {
        m_ring[size_t((m_first + m_size) % Capacity)] = exchange;
        ++m_size;
    } else {
        m_ring[size_t(m_first)] = exchange;
        m_first = (m_first + 1) % Capacity;
    }
    ++m_kept;
}

void CommTrafficLog::clear() {
    m_first = 0;
    m_size = 0;
    ++m_kept;
    m_seconds.fill({});
}

const Exchange& CommTrafficLog::at(int index) const {
    return m_ring[size_t((m_first + index) % Capacity)];
}

CommTrafficLog::Counts CommTrafficLog::lastMinute(qint64 nowUs) const {
    const qint64 now = nowUs / 1'000'000;
    Counts sum;
    for (const Second& s : m_seconds) {
        if (s.second < 0 || s.second > now || now - s.second >= qint64(m_seconds.size()))
            continue;
        sum.exchanges += s.counts.exchanges;
        sum.resends += s.counts.resends;
        sum.timeOuts += s.counts.timeOuts;
        sum.wrongEchoes += s.counts.wrongEchoes;
    }
    return sum;
}
