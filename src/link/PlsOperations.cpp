// PLS commands: a handshake into a PLS board mode, a few bytes, and for
// commands that change the PLS the ready poll. Each leaves board mode 0.
#include "PlsOperations.h"

#include "BoardLink.h"
#include "Prompt.h"

#include <optional>

using namespace BoardProtocol;
using Step = Exchange::Step;

namespace {

constexpr int HighestRecallByte = 16; // positions run 0..4351
constexpr int SetFlag = 1;

bool isByte(int value) {
    return value >= 0 && value <= 255;
}
bool isWord(int value) {
    return value >= 0 && value <= 65535;
}

// The offset that makes the present position read as wanted; the board
// reports (resolver count - offset) mod scale. nullopt for a scale of 0 or less.
std::optional<int> offsetFor(int offset, int position, int scale, int wanted) {
    if (scale <= 0)
        return std::nullopt;
    const qint64 s = scale;
    const qint64 turned = ((qint64(offset) + position) % s + s - wanted) % s;
    return int((turned + s) % s);
}

LinkFailure noAnswer() {
    return {LinkFailure::Kind::NoAnswer, -1, {}};
}

} // namespace

LinkResult<int> PlsOperations::readWord(int command) {
    BoardLink::Transaction transaction(m_core);
    m_core.leaveMode();
    const auto entered = m_core.enterMode(PlsReadWordMode, command);
    if (!entered || m_core.failed()) {
        m_core.leaveMode();
        return entered ? noAnswer() : entered.failure();
    }
    int bytes[2] = {};
    for (int& b : bytes) {
        // An answer to a resent attention byte is no part of the word.
        const auto answer = m_core.exchange(Acknowledge, Step::PlsByte);
        if (!answer || m_core.failed()) {
            m_core.leaveMode();
            return answer ? noAnswer() : answer.failure();
        }
        b = answer.value();
    }
    m_core.leaveMode();
    return bytes[0] + 256 * bytes[1];
}

bool PlsOperations::sendWord(int command, int value) {
    if (!isWord(value))
        return false;
    m_core.leaveMode();
    bool ok = m_core.enterMode(PlsWriteWordMode, command) && !m_core.failed();
    for (const int b : {value & 0xFF, value >> 8}) {
        if (ok && !m_core.exchange(b, Step::PlsByte, Acknowledge))
            ok = false;
    }
    ok = ok && !m_core.failed() && m_core.waitPlsReady();
    m_core.leaveMode();
    return ok;
}

bool PlsOperations::sendChannelRecord(int command, int channel, int firstWord, int secondWord,
                                      int lastByte) {
    if (!isByte(channel) || !isWord(firstWord) || !isWord(secondWord) || !isByte(lastByte))
        return false;
    return sendBytes(
        PlsChannelMode, command,
        {channel, firstWord & 0xFF, firstWord >> 8, secondWord & 0xFF, secondWord >> 8, lastByte});
}

bool PlsOperations::sendParameterGroup(int command, const std::array<int, 6>& values) {
    for (const int v : values)
        if (!isByte(v))
            return false;
    return sendBytes(PlsConfigWriteMode, command, values);
}

bool PlsOperations::sendBytes(int mode, int command, const std::array<int, 6>& bytes) {
    m_core.leaveMode();
    bool ok = m_core.enterMode(mode, command) && !m_core.failed();
    for (const int b : bytes) {
        if (!ok)
            break;
        ok = m_core.exchange(b, Step::PlsByte, Acknowledge) && !m_core.failed();
    }
    ok = ok && m_core.waitPlsReady();
    m_core.leaveMode();
    return ok;
}

bool PlsOperations::SingleSetpoint(int Chan, int OnSetpoint, int OffSetpoint, bool ClearChan) {
    BoardLink::Transaction transaction(m_core);
    // Values the link cannot send are refused before any traffic. Setpoints
    // above a word also lie above every scale factor and get the message below.
    if (!isByte(Chan) || OnSetpoint < 0 || OffSetpoint < 0)
        return false;
    if (m_core.failed())
        return false;
    const auto scale = readWord(PlsReadScale);
    if (m_core.failed() || !scale)
        return false;
    const int highest = scale.value() - 1;
    for (const int setpoint : {OnSetpoint, OffSetpoint}) {
        if (setpoint > highest) {
            m_prompt.message(QStringLiteral("PLS Single Setpoint"),
                             QStringLiteral("Setpoint setting ") + QString::number(setpoint) +
                                 QStringLiteral(" is greater than scale factor.\n\n"
                                                "Channel can not be programmed."),
                             Prompt::Icon::Exclamation);
            return false;
        }
    }
    if (ClearChan && (!sendChannelRecord(PlsChannelSetpoints, Chan, 0, 0, 0) || m_core.failed()))
        return false;
    return sendChannelRecord(PlsChannelSetpoints, Chan, OnSetpoint, OffSetpoint, SetFlag);
}

bool PlsOperations::PulseTrain(int Chan, int ON_Division, int OFF_Division, int START_Division) {
    BoardLink::Transaction transaction(m_core);
    if (!isByte(Chan) || !isWord(START_Division) || ON_Division < 0 || OFF_Division < 0)
        return false;
    const auto scaleRead = readWord(PlsReadScale);
    if (m_core.failed() || !scaleRead)
        return false;
    const int scale = scaleRead.value();
    auto refuse = [&](const QString& reason) {
        m_prompt.message(QStringLiteral("PLS Pulse Train"),
                         reason + QStringLiteral("\n\nPLS Channel will not be Programmed."),
                         Prompt::Icon::Exclamation);
        return false;
    };
    if (ON_Division == 0 || OFF_Division == 0)
        return refuse(QStringLiteral("ON Division and OFF Division Must be Greater Than 0."));
    if (scale % (ON_Division + OFF_Division) != 0)
        return refuse(QStringLiteral("ON Division Plus OFF Division\nMust be a Multiple of ") +
                      QString::number(scale) + u'.');
    if (ON_Division > 255 || OFF_Division > 255)
        return refuse(QStringLiteral("ON Division or OFF Division Must be Less Than 255."));
    if (START_Division > scale - 1)
        return refuse(QStringLiteral("Start Position Must Not Be Greater Than ") +
                      QString::number(scale - 1) + u'.');
    if (sendChannelRecord(PlsChannelPulseTrain, Chan, START_Division,
                          ON_Division + 256 * OFF_Division, 0))
        return !m_core.failed();
    m_prompt.message(QStringLiteral("PLS Pulse Train"),
                     QStringLiteral("Error Encountered while Programming Pulse Train.\n\n"
                                    "PLS Channel will not be Programmed."),
                     Prompt::Icon::Information);
    return false;
}

bool PlsOperations::ClearPLSChan(int Chan) {
    BoardLink::Transaction transaction(m_core);
    return sendChannelRecord(PlsChannelSetpoints, Chan, 0, 0, 0);
}

bool PlsOperations::RecallChannel(int Chan) {
    BoardLink::Transaction transaction(m_core);
    if (!isByte(Chan))
        return false;
    m_core.leaveMode();
    if (!m_core.enterMode(PlsRecallMode, PlsRecall)) {
        m_core.leaveMode();
        return false;
    }
    auto fail = [&](int state) {
        m_channelRecallState = state;
        m_channelRecallPos = 0;
        m_core.leaveMode();
        return false;
    };
    if (m_core.failed())
        return fail(2);
    if (!m_core.exchange(Chan, Step::PlsByte, Acknowledge)) {
        m_core.leaveMode();
        return false;
    }
    int answers[3] = {};
    for (int& a : answers) {
        const auto answer = m_core.exchange(Acknowledge, Step::PlsByte);
        if (m_core.failed() || !answer)
            return fail(0);
        a = answer.value();
    }
    if (answers[2] > HighestRecallByte)
        return fail(2);
    m_channelRecallState = answers[0];
    m_channelRecallPos = answers[1] + 256 * answers[2];
    m_core.leaveMode();
    return true;
}

bool PlsOperations::SetPLSOffset(int Position) {
    BoardLink::Transaction transaction(m_core);
    if (m_core.failed())
        return false;
    int words[3] = {};
    const int commands[3] = {PlsReadOffset, PlsReadPosition, PlsReadScale};
    for (int i = 0; i < 3; ++i) {
        const auto word = readWord(commands[i]);
        if (m_core.failed() || !word)
            return false;
        words[i] = word.value();
    }
    const int scale = words[2];
    // A board that reports no scale gets no offset: nothing to divide by.
    if (scale <= 0)
        return false;
    if (Position > scale) {
        m_prompt.message(
            QStringLiteral("Set PLS Offset"),
            QStringLiteral("Desired Position cannot be greater than Scale Factor of ") +
                QString::number(scale) + QStringLiteral(".\n\nPLS Offset will not be Programmed."),
            Prompt::Icon::Exclamation);
        return false;
    }
    const auto offset = offsetFor(words[0], words[1], scale, Position);
    return offset && sendWord(PlsWriteOffset, *offset);
}

bool PlsOperations::PLSConfigDownload(const std::array<int, ConfigValues>& CfgParam,
                                      int ScaleFactor) {
    BoardLink::Transaction transaction(m_core);
    // Values from a set-up file may be anything: all are checked before the first group goes.
    for (const int v : CfgParam)
        if (!isByte(v))
            return false;
    if (!isWord(ScaleFactor))
        return false;
    for (size_t g = 0; g < PlsConfigGroups.size(); ++g) {
        std::array<int, 6> group{};
        for (size_t i = 0; i < group.size(); ++i)
            group[i] = CfgParam[6 * g + i];
        if (!sendParameterGroup(PlsConfigGroups[g], group))
            return false;
    }
    return sendWord(PlsWriteScale, ScaleFactor);
}

std::array<int, PlsOperations::ConfigBytes> PlsOperations::PLSConfigUpload() {
    BoardLink::Transaction transaction(m_core);
    m_core.leaveMode();
    bool ok = m_core.enterMode(PlsConfigReadMode, PlsReadConfig) && !m_core.failed();
    for (int& value : m_config) {
        if (!ok)
            break;
        const auto answer = m_core.exchange(Acknowledge, Step::PlsByte);
        ok = !m_core.failed() && answer;
        if (ok)
            value = answer.value();
    }
    m_core.leaveMode();
    m_lastConfigUploadFailed = !ok;
    if (!ok)
        m_prompt.message(QStringLiteral("PLS Upload"),
                         QStringLiteral("Not able to Upload Configuration from PLS."),
                         Prompt::Icon::Exclamation);
    return m_config;
}
