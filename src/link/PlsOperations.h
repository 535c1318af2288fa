#pragma once

#include "BoardProtocol.h"
#include "LinkResult.h"

#include <array>

class BoardLink;
class Prompt;

// The board's programmable limit switch, driven by its own command bytes
// over the link: word reads, channel programming and recall, the offset,
// the configuration. Refusals of values the PLS cannot take are told
// through the prompt, in its words.
class PlsOperations {
public:
    static constexpr int ReadFailed = -9999;
    static constexpr int ConfigValues = BoardProtocol::PlsConfigValues;
    static constexpr int ConfigBytes = BoardProtocol::PlsConfigBytes;

    PlsOperations(BoardLink& core, Prompt& prompt) : m_core(core), m_prompt(prompt) {}

    // A word by its read command (BoardProtocol::PlsReadScale and the others).
    LinkResult<int> readWord(int command);

    bool SingleSetpoint(int Chan, int OnSetpoint, int OffSetpoint, bool ClearChan);
    bool PulseTrain(int Chan, int ON_Division, int OFF_Division, int START_Division);
    bool ClearPLSChan(int Chan);
    // The result lies in ChannelRecallPos and ChannelRecallState.
    bool RecallChannel(int Chan);
    int ChannelRecallPos() const { return m_channelRecallPos; }
    int ChannelRecallState() const { return m_channelRecallState; }
    // Sets the offset so that the present position reads as Position.
    bool SetPLSOffset(int Position);
    bool PLSConfigDownload(const std::array<int, ConfigValues>& CfgParam, int ScaleFactor);
    std::array<int, ConfigBytes> PLSConfigUpload();
    // The last PLSConfigUpload broke off (its array is partly old).
    bool LastPLSConfigUploadFailed() const { return m_lastConfigUploadFailed; }

private:
    bool sendWord(int command, int value);
    bool sendChannelRecord(int command, int channel, int firstWord, int secondWord, int lastByte);
    bool sendParameterGroup(int command, const std::array<int, 6>& values);
    bool sendBytes(int mode, int command, const std::array<int, 6>& bytes);

    BoardLink& m_core;
    Prompt& m_prompt;
    int m_channelRecallPos = 0;
    int m_channelRecallState = 0;
    std::array<int, ConfigBytes> m_config{};
    bool m_lastConfigUploadFailed = false;
};
