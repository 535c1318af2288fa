#include "BoardTraffic.h"

#include <QStringList>

namespace {
// Records of 255s are how a handshake starts inside read or write mode.
constexpr int AttentionRecord = 0xFFFF;
} // namespace

bool BoardTraffic::readsOnly(const QList<int>& addresses) const {
    for (const int address : reads)
        if (!addresses.contains(address))
            return false;
    return true;
}

BoardTraffic TrafficDecoder::feed(const QString& trace) {
    BoardTraffic out;
    QList<QPair<int, int>> bytes; // host byte, the board's answer (-1: none)
    for (const QString& token : trace.split(u' ', Qt::SkipEmptyParts)) {
        const int value = token.mid(1).toInt(nullptr, 16);
        if (token.startsWith(u'h'))
            bytes.append({value, -1});
        else if (!bytes.isEmpty())
            bytes.last().second = value;
    }
    for (const auto& [sent, answer] : bytes) {
        if (answer == 0x55 && m_record.isEmpty() && (sent == 0xFF || m_attention)) {
            if (sent != 0xFF)
                m_mode = sent; // the mode byte, acknowledged
            m_attention = sent == 0xFF;
            m_record.clear();
            continue;
        }
        m_attention = false;
        if (m_mode != 1 && m_mode != 2)
            continue;
        m_record.append(sent);
        const int address = m_record[0] * 256 + (m_record.size() > 1 ? m_record[1] : 0);
        if (m_mode == 1 && m_record.size() == 2) {
            if (address != AttentionRecord)
                out.reads.append(address);
            m_record.clear();
        } else if (m_mode == 2 && m_record.size() == 3) {
            if (address != AttentionRecord)
                out.writes.append({address, m_record[2]});
            m_record.clear();
        }
    }
    return out;
}
