#include "Cupper.h"

#include "BoardRegisters.h"
#include "PlsBoard.h"

#include <cmath>

Cupper::Cupper(BoardMemory& memory, PlsBoard& pls) : m_memory(memory), m_pls(pls) {}

void Cupper::powerUp() {
    using namespace BoardRegisters;
    m_memory.setByte(FirmwareRevision, 23);
    m_memory.setByte(FaultCodeRegister, 0x12);
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
    m_memory.setWord(ShiftDieJams, 7);
    m_memory.setDword(LastShiftStrokes, 2'345'678);
    m_memory.setWord(LastShiftDieJams, 11);
    for (int station = 0; station < 16; ++station) {
        m_memory.setWord(ShiftStationJams + 2 * station, (station * 3) % 5);
        m_memory.setWord(LastShiftStationJams + 2 * station, (station * 7) % 4);
    }
    m_strokes = double(m_memory.dword(ShiftStrokes));
}

void Cupper::advanceTo(qint64 nowUs) {
    if (m_lastUs < 0 || nowUs <= m_lastUs) {
        m_lastUs = std::max(m_lastUs, nowUs);
        return;
    }
    const double seconds = double(nowUs - m_lastUs) / 1e6;
    m_lastUs = nowUs;
    const double spm = BoardRegisters::RunningSpeed;
    m_angle = std::fmod(m_angle + seconds * spm / 60.0 * 360.0, 360.0);
    m_strokes += seconds * spm / 60.0;
    m_memory.setDword(BoardRegisters::ShiftStrokes, qint64(m_strokes) % 655'360'000);
    m_pls.setMachineAngle(m_angle);
}
