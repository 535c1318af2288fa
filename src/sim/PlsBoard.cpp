#include "PlsBoard.h"

PlsBoard::PlsBoard(BoardMemory& memory, const Faults& faults)
    : m_memory(memory), m_faults(faults) {}

bool PlsBoard::isCommand(int) {
    return false;
}

void PlsBoard::begin(int commandByte, qint64) {
    m_command = commandByte;
    m_index = 0;
}

quint8 PlsBoard::receive(quint8, qint64, bool& done) {
    done = true;
    return 0;
}
