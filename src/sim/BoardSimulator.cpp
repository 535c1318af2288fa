#include "BoardSimulator.h"

#include "BoardProtocol.h"

using BoardProtocol::Acknowledge;
using BoardProtocol::Attention;
using BoardProtocol::ProgramLoadModeByte;
using BoardProtocol::ReadModeByte;
using BoardProtocol::WriteModeByte;

BoardSimulator::BoardSimulator()
    : m_pls(m_memory, m_faults), m_cupper(m_memory, m_pls), m_program(m_memory, m_faults) {
    m_cupper.powerUp();
    m_status.powerUp();
    m_df1.powerUp();
}

QByteArray BoardSimulator::receive(quint8 byte, qint64 nowUs) {
    const qint64 index = m_received++;
    advanceTo(nowUs);
    std::optional<quint8> reply = answer(byte, nowUs);
    if (index == m_faults.silentFromByte)
        m_silentSinceUs = nowUs;
    if (m_faults.silentFromByte >= 0 && index >= m_faults.silentFromByte &&
        (m_faults.silentForUs < 0 || nowUs - m_silentSinceUs < m_faults.silentForUs))
        return {};
    if (index == m_faults.dropAnswerAt)
        return {};
    QByteArray out;
    if (reply) {
        if (index == m_faults.wrongEchoAt ||
            (m_faults.wrongEchoWhen && m_faults.wrongEchoWhen(index, byte))) {
            // Line noise: the board misheard the byte, and drops the record it was in.
            reply = quint8(*reply + 1);
            m_position = 0;
        }
        out.append(char(*reply));
    }
    if (index == m_faults.garbageAt)
        out.append(m_faults.garbage);
    return out;
}

std::optional<quint8> BoardSimulator::answer(quint8 byte, qint64 nowUs) {
    switch (m_mode) {
    case Mode::Idle:
        if (byte != Attention)
            return std::nullopt; // nothing to answer outside a transaction
        m_mode = Mode::Attention;
        return Acknowledge;
    case Mode::Attention:
        if (byte == Attention)
            return Acknowledge;
        return startMode(byte, nowUs);
    case Mode::Read:
        return readByte(byte);
    case Mode::Write:
        return writeByte(byte);
    case Mode::ProgramLoad: {
        bool done = false;
        const auto reply = m_program.receive(byte, done);
        if (done)
            m_mode = Mode::Attention;
        return reply;
    }
    case Mode::Pls: {
        bool done = false;
        const quint8 reply = m_pls.receive(byte, nowUs, done);
        if (done)
            m_mode = Mode::Idle;
        return reply;
    }
    }
    return std::nullopt;
}

std::optional<quint8> BoardSimulator::startMode(quint8 modeByte, qint64 nowUs) {
    m_position = 0;
    m_lastRecordAll255 = false;
    m_pendingFfffWrite = false;
    if (modeByte == ReadModeByte) {
        m_mode = Mode::Read;
    } else if (modeByte == WriteModeByte) {
        m_mode = Mode::Write;
    } else if (modeByte == ProgramLoadModeByte && m_program.armed()) {
        m_mode = Mode::ProgramLoad;
        m_program.begin();
    } else if (PlsBoard::isCommand(modeByte)) {
        m_mode = Mode::Pls;
        m_pls.begin(modeByte, nowUs);
    } else {
        m_mode = Mode::Idle;
        return 0; // not a mode this board knows
    }
    return Acknowledge;
}

std::optional<quint8> BoardSimulator::readByte(quint8 byte) {
    if (m_position == 0) {
        if (byte == Attention && m_lastRecordAll255) {
            m_mode = Mode::Attention;
            return Acknowledge;
        }
        m_high = byte;
        m_position = 1;
        return byte;
    }
    m_low = byte;
    m_position = 0;
    m_lastRecordAll255 = m_high == 0xFF && m_low == 0xFF;
    return m_memory.byte(m_high * 256 + m_low);
}

std::optional<quint8> BoardSimulator::writeByte(quint8 byte) {
    switch (m_position) {
    case 0:
        if (byte == Attention && m_program.armed()) {
            // Armed for program loading, the board takes 255 as attention at once.
            commitPendingWrite();
            m_mode = Mode::Attention;
            return Acknowledge;
        }
        if (byte == Attention && m_pendingFfffWrite) {
            m_pendingFfffWrite = false;
            m_mode = Mode::Attention;
            return Acknowledge;
        }
        commitPendingWrite();
        m_high = byte;
        m_position = 1;
        return byte;
    case 1:
        m_low = byte;
        m_position = 2;
        return byte;
    default:
        m_position = 0;
        if (m_high * 256 + m_low == m_faults.rejectWritesTo)
            return quint8(byte + 1);
        if (m_high == 0xFF && m_low == 0xFF && byte == 0xFF)
            m_pendingFfffWrite = true; // kept back until we know it is not an attention run
        else
            m_memory.setByte(m_high * 256 + m_low, byte);
        return byte;
    }
}

void BoardSimulator::commitPendingWrite() {
    if (m_pendingFfffWrite)
        m_memory.setByte(0xFFFF, 0xFF);
    m_pendingFfffWrite = false;
}
