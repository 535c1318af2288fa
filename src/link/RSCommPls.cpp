// PLS commands: the programmable limit switch of the board, driven by its own
// command bytes over the echo link.
#include "RSComm.h"

#include "Clock.h"

namespace {

constexpr int Acknowledge = 85;
constexpr int PollByte = 56;
constexpr int ReadyAnswer = 0;
constexpr int ReadFailed = -9999;
constexpr int ReadyFirstMs = 3000;
constexpr int ReadyRetryMs = 2000;
constexpr int HighestRecallByte = 16; // positions run 0..4351

// Board modes of the PLS commands.
constexpr int ChannelMode = 3;
constexpr int ReadWordMode = 4;
constexpr int WriteWordMode = 5;
constexpr int RecallMode = 6;
constexpr int ConfigWriteMode = 7;
constexpr int ConfigReadMode = 8;

// Command bytes.
constexpr int ReadScale = 24;
constexpr int ReadOffset = 40;
constexpr int ReadPosition = 72;
constexpr int ReadSpeed = 88;
constexpr int WriteScale = 26;
constexpr int WriteOffset = 42;
constexpr int ChannelSetpoints = 27;
constexpr int ChannelPulseTrain = 43;
constexpr int RecallCommand = 9;
constexpr int ReadConfig = 12;
constexpr std::array<int, 4> ConfigGroups = {59, 75, 91, 107};

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

} // namespace

int RSComm::PlsReadWord(int command) {
    m_boardMode = 0;
    if (!EnterBoardMode(ReadWordMode, command) || m_commError) {
        m_boardMode = 0;
        return ReadFailed;
    }
    int bytes[2] = {};
    for (int& b : bytes) {
        b = ExchangeByte(Acknowledge);
        // An answer to a resent attention byte is no part of the word.
        if (b == NoReply || b == Resynced || m_commError) {
            m_boardMode = 0;
            return ReadFailed;
        }
    }
    m_boardMode = 0;
    return bytes[0] + 256 * bytes[1];
}

bool RSComm::PlsSendWord(int command, int value) {
    if (!isWord(value))
        return false;
    m_boardMode = 0;
    bool ok = EnterBoardMode(WriteWordMode, command) && !m_commError;
    for (const int b : {value & 0xFF, value >> 8}) {
        if (ok && ExchangeByte(b) != Acknowledge)
            ok = false;
    }
    ok = ok && !m_commError && WaitPlsReady();
    m_boardMode = 0;
    return ok;
}

bool RSComm::PlsSendChannelRecord(int command, int channel, int firstWord, int secondWord,
                                  int lastByte) {
    if (!isByte(channel) || !isWord(firstWord) || !isWord(secondWord) || !isByte(lastByte))
        return false;
    return PlsSendBytes(
        ChannelMode, command,
        {channel, firstWord & 0xFF, firstWord >> 8, secondWord & 0xFF, secondWord >> 8, lastByte});
}

bool RSComm::PlsSendParameterGroup(int command, const std::array<int, 6>& values) {
    for (const int v : values)
        if (!isByte(v))
            return false;
    return PlsSendBytes(ConfigWriteMode, command, values);
}

bool RSComm::PlsSendBytes(int mode, int command, const std::array<int, 6>& bytes) {
    m_boardMode = 0;
    bool ok = EnterBoardMode(mode, command) && !m_commError;
    for (const int b : bytes) {
        if (!ok)
            break;
        ok = ExchangeByte(b) == Acknowledge && !m_commError;
    }
    ok = ok && WaitPlsReady();
    m_boardMode = 0;
    return ok;
}

bool RSComm::WaitPlsReady() {
    qint64 deadline = m_clock.nowMs() + ReadyFirstMs;
    for (;;) {
        // A link that failed inside a poll has had its question already.
        if (m_commError)
            return false;
        if (m_clock.nowMs() >= deadline) {
            const auto answer = m_prompt.message(
                QStringLiteral("WARNING - Communication Error!"),
                QStringLiteral("Cannot Determine PLS READY Mode Within Target Board."),
                Prompt::Icon::Critical, Prompt::Buttons::RetryCancel);
            if (answer != Prompt::Answer::Retry) {
                m_commError = true;
                return false;
            }
            deadline = m_clock.nowMs() + ReadyRetryMs;
        }
        if (ExchangeByte(PollByte) != Acknowledge)
            continue;
        if (ExchangeByte(Acknowledge) == ReadyAnswer) {
            ExchangeByte(Acknowledge); // ends the command; the answer does not matter
            return true;
        }
    }
}

QString RSComm::PLSScaleFactor() {
    BusyGuard busy(*this);
    return QString::number(PlsReadWord(ReadScale));
}

QString RSComm::PLSOffset() {
    BusyGuard busy(*this);
    return QString::number(PlsReadWord(ReadOffset));
}

QString RSComm::PLSPos() {
    BusyGuard busy(*this);
    return QString::number(PlsReadWord(ReadPosition));
}

QString RSComm::PLSRpm() {
    BusyGuard busy(*this);
    return QString::number(PlsReadWord(ReadSpeed));
}

bool RSComm::SingleSetpoint(int Chan, int OnSetpoint, int OffSetpoint, bool ClearChan) {
    BusyGuard busy(*this);
    // Values the link cannot send are refused before any traffic. Setpoints
    // above a word also lie above every scale factor and get the message below.
    if (!isByte(Chan) || OnSetpoint < 0 || OffSetpoint < 0)
        return false;
    if (m_commError)
        return false;
    const int scale = PlsReadWord(ReadScale);
    if (m_commError || scale == ReadFailed)
        return false;
    const int highest = scale - 1;
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
    if (ClearChan && (!PlsSendChannelRecord(ChannelSetpoints, Chan, 0, 0, 0) || m_commError))
        return false;
    return PlsSendChannelRecord(ChannelSetpoints, Chan, OnSetpoint, OffSetpoint, SetFlag);
}

bool RSComm::PulseTrain(int Chan, int ON_Division, int OFF_Division, int START_Division) {
    BusyGuard busy(*this);
    if (!isByte(Chan) || !isWord(START_Division) || ON_Division < 0 || OFF_Division < 0)
        return false;
    const int scale = PlsReadWord(ReadScale);
    if (m_commError || scale == ReadFailed)
        return false;
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
    if (PlsSendChannelRecord(ChannelPulseTrain, Chan, START_Division,
                             ON_Division + 256 * OFF_Division, 0))
        return !m_commError;
    m_prompt.message(QStringLiteral("PLS Pulse Train"),
                     QStringLiteral("Error Encountered while Programming Pulse Train.\n\n"
                                    "PLS Channel will not be Programmed."),
                     Prompt::Icon::Information);
    return false;
}

bool RSComm::ClearPLSChan(int Chan) {
    BusyGuard busy(*this);
    return PlsSendChannelRecord(ChannelSetpoints, Chan, 0, 0, 0);
}

bool RSComm::RecallChannel(int Chan) {
    BusyGuard busy(*this);
    if (!isByte(Chan))
        return false;
    m_boardMode = 0;
    if (!EnterBoardMode(RecallMode, RecallCommand)) {
        m_boardMode = 0;
        return false;
    }
    auto fail = [&](int state) {
        m_channelRecallState = state;
        m_channelRecallPos = 0;
        m_boardMode = 0;
        return false;
    };
    if (m_commError)
        return fail(2);
    if (ExchangeByte(Chan) != Acknowledge) {
        m_boardMode = 0;
        return false;
    }
    int answers[3] = {};
    for (int& a : answers) {
        a = ExchangeByte(Acknowledge);
        if (m_commError || a == NoReply || a == Resynced)
            return fail(0);
    }
    if (answers[2] > HighestRecallByte)
        return fail(2);
    m_channelRecallState = answers[0];
    m_channelRecallPos = answers[1] + 256 * answers[2];
    m_boardMode = 0;
    return true;
}

bool RSComm::SetPLSOffset(int Position) {
    BusyGuard busy(*this);
    if (m_commError)
        return false;
    int words[3] = {};
    const int commands[3] = {ReadOffset, ReadPosition, ReadScale};
    for (int i = 0; i < 3; ++i) {
        words[i] = PlsReadWord(commands[i]);
        if (m_commError || words[i] == ReadFailed)
            return false;
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
    return offset && PlsSendWord(WriteOffset, *offset);
}

bool RSComm::PLSConfigDownload(const std::array<int, PLSConfigValues>& CfgParam, int ScaleFactor) {
    BusyGuard busy(*this);
    // Values from a set-up file may be anything: all are checked before the first group goes.
    for (const int v : CfgParam)
        if (!isByte(v))
            return false;
    if (!isWord(ScaleFactor))
        return false;
    for (size_t g = 0; g < ConfigGroups.size(); ++g) {
        std::array<int, 6> group{};
        for (size_t i = 0; i < group.size(); ++i)
            group[i] = CfgParam[6 * g + i];
        if (!PlsSendParameterGroup(ConfigGroups[g], group))
            return false;
    }
    return PlsSendWord(WriteScale, ScaleFactor);
}

std::array<int, RSComm::PLSConfigBytes> RSComm::PLSConfigUpload() {
    BusyGuard busy(*this);
    m_boardMode = 0;
    bool ok = EnterBoardMode(ConfigReadMode, ReadConfig) && !m_commError;
    for (int& value : m_plsConfig) {
        if (!ok)
            break;
        const int answer = ExchangeByte(Acknowledge);
        ok = !m_commError && answer != NoReply && answer != Resynced;
        if (ok)
            value = answer;
    }
    m_boardMode = 0;
    m_lastPlsConfigUploadFailed = !ok;
    if (!ok)
        m_prompt.message(QStringLiteral("PLS Upload"),
                         QStringLiteral("Not able to Upload Configuration from PLS."),
                         Prompt::Icon::Exclamation);
    return m_plsConfig;
}
