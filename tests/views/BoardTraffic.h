#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>
#include <functional>

// What the wire did to the board's registers: the byte addresses read and
// the bytes written, in order.
struct BoardTraffic {
    QList<int> reads;
    QList<QPair<int, int>> writes; // address, byte

    bool readsOnly(const QList<int>& addresses) const;
};

// Reads a trace ("hFF b55 h01 b55 h04 b04 h02 b64 ...") piece by piece: the
// link stays in read or write mode from one piece to the next, so the mode
// and a record cut in two carry over. Attention handshakes (255 answered by
// 85, then the mode byte) select read (1) or write (2).
class TrafficDecoder {
public:
    BoardTraffic feed(const QString& trace);

private:
    int m_mode = 0;
    bool m_attention = false;
    QList<int> m_record;
};
