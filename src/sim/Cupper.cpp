#include "Cupper.h"

#include "BoardRegisters.h"
#include "PlsBoard.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace BoardRegisters;

constexpr double StepSeconds = 0.005;
constexpr double LongestGapSeconds = 600; // a longer pause is not replayed
constexpr double BrakeRate = 180;         // strokes per minute lost per second on a stop
constexpr int ResetFlag = 15;             // F15
// Below this the speed reads 0 RPM: the machine stands, and its resolver
// must not creep on while the PLS says so (the offset is set only then).
constexpr double StandStillSpeed = 0.5;

// Where the bit of each alarm lives.
struct AlarmBit {
    int address; // byte address; -1 for the flag
    int bit;
};
constexpr AlarmBit AlarmBits[Cupper::AlarmCount] = {
    {-1, 0},             // F858
    {AlarmWord1, 2},     // W32 bit 2
    {AlarmWord1, 3},     // W32 bit 3
    {AlarmWord1, 4},     // W32 bit 4
    {AlarmWord1 + 1, 0}, // W32 bit 8
    {AlarmWord2, 0},     // W38 bit 0
    {AlarmWord2, 1},     // W38 bit 1
    {AlarmByte, 2},      // B37 bit 2
    {AlarmByte, 3},      // B37 bit 3
    {AlarmWord2 + 1, 0}, // W38 bit 8
};

// Speed of the cycle: stands, inches, brakes, runs up, runs, brakes, stands.
struct Stretch {
    double until;
    double from;
    double to;
};
constexpr Stretch Cycle[] = {
    {4, 0, 0},                                  // standing
    {10, Cupper::InchSpeed, Cupper::InchSpeed}, // inching
    {11, Cupper::InchSpeed, 0},                 // braking from low speed
    {13, 0, 0},                                 // standing
    {16, 0, RunningSpeed},                      // running up
    {52, RunningSpeed, RunningSpeed},           // running
    {54, RunningSpeed, 0},                      // braking from high speed
    {Cupper::CycleSeconds, 0, 0},               // standing
};

} // namespace

Cupper::Cupper(BoardMemory& memory, PlsBoard& pls)
    : m_memory(memory), m_pls(pls), m_io(memory, pls), m_shiftEnd(memory) {}

void Cupper::powerUp() {
    m_memory.setByte(FirmwareRevision, 23);
    m_memory.setText(IdentBlock, QByteArrayLiteral("CUPR2700"), 8);
    m_memory.setByte(IdentBlock + 8, 0x3A);
    m_memory.setByte(IdentBlock + 9, 4);

    m_memory.setWord(BrakeResponseLow, 12);
    m_memory.setWord(BrakeResponseHigh, 27);
    m_memory.setBit(BrakeWearEnable, 0, true);
    m_memory.setWord(TdcStopLow, 180);
    m_memory.setWord(TdcStopHigh, 175);
    m_memory.setWord(MaxStoppingResponse, 300);
    m_memory.setWord(CupperLowSpeed, 100);
    m_memory.setWord(CupperHighSpeed, 250);
    m_memory.setWord(LubeMaxSpeed, 250);
    m_memory.setWord(LubeIdleSpeed, 75);
    m_memory.setBit(Df1PlcType, 0, true);
    m_memory.setByte(Df1DestinationNode, 1);
    m_memory.setByte(Df1DestinationFile, 10);

    m_memory.setDword(ShiftStrokes, 1'234'567);
    m_memory.setDword(LastShiftStrokes, 2'345'678);
    // Each shift's die jam total is the sum of its station counts, as a jam
    // counts in both.
    int shiftJams = 0;
    int lastShiftJams = 0;
    for (int station = 0; station < 16; ++station) {
        const int jams = (station * 3 + 1) % 5;
        const int lastJams = (station * 7) % 4;
        m_memory.setWord(ShiftStationJams + 2 * station, jams);
        m_memory.setWord(LastShiftStationJams + 2 * station, lastJams);
        shiftJams += jams;
        lastShiftJams += lastJams;
    }
    m_memory.setWord(ShiftDieJams, shiftJams);
    m_memory.setWord(LastShiftDieJams, lastShiftJams);
    m_strokes = double(m_memory.dword(ShiftStrokes));
    m_publishedStrokes = m_memory.dword(ShiftStrokes);
    resetAlarms();
    m_speed = 0;
    publish();
}

void Cupper::startCycleAt(double seconds) {
    m_cycle = std::fmod(std::max(0.0, seconds), CycleSeconds);
    m_speed = cycleSpeed(m_cycle);
    publish();
}

double Cupper::cycleSpeed(double seconds) {
    double start = 0;
    for (const Stretch& s : Cycle) {
        if (seconds < s.until) {
            const double share = (seconds - start) / (s.until - start);
            return s.from + (s.to - s.from) * share;
        }
        start = s.until;
    }
    return 0;
}

void Cupper::advanceTo(qint64 nowUs) {
    if (m_lastUs < 0 || nowUs <= m_lastUs) {
        m_lastUs = std::max(m_lastUs, nowUs);
        return;
    }
    double seconds = std::min(double(nowUs - m_lastUs) / 1e6, LongestGapSeconds);
    m_lastUs = nowUs;
    m_shiftEnd.check();
    // The host may have changed the count (a new shift): the machine counts on from there.
    if (m_memory.dword(ShiftStrokes) != m_publishedStrokes)
        m_strokes = double(m_memory.dword(ShiftStrokes));
    if (m_memory.flag(ResetFlag)) {
        m_memory.setFlag(ResetFlag, false);
        resetAlarms();
    }
    if (m_held)
        return;
    while (seconds > 0) {
        const double dt = std::min(seconds, StepSeconds);
        step(dt);
        seconds -= dt;
    }
    publish();
}

void Cupper::step(double seconds) {
    const double before = m_speed;
    if (anyStopAlarm()) {
        m_speed = std::max(0.0, m_speed - BrakeRate * seconds);
    } else {
        m_cycle = std::fmod(m_cycle + seconds, CycleSeconds);
        m_speed = cycleSpeed(m_cycle);
    }
    if (m_speed < StandStillSpeed)
        m_speed = 0;
    if (before > 0 && m_brakingFrom < before && m_speed < before)
        m_brakingFrom = before;
    if (before > 0 && m_speed <= 0)
        stopped(m_brakingFrom);
    if (m_speed > before)
        m_brakingFrom = 0;
    const double turns = m_speed / 60.0 * seconds;
    m_angle = std::fmod(m_angle + turns * 360.0, 360.0);
    m_strokes += turns;
    if (m_alarmEvery > 0) {
        m_untilAlarm -= seconds;
        if (m_untilAlarm <= 0)
            raiseScheduledAlarm();
    }
}

// The machine came to rest: the brake response of this stop, in degrees.
void Cupper::stopped(double fromSpeed) {
    if (fromSpeed > 2 * InchSpeed)
        m_memory.setWord(BrakeResponseHigh, 22 + int(nextRandom() % 10));
    else
        m_memory.setWord(BrakeResponseLow, 8 + int(nextRandom() % 7));
    m_brakingFrom = 0;
}

void Cupper::publish() {
    m_memory.setWord(MachineSpeed, int(std::lround(m_speed)));
    m_memory.setWord(MachinePosition, int(m_angle) % 360);
    m_publishedStrokes = qint64(m_strokes) % 655'360'000;
    m_memory.setDword(ShiftStrokes, m_publishedStrokes);
    m_pls.setMachineAngle(m_angle);
    m_pls.setMachineSpeed(m_speed);
    m_io.publish({m_speed, m_angle, m_speed > 0 && m_brakingFrom == 0 && !anyStopAlarm(),
                  m_speed <= InchSpeed + 0.01});
}

// Follows the alarms as they are raised and reset; between those the byte is
// the host's like any other.
void Cupper::updateAllClear() {
    m_memory.setBit(AllClearByte, AllClearBit, !anyStopAlarm());
}

bool Cupper::alarmActive(int alarm) const {
    if (alarm < 0 || alarm >= AlarmCount)
        return false;
    if (alarm == BrakeResponseTooLong)
        return m_memory.flag(BrakeResponseFlag);
    return m_memory.bit(AlarmBits[alarm].address, AlarmBits[alarm].bit);
}

bool Cupper::anyStopAlarm() const {
    for (int alarm = DieJam; alarm < AlarmCount; ++alarm) {
        if (alarmActive(alarm))
            return true;
    }
    return false;
}

void Cupper::raiseAlarm(int alarm, int station) {
    if (alarm < 0 || alarm >= AlarmCount)
        return;
    station = std::clamp(station, 1, 16);
    if (alarm == BrakeResponseTooLong) {
        m_memory.setFlag(BrakeResponseFlag, true);
        m_memory.setWord(BrakeResponseHigh, m_memory.word(MaxStoppingResponse) + 20);
    } else {
        m_memory.setBit(AlarmBits[alarm].address, AlarmBits[alarm].bit, true);
    }
    if (alarm == DieJam) {
        m_memory.setWord(DieJamStationWord,
                         m_memory.word(DieJamStationWord) | (1 << (station - 1)));
        m_memory.setWord(ShiftDieJams, (m_memory.word(ShiftDieJams) + 1) & 0xFFFF);
        const int counter = ShiftStationJams + 2 * (station - 1);
        m_memory.setWord(counter, (m_memory.word(counter) + 1) & 0xFFFF);
    } else if (alarm == CupJam) {
        m_memory.setWord(CupJamStationWord,
                         m_memory.word(CupJamStationWord) | (1 << (station - 1)));
    }
    updateAllClear();
    if (!m_held)
        publish();
}

void Cupper::resetAlarms() {
    m_memory.setFlag(BrakeResponseFlag, false);
    for (int alarm = DieJam; alarm < AlarmCount; ++alarm)
        m_memory.setBit(AlarmBits[alarm].address, AlarmBits[alarm].bit, false);
    m_memory.setWord(DieJamStationWord, 0);
    m_memory.setWord(CupJamStationWord, 0);
    m_memory.setBit(AllClearByte, AllClearBit, true);
    if (m_speed <= 0)
        m_cycle = 0; // a stopped machine starts its cycle again
}

void Cupper::setAlarmEvery(double seconds) {
    m_alarmEvery = std::max(0.0, seconds);
    m_untilAlarm = m_alarmEvery;
}

void Cupper::raiseScheduledAlarm() {
    m_untilAlarm = m_alarmEvery;
    for (int alarm = 0; alarm < AlarmCount; ++alarm) {
        if (alarmActive(alarm))
            return; // one at a time: the next waits until these are reset
    }
    raiseAlarm(m_nextAlarm, m_nextStation);
    m_nextAlarm = (m_nextAlarm + 1) % AlarmCount;
    m_nextStation = m_nextStation % 16 + 1;
}

quint32 Cupper::nextRandom() {
    // xorshift: the same "random" brake responses on every run.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}
