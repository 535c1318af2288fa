#pragma once

#include "BoardMemory.h"
#include "BoardProtocol.h"
#include "Faults.h"

#include <QtGlobal>
#include <optional>

// The board's program loading. The host arms it by writing 86 to B8181; an
// attention byte and the mode byte 3 then start it. Records stream without
// answers: count, address high, address low and the count data bytes, which
// go into memory; the board answers each record with the low byte of the sum
// of its bytes. An attention byte at the start of a record ends loading (and
// disarms it).
class ProgramLoader {
public:
    static constexpr int ArmRegister = BoardProtocol::ArmRegister;
    static constexpr int ArmValue = BoardProtocol::ArmValue;

    ProgramLoader(BoardMemory& memory, Faults& faults) : m_memory(memory), m_faults(faults) {}

    bool armed() const { return m_memory.byte(ArmRegister) == ArmValue; }
    void begin();
    // One byte from the host. done is set when the byte ended loading.
    std::optional<quint8> receive(quint8 byte, bool& done);
    // Records loaded since the last begin.
    int records() const { return m_records; }

private:
    BoardMemory& m_memory;
    Faults& m_faults;
    int m_position = 0; // byte of the current record
    int m_count = 0;
    int m_address = 0;
    int m_sum = 0;
    int m_records = 0;
};
