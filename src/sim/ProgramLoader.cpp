#include "ProgramLoader.h"

#include "BoardProtocol.h"

using BoardProtocol::Acknowledge;
using BoardProtocol::Attention;

void ProgramLoader::begin() {
    m_position = 0;
    m_records = 0;
}

std::optional<quint8> ProgramLoader::receive(quint8 byte, bool& done) {
    done = false;
    if (m_position == 0) {
        if (byte == Attention) {
            m_memory.setByte(ArmRegister, 0);
            done = true;
            return Acknowledge;
        }
        if (m_records == m_faults.programSilentFromRecord)
            m_faults.silentFromByte = 0; // from this byte on, for good
        m_count = byte;
        m_sum = byte;
        m_position = 1;
        return std::nullopt;
    }
    if (m_position == 1) {
        m_address = byte * 256;
    } else if (m_position == 2) {
        m_address += byte;
    } else {
        m_memory.setByte(m_address + m_position - 3, byte);
    }
    m_sum += byte;
    ++m_position;
    if (m_position < 3 + m_count)
        return std::nullopt;
    m_position = 0;
    const bool bad = m_records == m_faults.programBadSumRecord;
    ++m_records;
    return quint8((m_sum + (bad ? 1 : 0)) & 0xFF);
}
