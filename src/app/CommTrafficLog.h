#pragma once

#include "Exchange.h"

#include <QtGlobal>
#include <array>
#include <vector>

// What the Comm Traffic window keeps of the link's exchanges: the last
// Capacity of them in a ring (memory stays bounded however long it runs),
// and counts of exchanges, resends, time-outs and wrong echoes for each
// second of the last minute. Telling it an exchange costs a copy and a few
// additions; the window formats only the lines it shows.
class CommTrafficLog final : public ExchangeObserver {
public:
    static constexpr int Capacity = 20000;

    struct Counts {
        int exchanges = 0;
        int resends = 0;
        int timeOuts = 0;
        int wrongEchoes = 0;
    };

    CommTrafficLog();

    void exchanged(const Exchange& exchange) override;

    // Paused, exchanges are counted but not kept.
    void setPaused(bool paused) { m_paused = paused; }
    bool paused() const { return m_paused; }
    // Forgets the lines and the counts.
    void clear();

    // Lines kept, the oldest first.
    int size() const { return m_size; }
    const Exchange& at(int index) const;
    // Grows with every line kept; tells a reader that something changed.
    quint64 kept() const { return m_kept; }
    // The time of the first exchange kept since the last clear: the lines' 0.
    qint64 originUs() const { return m_originUs; }

    // The counts of the minute up to nowUs (the link clock).
    Counts lastMinute(qint64 nowUs) const;

private:
    struct Second {
        qint64 second = -1;
        Counts counts;
    };

    std::vector<Exchange> m_ring;
    int m_first = 0;
    int m_size = 0;
    quint64 m_kept = 0;
    qint64 m_originUs = 0;
    bool m_paused = false;
    std::array<Second, 60> m_seconds{};
};
