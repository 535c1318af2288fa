#pragma once

#include "AlarmTables.h"

#include <QString>
#include <optional>

class RSComm;
struct SharedState;

// The main window's 500 ms update: online it reads one of the five alarm
// registers per tick, keeps the alarm flags and the system message, and says
// what the status panel shows. It reads only; it never writes to the board
// and never changes the online mode.
class BackgroundUpdate {
public:
    static constexpr int IntervalMs = 500;

    BackgroundUpdate(RSComm& link, SharedState& state) : m_link(link), m_state(state) {}

    // One tick. The status panel text, or nullopt to leave the panel as it is.
    std::optional<QString> Tick();

    AlarmState& alarms() { return m_alarms; }
    const AlarmState& alarms() const { return m_alarms; }

private:
    RSComm& m_link;
    SharedState& m_state;
    AlarmState m_alarms;
};
