#include "ShiftEnd.h"

#include "BoardRegisters.h"

using namespace BoardRegisters;

bool ShiftEnd::check() {
    const bool flag = m_memory.flag(Flag);
    const bool rising = flag && !m_flagSeen;
    m_flagSeen = flag;
    if (!rising)
        return false;
    m_memory.setDword(LastShiftStrokes, m_memory.dword(ShiftStrokes));
    m_memory.setWord(LastShiftDieJams, m_memory.word(ShiftDieJams));
    for (int station = 0; station < 16; ++station)
        m_memory.setWord(LastShiftStationJams + 2 * station,
                         m_memory.word(ShiftStationJams + 2 * station));
    m_memory.setDword(ShiftStrokes, 0);
    m_memory.setWord(ShiftDieJams, 0);
    for (int station = 0; station < 16; ++station)
        m_memory.setWord(ShiftStationJams + 2 * station, 0);
    return true;
}
