#include "IoWords.h"

#include "BoardRegisters.h"
#include "PlsBoard.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace BoardRegisters;

constexpr int ResetFlag = 15;      // F15
constexpr int EndOfShiftFlag = 32; // F32
constexpr int ScrapJamBit = 4;     // of W32
constexpr double Pi = 3.14159265358979323846;

int byteScale(double share) {
    return int(std::lround(std::clamp(share, 0.0, 1.0) * 255));
}

} // namespace

void IoWords::publish(const Machine& machine) {
    const bool scrapJam = m_memory.bit(AlarmWord1, ScrapJamBit);
    m_memory.setBit(InputFlags, 0, scrapJam);                            // IN0: scrap jam input
    m_memory.setBit(InputFlags, 1, std::fmod(machine.angle, 360) < 180); // IN1: ram cam

    // Lubricator pressure follows the speed with a ripple of the stroke; the
    // second input is a temperature that barely moves.
    const double radians = machine.angle * Pi / 180;
    m_memory.setWord(AnalogInput0, int(std::lround(200 + 600 * machine.speed / RunningSpeed +
                                                   8 * std::sin(radians))));
    m_memory.setWord(AnalogInput1, int(std::lround(512 + 3 * std::cos(radians))));
    // The lubricator's speed reference never drops below its idle speed.
    const int lubeMax = std::max(1, m_memory.word(LubeMaxSpeed));
    const double lubeSpeed = std::max(machine.speed, double(m_memory.word(LubeIdleSpeed)));
    m_memory.setByte(AnalogOutput0, byteScale(lubeSpeed / lubeMax));
    const int highSpeed = std::max(1, m_memory.word(CupperHighSpeed));
    m_memory.setByte(AnalogOutput1, byteScale(machine.speed / highSpeed));

    m_memory.setWord(ResolverPeriod,
                     machine.speed > 0 ? int(std::lround(std::min(60000 / machine.speed, 65535.0)))
                                       : 0);
    m_memory.setWord(ScaleFactor, m_pls.scaleFactor() & 0xFFFF);
    m_memory.setWord(Offset, m_pls.offset() & 0xFFFF);

    publishSlot0(machine);
    publishSlot1(machine);
    publishSlot2(machine);
}

// B100: clutch feedback, mode switches, stop and reset buttons; B101: the
// clutch solenoid valves, the set-up key and the end-of-shift request.
void IoWords::publishSlot0(const Machine& machine) {
    const bool inching = machine.clutch && machine.inching;
    const bool continuous = machine.clutch && !inching;
    int b100 = 0;
    b100 |= machine.clutch ? 0x03 : 0; // clutch on #1, #2
    b100 |= continuous ? 0x04 : 0;
    b100 |= inching ? 0x10 : 0;
    b100 |= 0x20;                                       // ~immediate stop: not pressed
    b100 |= m_memory.bit(AlarmWord2 + 1, 0) ? 0x40 : 0; // coil stock override
    b100 |= m_memory.flag(ResetFlag) ? 0x80 : 0;
    int b101 = 0;
    b101 |= machine.clutch ? 0x03 : 0; // solenoids 1A, 1B
    b101 |= 0x08;                      // set-up enabled
    b101 |= m_memory.flag(EndOfShiftFlag) ? 0x20 : 0;
    m_memory.setByte(Slot0Inputs, b100);
    m_memory.setByte(Slot0Inputs + 1, b101);
}

// B110: the clutch and air strip solenoids and the PLC timing output, each
// bit set on its own: bit 6 is the all-clear bit, which the alarms keep.
// B111: the jam station number and the jam and brake alarms.
void IoWords::publishSlot1(const Machine& machine) {
    const int pls = m_memory.word(PlsBoard::OutputsRegister);
    const bool airStrip = machine.speed > 0 && (pls & 0x38) != 0; // channels 3..5
    m_memory.setBit(Slot1Outputs, 0, machine.clutch);
    m_memory.setBit(Slot1Outputs, 1, machine.clutch);
    for (int bit = 2; bit <= 5; ++bit)
        m_memory.setBit(Slot1Outputs, bit, airStrip);
    m_memory.setBit(Slot1Outputs, 7, (pls & 0x80) != 0);

    const int jammed = m_memory.word(DieJamStationWord);
    int station = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (jammed & (1 << bit)) {
            station = bit;
            break;
        }
    int b111 = station & 0x0F;
    b111 |= m_memory.bit(AlarmWord1, 2) ? 0x10 : 0; // die jam
    b111 |= m_memory.bit(AlarmWord1, 3) ? 0x20 : 0; // cup jam
    b111 |= m_memory.bit(AlarmWord1, ScrapJamBit) ? 0x40 : 0;
    b111 |= m_memory.flag(BrakeResponseFlag) ? 0x80 : 0;
    m_memory.setByte(Slot1Outputs + 1, b111);
}

// Every station drops a cup at the same point of a working stroke, except a
// station jammed with its die. The sensors see the cup pass whatever the PLS
// is programmed to.
void IoWords::publishSlot2(const Machine& machine) {
    const double angle = std::fmod(machine.angle, 360);
    const bool dropping = machine.speed > 0 && angle >= CupDropFrom && angle < CupDropTo;
    m_memory.setWord(Slot2Inputs, dropping ? ~m_memory.word(DieJamStationWord) & 0xFFFF : 0);
}
