#pragma once

#include <QtGlobal>

// The link's one source of time. Deadlines are monotonic, so a wall clock that
// wraps at midnight or is set back never hangs a wait.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    // Finer, for what the link's observers are told of an exchange.
    virtual qint64 nowUs() const { return nowMs() * 1000; }
    virtual void sleepMs(int ms) = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock();
    qint64 nowMs() const override;
    qint64 nowUs() const override;
    void sleepMs(int ms) override;

private:
    qint64 m_startNs;
};

// Time that moves only when told to: tests wait seconds in no wall time.
class VirtualClock final : public Clock {
public:
    qint64 nowMs() const override { return m_nowUs / 1000; }
    qint64 nowUs() const override { return m_nowUs; }
    void sleepMs(int ms) override { m_nowUs += qint64(ms) * 1000; }
    void advanceUs(qint64 us) { m_nowUs += us; }

private:
    qint64 m_nowUs = 1'000'000'000;
};
