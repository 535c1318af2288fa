#pragma once

#include <array>

// The board's side and the host's side of the echo protocol agree on these;
// the link and the simulator both take them from here.
namespace BoardProtocol {

// The attention handshake: 255 answered by 85, then a mode byte answered by 85.
constexpr int Attention = 255;
constexpr int Acknowledge = 85;

// Board modes (as the link counts them) and the mode bytes that start them.
constexpr int NoMode = 0;
constexpr int ReadMode = 1;
constexpr int ReadModeByte = 1;
constexpr int WriteMode = 2;
constexpr int WriteModeByte = 2;
// Program loading: armed by ArmValue in ArmRegister, started by this mode byte;
// their meaning lies in the board's firmware.
constexpr int ProgramLoadModeByte = 3;
constexpr int ArmRegister = 8181;
constexpr int ArmValue = 86;

// PLS board modes.
constexpr int PlsChannelMode = 3;
constexpr int PlsReadWordMode = 4;
constexpr int PlsWriteWordMode = 5;
constexpr int PlsRecallMode = 6;
constexpr int PlsConfigWriteMode = 7;
constexpr int PlsConfigReadMode = 8;

// PLS command bytes.
constexpr int PlsReadScale = 24;
constexpr int PlsReadOffset = 40;
constexpr int PlsReadPosition = 72;
constexpr int PlsReadSpeed = 88;
constexpr int PlsWriteScale = 26;
constexpr int PlsWriteOffset = 42;
constexpr int PlsChannelSetpoints = 27;
constexpr int PlsChannelPulseTrain = 43;
constexpr int PlsRecall = 9;
constexpr int PlsReadConfig = 12;
constexpr std::array<int, 4> PlsConfigGroups = {59, 75, 91, 107};
// The ready poll: 56 answered by 85, then 85 answered by 0 (ready) or 85 (busy).
constexpr int PlsPoll = 56;
constexpr int PlsReady = 0;
constexpr int PlsChannels = 16;
constexpr int PlsConfigValues = 24;
constexpr int PlsConfigBytes = 19;

// Registers of the board itself.
constexpr int FaultCodeRegister = 8176;
constexpr int FirmwareRegister = 8159;

// The host's time-outs.
constexpr int FirstReplyMs = 1000;  // for the answer to a byte
constexpr int ResendReplyMs = 2000; // after each resent attention byte
constexpr int HandshakeMs = 2000;   // for the whole mode handshake
constexpr int PlsReadyFirstMs = 3000;
constexpr int PlsReadyRetryMs = 2000;
constexpr int ArmWaitMs = 100;        // between arming program loading and the attention byte
constexpr int RecordSumWaitMs = 1000; // for a program record's sum
constexpr int SettleWaitMs = 2000;    // after program loading ends
constexpr int TimeoutsBeforeQuestion = 3;

} // namespace BoardProtocol
