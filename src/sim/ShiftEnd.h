#pragma once

#include "BoardMemory.h"

// The end of a shift: when the host sets flag F32, the board moves the
// current shift's strokes and die jams (total and per station) into the
// last shift and starts the new shift at zero. Once per press: the flag
// must drop before the next shift can end.
class ShiftEnd {
public:
    static constexpr int Flag = 32;

    explicit ShiftEnd(BoardMemory& memory) : m_memory(memory) {}

    // True when the shift ended just now.
    bool check();

private:
    BoardMemory& m_memory;
    bool m_flagSeen = false;
};
