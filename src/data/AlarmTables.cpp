#include "AlarmTables.h"

#include "SharedState.h"

#include <optional>

namespace {

bool bitSet(qint32 value, int bit) {
    return (value & (qint32(1) << bit)) != 0;
}

// Station number of the lowest set bit of the word (bit 0 is station 1).
std::optional<qint32> stationOf(qint32 word) {
    for (int bit = 0; bit < 16; ++bit) {
        if (bitSet(word, bit))
            return bit + 1;
    }
    return std::nullopt;
}

void readStation(const StationReader& reader, const QString& address, qint32& station) {
    if (!reader)
        return;
    if (const auto word = reader(address)) {
        if (const auto found = stationOf(*word))
            station = *found;
    }
}

} // namespace

bool AlarmState::anyActive() const {
    for (const bool a : AlarmActive) {
        if (a)
            return true;
    }
    return false;
}

void InitAlarmTables(SharedState& state) {
    state.AlarmPollAddress = {QStringLiteral("F858"), QStringLiteral("B110.6"),
                              QStringLiteral("W32"),  QStringLiteral("W38"),
                              QStringLiteral("B37"),  QString()};
    state.AlarmMessage = {
        QStringLiteral(" Brake Response Too Long - Service Brake "),
        QStringLiteral(" Die Jam (No Cup Drop) Station: "),
        QStringLiteral(" Cup Jam Station: "),
        QStringLiteral(" Scrap Jam "),
        QStringLiteral(" Timing Signal Failure "),
        QStringLiteral(" Clutch Output No.1 Failure "),
        QStringLiteral(" Clutch Output No.2 Failure "),
        QStringLiteral(" No Ram Motion Detected with Clutch ON "),
        QStringLiteral(" Resolver Fault - Motion Detected at Stop "),
        QStringLiteral(" Turn Coil Stock Override Switch to Off "),
    };
}

void DecodeAlarmRegister(AlarmState& alarms, int phase, qint32 value,
                         const StationReader& readStation) {
    auto& active = alarms.AlarmActive;
    switch (phase) {
    case 0: // F858
        active[0] = value == 1;
        break;
    case 1: // B110.6, the all-clear bit
        if (value == 1) {
            alarms.PollPhase = 4; // the next tick reads phase 0
            if (alarms.AlarmLatch) {
                alarms.AlarmLatch = false;
                for (int i = 1; i < AlarmState::AlarmCount; ++i)
                    active[size_t(i)] = false;
            }
        } else {
            alarms.AlarmLatch = true;
        }
        break;
    case 2: // W32
        active[1] = bitSet(value, 2);
        if (active[1])
            ::readStation(readStation, QStringLiteral("W104"), alarms.DieJamStation);
        active[2] = bitSet(value, 3);
        if (active[2])
            ::readStation(readStation, QStringLiteral("W106"), alarms.CupJamStation);
        active[3] = bitSet(value, 4);
        active[4] = bitSet(value, 8);
        break;
    case 3: // W38
        active[5] = bitSet(value, 0);
        active[6] = bitSet(value, 1);
        active[9] = bitSet(value, 8);
        break;
    case 4: // B37
        active[7] = bitSet(value, 2);
        active[8] = bitSet(value, 3);
        break;
    default:
        break;
    }
}

QString AlarmText(const AlarmState& alarms, const SharedState& state, int index) {
    QString message = state.AlarmMessage[size_t(index)];
    if (index == 1)
        message += QString::number(alarms.DieJamStation);
    else if (index == 2)
        message += QString::number(alarms.CupJamStation);
    return message;
}

QString BuildAlarmText(const AlarmState& alarms, const SharedState& state) {
    QString text;
    for (int i = 0; i < AlarmState::AlarmCount; ++i) {
        if (alarms.AlarmActive[size_t(i)])
            text += QStringLiteral("***** SYSTEM ALARM *****\r\n") + AlarmText(alarms, state, i) +
                    QStringLiteral("\r\n\r\n");
    }
    return text;
}
