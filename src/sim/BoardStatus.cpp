#include "BoardStatus.h"

namespace {

int daysInMonth(int month, int year) {
    switch (month) {
    case 2:
        return year % 4 == 0 ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

} // namespace

void BoardStatus::powerUp() {
    // A user program system fault now, a CO-CPU board fault before it.
    m_memory.setByte(CurrentFault, 0x45);
    m_memory.setByte(LastFault, 0x0A);
    m_memory.setByte(CoCpuSlot, 3);
    m_memory.setByte(CurrentCommError, 0);
    m_memory.setByte(LastCommError, 0x02);
    m_memory.setByte(NetworkAddress1, 5);
    m_memory.setByte(NetworkAddress2, 6);
    m_memory.setByte(Hour, 9);
    m_memory.setByte(Minute, 5);
    m_memory.setByte(Second, 7);
    m_memory.setByte(Month, 3);
    m_memory.setByte(Day, 14);
    m_memory.setByte(Year, 26);
}

void BoardStatus::raiseFault(int code) {
    m_memory.setByte(CurrentFault, code);
    m_memory.setByte(LastFault, code);
}

void BoardStatus::advanceTo(qint64 nowUs) {
    if (m_lastUs < 0 || nowUs <= m_lastUs) {
        if (m_lastUs < 0)
            m_lastUs = nowUs;
        return;
    }
    m_pendingUs += nowUs - m_lastUs;
    m_lastUs = nowUs;
    // A long pause (a suspended host) moves the clock on by a day at most.
    constexpr qint64 DayUs = 86'400'000'000LL;
    if (m_pendingUs > DayUs)
        m_pendingUs = DayUs;
    while (m_pendingUs >= 1'000'000) {
        m_pendingUs -= 1'000'000;
        tick();
        if (m_faultEvery > 0 && ++m_secondsToFault >= m_faultEvery) {
            m_secondsToFault = 0;
            toggleFault();
        }
    }
}

void BoardStatus::toggleFault() {
    if (m_memory.byte(CurrentFault) != 0) {
        m_memory.setByte(CurrentFault, 0);
        return;
    }
    constexpr int Codes[] = {0x5C, 0x45, 0x0A};
    raiseFault(Codes[m_nextFault]);
    m_nextFault = (m_nextFault + 1) % 3;
}

// One second on, with every carry. Values the host wrote out of range carry
// at once instead of counting on past their limit.
void BoardStatus::tick() {
    int second = m_memory.byte(Second) + 1;
    int minute = m_memory.byte(Minute);
    int hour = m_memory.byte(Hour);
    int day = m_memory.byte(Day);
    int month = m_memory.byte(Month);
    int year = m_memory.byte(Year);
    if (second > 59) {
        second = 0;
        ++minute;
    }
    if (minute > 59) {
        minute = 0;
        ++hour;
    }
    if (hour > 23) {
        hour = 0;
        ++day;
    }
    if (month < 1 || month > 12)
        month = 1;
    if (day > daysInMonth(month, year)) {
        day = 1;
        ++month;
    }
    if (month > 12) {
        month = 1;
        year = (year + 1) % 100;
    }
    m_memory.setByte(Second, second);
    m_memory.setByte(Minute, minute);
    m_memory.setByte(Hour, hour);
    m_memory.setByte(Day, day);
    m_memory.setByte(Month, month);
    m_memory.setByte(Year, year);
}
