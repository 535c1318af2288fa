#pragma once

// The simulated board's memory moves right after the host has read the byte
// at an address (address high, then low, in read mode): a read that takes a
// word's bytes one after another then puts two moments together.
#include "BoardSimulator.h"

#include <functional>
#include <memory>

inline void MoveUnderTheRead(BoardSimulator& board, int address,
                             std::function<void(BoardMemory&)> move) {
    auto previous = std::make_shared<int>(-1);
    board.faults().wrongEchoWhen = [=, &board](qint64, quint8 byte) {
        if (board.mode() == BoardSimulator::Mode::Read && *previous == address >> 8 &&
            byte == (address & 0xFF))
            move(board.memory());
        *previous = byte;
        return false;
    };
}
