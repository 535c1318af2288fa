#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>

// Pieces of PLS traffic as the trace shows it ("hFF b55 ..."), for tests
// that check the wire byte for byte.
namespace PlsTrace {

inline QString hex(int byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

// The attention handshake into a PLS command, from a board that is idle.
inline QString handshake(int command) {
    return QStringLiteral("hFF b55 h") + hex(command) + QStringLiteral(" b55");
}

// Bytes sent and each answered 85.
inline QString acknowledged(std::initializer_list<int> bytes) {
    QStringList parts;
    for (const int b : bytes)
        parts.append(u'h' + hex(b) + QStringLiteral(" b55"));
    return parts.join(u' ');
}

// A word read: two 85s answered by the low and the high byte.
inline QString wordRead(int command, int value) {
    return handshake(command) + QStringLiteral(" h55 b") + hex(value & 0xFF) +
           QStringLiteral(" h55 b") + hex(value >> 8);
}

// The ready poll of a PLS that is ready at once.
inline const QString ready = QStringLiteral("h38 b55 h55 b00 h55 b55");

} // namespace PlsTrace
