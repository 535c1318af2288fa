#pragma once

#include "BoardMemory.h"

#include <QtGlobal>

// The board's status registers that the Target Board Interface reads: the
// fault and comm error codes, the CO-CPU slot, the network addresses, and a
// real-time clock that ticks in its registers (hour B43012, minute B43010,
// second B43008, month B43016, day B43015, year B43017). The host may write
// any of them; the clock counts on from what was written.
class BoardStatus {
public:
    static constexpr int CurrentFault = 8176;
    static constexpr int LastFault = 8177;
    static constexpr int CoCpuSlot = 8175;
    static constexpr int CurrentCommError = 8179;
    static constexpr int LastCommError = 8178;
    static constexpr int NetworkAddress1 = 8180;
    static constexpr int NetworkAddress2 = 8191;
    static constexpr int Second = 43008;
    static constexpr int Minute = 43010;
    static constexpr int Hour = 43012;
    static constexpr int Day = 43015;
    static constexpr int Month = 43016;
    static constexpr int Year = 43017;

    explicit BoardStatus(BoardMemory& memory) : m_memory(memory) {}

    // Codes and addresses of a board that has seen a fault; the clock set to
    // 2026-03-14 09:05:07.
    void powerUp();
    // The clock moves on to the given time (microseconds, any origin).
    void advanceTo(qint64 nowUs);
    // Raises a fault as the board does: it becomes the current and the last.
    void raiseFault(int code);
    // Every so many seconds of board time the current fault clears, or a
    // fault is raised (5CH, 45H, 0AH in turn), as a press in a plant sees
    // them come and go. 0: never.
    void setFaultEvery(int seconds) { m_faultEvery = seconds > 0 ? seconds : 0; }

private:
    void tick();
    void toggleFault();

    BoardMemory& m_memory;
    qint64 m_lastUs = -1;
    qint64 m_pendingUs = 0;
    int m_faultEvery = 0;
    int m_secondsToFault = 0;
    int m_nextFault = 0;
};
