#pragma once

#include "BoardIdent.h"

// Board memory addresses the simulated cupper keeps.
namespace BoardRegisters {

constexpr int FlagBase = 32;
constexpr int FirmwareRevision = 8159;          // B8159
constexpr int IdentBlock = BoardIdent::Address; // ident (8), checksum, revision

// The machine and its alarms.
constexpr int AlarmWord1 = 32;         // W32: jams and timing (the bytes of flags F0..F15)
constexpr int AlarmByte = 37;          // B37: ram motion and resolver
constexpr int AlarmWord2 = 38;         // W38: clutch outputs and coil stock
constexpr int DieJamStationWord = 104; // W104: bit 0 is station 1
constexpr int CupJamStationWord = 106; // W106
constexpr int AllClearByte = 110;      // B110.6: no alarm pending
constexpr int AllClearBit = 6;
constexpr int MachinePosition = 180;   // W180, degrees
constexpr int MachineSpeed = 182;      // W182, strokes per minute
constexpr int BrakeResponseFlag = 858; // F858: brake response too long

constexpr int ShiftStrokes = 1100;         // D1100
constexpr int ShiftDieJams = 1104;         // W1104
constexpr int ShiftStationJams = 1108;     // W1108..W1138
constexpr int LastShiftStrokes = 1200;     // D1200
constexpr int LastShiftDieJams = 1204;     // W1204
constexpr int LastShiftStationJams = 1208; // W1208..W1238
constexpr int BrakeWearEnable = 1018;      // B1018.0
constexpr int TdcStopLow = 1020;           // W1020
constexpr int TdcStopHigh = 1022;          // W1022
constexpr int MaxStoppingResponse = 1024;  // W1024
constexpr int CupperLowSpeed = 1026;       // W1026
constexpr int CupperHighSpeed = 1028;      // W1028
constexpr int LubeMaxSpeed = 1032;         // W1032
constexpr int LubeIdleSpeed = 1034;        // W1034
constexpr int BrakeResponseLow = 1040;     // W1040
constexpr int BrakeResponseHigh = 1042;    // W1042
constexpr int Df1PlcType = 4001;           // B4001.0
constexpr int Df1DestinationFile = 4011;   // B4011
constexpr int Df1DestinationNode = 4050;   // B4050

constexpr double RunningSpeed = 180.0; // strokes per minute

} // namespace BoardRegisters
