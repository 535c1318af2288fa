#pragma once

// A register of the simulated board that moves right under a read: once the
// host has read the byte at an address (address high, then address low, in
// read mode), the board changes its memory, once. A read that takes a word's
// bytes one after another then puts together bytes of two moments (a
// position going from 255 to 256 reads 511).
#include "BoardSimulator.h"

#include <functional>
#include <memory>

inline void MoveUnderTheRead(BoardSimulator& board, int address,
                             std::function<void(BoardMemory&)> move) {
    auto previous = std::make_shared<int>(-1);
    auto moved = std::make_shared<bool>(false);
    board.faults().wrongEchoWhen = [&board, address, move = std::move(move), previous,
                                    moved](qint64, quint8 byte) {
        const bool read = board.mode() == BoardSimulator::Mode::Read &&
                          *previous == (address >> 8) && byte == (address & 0xFF);
        if (read && !*moved) {
            move(board.memory());
            *moved = true;
        }
        *previous = byte;
        return false;
    };
}

// The word at address (low byte first) holds value once its low byte was read.
inline void MoveWordUnderTheRead(BoardSimulator& board, int address, int value) {
    MoveUnderTheRead(board, address,
                     [address, value](BoardMemory& m) { m.setWord(address, value); });
}
