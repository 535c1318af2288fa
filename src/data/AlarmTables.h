#pragma once

#include <QString>
#include <array>
#include <functional>

struct SharedState;

// What the background update keeps between its ticks about the board's alarms.
struct AlarmState {
    static constexpr int AlarmCount = 10;

    int PollPhase = 0;       // which alarm register the next tick reads, 0..4
    bool AlarmLatch = false; // the last read of the all-clear bit found it not 1
    qint32 DieJamStation = 0;
    qint32 CupJamStation = 0;
    std::array<bool, AlarmCount> AlarmActive{};

    bool anyActive() const;
};

// Reads one station word; nullopt when the read failed. Used by phase 2.
using StationReader = std::function<std::optional<qint32>(const QString& address)>;

// Fills the alarm poll addresses and alarm messages.
void InitAlarmTables(SharedState& state);

// Takes the value read in the given phase into the alarm flags. Phase 2 reads
// the die jam and cup jam station words through readStation.
void DecodeAlarmRegister(AlarmState& alarms, int phase, qint32 value,
                         const StationReader& readStation);

// The message of alarm index, with its station for the die and cup jams.
QString AlarmText(const AlarmState& alarms, const SharedState& state, int index);

// One block per active alarm, in index order.
QString BuildAlarmText(const AlarmState& alarms, const SharedState& state);
