#pragma once

#include "BoardMemory.h"
#include "IoWords.h"
#include "ShiftEnd.h"

#include <QtGlobal>

class PlsBoard;

// The machine behind the registers: a cupper that stands, inches, runs up to
// speed and brakes in a cycle of one minute, counts its strokes, measures its
// brake response at every stop, and raises alarms that stop it until they
// are reset (flag F15).
class Cupper {
public:
    // Alarms in the order of the program's alarm messages.
    enum Alarm {
        BrakeResponseTooLong, // F858
        DieJam,               // W32 bit 2, station in W104
        CupJam,               // W32 bit 3, station in W106
        ScrapJam,             // W32 bit 4
        TimingSignalFailure,  // W32 bit 8
        ClutchOutput1,        // W38 bit 0
        ClutchOutput2,        // W38 bit 1
        NoRamMotion,          // B37 bit 2
        ResolverFault,        // B37 bit 3
        CoilStockOverride,    // W38 bit 8
        AlarmCount
    };

    // Length of the machine cycle, seconds.
    static constexpr double CycleSeconds = 60;
    static constexpr double InchSpeed = 12; // strokes per minute

    Cupper(BoardMemory& memory, PlsBoard& pls);

    // Fills the memory with a plausible board at power-up.
    void powerUp();
    // Moves the machine on to the given time (microseconds, any origin).
    void advanceTo(qint64 nowUs);

    // Raises an alarm; jams name their station (1..16). Every alarm but the
    // brake response stops the machine until the alarms are reset.
    void raiseAlarm(int alarm, int station = 1);
    bool alarmActive(int alarm) const;
    bool anyStopAlarm() const;
    // What setting F15 does: every alarm cleared, the all-clear bit set, the
    // machine starts its cycle again.
    void resetAlarms();
    // Raises the next alarm in turn every so many seconds of machine time
    // while none is pending (0: never).
    void setAlarmEvery(double seconds);

    // Puts the machine this many seconds into its cycle, as if it had run
    // there: 16..52 is the running stretch at full speed.
    void startCycleAt(double seconds);

    // A held machine neither moves nor writes its registers, so that a test
    // can set speed, position and counts by hand. Alarm reset still works.
    void hold(bool held) { m_held = held; }

    double speed() const { return m_speed; } // strokes per minute
    double angle() const { return m_angle; } // degrees
    // The speed the cycle asks for at a time into it.
    static double cycleSpeed(double seconds);

private:
    void step(double seconds);
    void stopped(double fromSpeed);
    void raiseScheduledAlarm();
    void publish();
    void updateAllClear();
    quint32 nextRandom();

    BoardMemory& m_memory;
    PlsBoard& m_pls;
    IoWords m_io;
    ShiftEnd m_shiftEnd;
    qint64 m_lastUs = -1;
    double m_cycle = 0; // seconds into the machine cycle
    double m_speed = 0;
    double m_angle = 0;   // degrees
    double m_strokes = 0; // fractional strokes of the current shift
    qint64 m_publishedStrokes = -1;
    double m_brakingFrom = 0; // speed when the last stop began
    double m_alarmEvery = 0;
    double m_untilAlarm = 0;
    int m_nextAlarm = 0;
    int m_nextStation = 1;
    quint32 m_random = 0x2545F491;
    bool m_held = false;
};
