#include "Df1Driver.h"

#include <algorithm>

namespace {

// Transfer sizes of the PLC's replies: a read returns data, a write only
// its acknowledgement.
constexpr int ReadReplyBytes = 26;
constexpr int WriteReplyBytes = 6;

// Transmit data status values.
constexpr int Done = 2;
constexpr int DleNakReceived = 3;
constexpr int NoResponseTimeout = 5;

} // namespace

void Df1Driver::powerUp() {
    m_memory.setFlag(DriverEnabledFlag, true);
    m_memory.setByte(ConfigurationStatus, 2); // success
    m_memory.setByte(TransmitStatus, Done);
    m_memory.setByte(TransmitStatusPrev, Done);
    m_memory.setWord(CurrentTransaction, 0);
    m_memory.setByte(ActiveCommand, 0);
    m_memory.setByte(BytesReceived, 0);
    m_memory.setBit(ReceivedCommand, ReceivedCommandBit, true);
    m_memory.setByte(LinkStatus, 0);
    m_memory.setByte(StsCode, 0);
    m_memory.setByte(ExtStsCode, 0);
    m_memory.setWord(TransactionReceived, 0);
}

void Df1Driver::advanceTo(qint64 nowUs) {
    if (m_lastUs < 0 || nowUs <= m_lastUs) {
        m_lastUs = std::max(m_lastUs, nowUs);
        m_dueUs = m_lastUs + TransactionUs;
        return;
    }
    m_lastUs = nowUs;
    if (m_held || !m_memory.flag(DriverEnabledFlag)) {
        m_dueUs = nowUs + TransactionUs;
        return;
    }
    // After a long pause only the last transaction matters to the registers.
    if (nowUs - m_dueUs > 4 * TransactionUs)
        m_dueUs = nowUs - TransactionUs;
    while (m_dueUs <= nowUs) {
        transaction();
        m_dueUs += TransactionUs;
    }
}

// One command to the PLC and what came of it: mostly a clean reply, now and
// then no answer or a reply that reports an error.
void Df1Driver::transaction() {
    const int sent = (m_memory.word(CurrentTransaction) + 1) & 0xFFFF;
    m_memory.setWord(CurrentTransaction, sent);
    const bool write = nextRandom() % 3 == 0;
    m_memory.setByte(ActiveCommand, write ? 1 : 0);
    m_memory.setByte(TransmitStatusPrev, m_memory.byte(TransmitStatus));

    const quint32 roll = nextRandom() % 100;
    if (roll < 4) { // no answer at all, or the PLC refused the packet
        m_memory.setByte(TransmitStatus, roll < 2 ? NoResponseTimeout : DleNakReceived);
        m_memory.setByte(BytesReceived, 0);
        m_memory.setBit(ReceivedCommand, ReceivedCommandBit, false);
        return;
    }
    m_memory.setByte(TransmitStatus, Done);
    m_memory.setBit(ReceivedCommand, ReceivedCommandBit, true);
    m_memory.setWord(TransactionReceived, (m_memory.word(TransactionReceived) + 1) & 0xFFFF);
    if (roll < 10) { // a reply that reports an error
        static constexpr int Errors[][2] = {{0x10, 0}, {0x70, 0}, {0xF0, 0x06}, {0xF0, 0x1B}};
        const auto& error = Errors[nextRandom() % 4];
        m_memory.setByte(LinkStatus, error[0]);
        m_memory.setByte(StsCode, error[0]);
        m_memory.setByte(ExtStsCode, error[1]);
        m_memory.setByte(BytesReceived, WriteReplyBytes);
        return;
    }
    m_memory.setByte(LinkStatus, 0);
    m_memory.setByte(BytesReceived, write ? WriteReplyBytes : ReadReplyBytes);
}

quint32 Df1Driver::nextRandom() {
    // xorshift: the same plausible sequence on every run.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}
