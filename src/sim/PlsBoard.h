#pragma once

#include "BoardMemory.h"
#include "Faults.h"

#include <QtGlobal>
#include <optional>

// The board's programmable limit switch: the PLS commands that follow an
// attention handshake with a PLS command byte.
class PlsBoard {
public:
    PlsBoard(BoardMemory& memory, const Faults& faults);

    // True when commandByte starts a PLS command.
    static bool isCommand(int commandByte);
    // The handshake ended with this command byte (answered 85 by the caller).
    void begin(int commandByte, qint64 nowUs);
    // One byte of the command; the answer. done is set when the command is over
    // and the board goes back to waiting for an attention byte.
    quint8 receive(quint8 byte, qint64 nowUs, bool& done);

    // The machine's angle moves the resolver position (0..359 degrees of a turn).
    void setMachineAngle(double degrees) { m_angle = degrees; }
    double machineAngle() const { return m_angle; }

private:
    BoardMemory& m_memory;
    const Faults& m_faults;
    int m_command = 0;
    int m_index = 0;
    double m_angle = 0;
};
