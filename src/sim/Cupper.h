#pragma once

#include "BoardMemory.h"

#include <QtGlobal>

class PlsBoard;

// The machine behind the registers: a cupper that turns, counts strokes and
// jams, and shows it in the board's memory.
class Cupper {
public:
    Cupper(BoardMemory& memory, PlsBoard& pls);

    // Fills the memory with a plausible board at power-up.
    void powerUp();
    // Moves the machine on to the given time (microseconds, any origin).
    void advanceTo(qint64 nowUs);

private:
    BoardMemory& m_memory;
    PlsBoard& m_pls;
    qint64 m_lastUs = -1;
    double m_angle = 0;   // degrees
    double m_strokes = 0; // fractional strokes of the current shift
};
