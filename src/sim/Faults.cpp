#include "Faults.h"

#include "BoardProtocol.h"

std::function<bool(qint64, quint8)> MishearAddressesFrom(quint8 highByte) {
    struct {
        bool afterAttention = false;
        int position = 0;
    } wire;
    return [wire, highByte](qint64, quint8 byte) mutable {
        // The mode byte after an attention byte is no address.
        if (byte == BoardProtocol::Attention || wire.afterAttention) {
            wire.afterAttention = byte == BoardProtocol::Attention;
            wire.position = 0;
            return false;
        }
        const bool high = wire.position++ % 2 == 0;
        return high && byte == highByte;
    };
}
