#pragma once

#include <QList>
#include <QString>
#include <array>

// Every board value the program keeps in memory, stores in set-up data files
// and moves to and from the board in groups. Member order is the file order.
struct SetupRecord {
    static constexpr int ChannelCount = 16;

    QString VersionTag;
    QList<QString> AddressTable; // 0..LastIndex
    QList<qint32> ValueTable;    // parallel to AddressTable
    qint16 PlsConfig0 = 0;       // number of PLS channels
    qint16 PlsScale = 0;
    qint16 PlsOffset = 0;
    qint16 PlsConfig1 = 0; // PLS program number
    std::array<qint16, 8> PlsConfig2to9{};
    // [channel][0] is the ON setpoint, [channel][1] the OFF setpoint.
    std::array<std::array<qint16, 2>, ChannelCount> ChannelSetpoint{};

    bool operator==(const SetupRecord&) const = default;
};
