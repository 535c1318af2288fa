#include "PlsBoard.h"

#include "BoardProtocol.h"
#include "BoardRegisters.h"

#include <algorithm>
#include <cmath>

namespace {

using BoardProtocol::Acknowledge;
constexpr quint8 Refused = 0;
constexpr int PollByte = BoardProtocol::PlsPoll;
constexpr int Ready = BoardProtocol::PlsReady;

enum Command {
    ReadScale = BoardProtocol::PlsReadScale,
    ReadOffset = BoardProtocol::PlsReadOffset,
    ReadPosition = BoardProtocol::PlsReadPosition,
    ReadSpeed = BoardProtocol::PlsReadSpeed,
    WriteScale = BoardProtocol::PlsWriteScale,
    WriteOffset = BoardProtocol::PlsWriteOffset,
    ChannelSetpoints = BoardProtocol::PlsChannelSetpoints,
    ChannelPulseTrain = BoardProtocol::PlsChannelPulseTrain,
    ConfigGroup1 = BoardProtocol::PlsConfigGroups[0],
    ConfigGroup2 = BoardProtocol::PlsConfigGroups[1],
    ConfigGroup3 = BoardProtocol::PlsConfigGroups[2],
    ConfigGroup4 = BoardProtocol::PlsConfigGroups[3],
    RecallChannel = BoardProtocol::PlsRecall,
    ReadConfig = BoardProtocol::PlsReadConfig,
};

int configGroup(int command) {
    switch (command) {
    case ConfigGroup1:
        return 0;
    case ConfigGroup2:
        return 1;
    case ConfigGroup3:
        return 2;
    case ConfigGroup4:
        return 3;
    default:
        return -1;
    }
}

int modulo(int value, int divisor) {
    return ((value % divisor) + divisor) % divisor;
}

} // namespace

PlsBoard::PlsBoard(BoardMemory& memory, const Faults& faults)
    : m_memory(memory), m_faults(faults), m_machineSpeed(BoardRegisters::RunningSpeed) {
    m_config[18] = Channels;
    updateOutputs();
}

bool PlsBoard::isCommand(int commandByte) {
    switch (commandByte) {
    case ReadScale:
    case ReadOffset:
    case ReadPosition:
    case ReadSpeed:
    case WriteScale:
    case WriteOffset:
    case ChannelSetpoints:
    case ChannelPulseTrain:
    case ConfigGroup1:
    case ConfigGroup2:
    case ConfigGroup3:
    case ConfigGroup4:
    case RecallChannel:
    case ReadConfig:
        return true;
    default:
        return false;
    }
}

void PlsBoard::begin(int commandByte, qint64) {
    m_command = commandByte;
    m_index = 0;
    m_stage = Stage::Data;
    m_bytes = {};
}

quint8 PlsBoard::receive(quint8 byte, qint64 nowUs, bool& done) {
    done = false;
    if (m_stage != Stage::Data)
        return pollByte(byte, nowUs, done);
    const int index = m_index++;
    if (index == m_faults.plsRefuseByteIndex && acknowledges(index)) {
        done = true;
        return Refused;
    }
    return dataByte(byte, index, nowUs, done);
}

bool PlsBoard::acknowledges(int index) const {
    switch (m_command) {
    case ReadScale:
    case ReadOffset:
    case ReadPosition:
    case ReadSpeed:
    case ReadConfig:
        return false;
    case RecallChannel:
        return index == 0;
    default:
        return true;
    }
}

quint8 PlsBoard::dataByte(quint8 byte, int index, qint64 nowUs, bool& done) {
    switch (m_command) {
    case ReadScale:
    case ReadOffset:
    case ReadPosition:
    case ReadSpeed:
        if (index == 0) {
            m_answerWord = m_command == ReadScale    ? m_scale
                           : m_command == ReadOffset ? m_offset
                           : m_command == ReadSpeed  ? rpm()
                                                     : position();
            return quint8(m_answerWord & 0xFF);
        }
        done = true;
        return quint8((m_answerWord >> 8) & 0xFF);
    case WriteScale:
    case WriteOffset:
        m_bytes[size_t(index)] = byte;
        if (index == 0)
            return Acknowledge;
        return finishChange(applyWord(m_bytes[0] + 256 * m_bytes[1]), nowUs, done);
    case ChannelSetpoints:
    case ChannelPulseTrain:
        m_bytes[size_t(index)] = byte;
        if (index == 0 && byte >= Channels) {
            done = true;
            return Refused;
        }
        if (index < 5)
            return Acknowledge;
        return finishChange(applyChannelRecord(), nowUs, done);
    case RecallChannel:
        if (index == 0) {
            if (byte >= Channels) {
                done = true;
                return Refused;
            }
            recall(byte);
            return Acknowledge;
        }
        if (index == 1)
            return quint8(m_recallState);
        if (index == 2)
            return quint8(m_recallPosition & 0xFF);
        done = true;
        return m_faults.plsRecallHighByte >= 0 ? quint8(m_faults.plsRecallHighByte)
                                               : quint8(m_recallPosition >> 8);
    case ReadConfig:
        done = index + 1 >= ConfigBytes;
        return quint8(configByte(index));
    default: {
        const int group = configGroup(m_command);
        if (group < 0) {
            done = true;
            return Refused;
        }
        m_bytes[size_t(index)] = byte;
        if (index < 5)
            return Acknowledge;
        for (int i = 0; i < 6; ++i)
            m_config[size_t(6 * group + i)] = m_bytes[size_t(i)];
        return finishChange(true, nowUs, done);
    }
    }
}

quint8 PlsBoard::finishChange(bool accepted, qint64 nowUs, bool& done) {
    if (!accepted) {
        done = true;
        return Refused;
    }
    updateOutputs();
    m_busyUntilUs = nowUs + m_busyUs;
    m_stage = Stage::AwaitPoll;
    return Acknowledge;
}

quint8 PlsBoard::pollByte(quint8 byte, qint64 nowUs, bool& done) {
    switch (m_stage) {
    case Stage::AwaitPoll:
        if (byte == PollByte) {
            m_stage = Stage::AwaitStatus;
            return Acknowledge;
        }
        break;
    case Stage::AwaitStatus:
        if (byte == Acknowledge) {
            const bool busy = m_faults.plsStaysBusy || nowUs < m_busyUntilUs;
            m_stage = busy ? Stage::AwaitPoll : Stage::AwaitFinal;
            return busy ? Acknowledge : Ready;
        }
        break;
    case Stage::AwaitFinal:
        if (byte == Acknowledge) {
            done = true;
            return Acknowledge;
        }
        break;
    case Stage::Data:
        break;
    }
    // Out of step (an attention byte, most likely): the command is dropped.
    done = true;
    return Refused;
}

bool PlsBoard::applyWord(int value) {
    if (m_command == WriteScale) {
        if (value < 1 || value > MaxScale)
            return false;
        setScaleFactor(value);
        return true;
    }
    if (value >= m_scale)
        return false;
    setOffset(value);
    return true;
}

bool PlsBoard::applyChannelRecord() {
    const int n = m_bytes[0];
    const int first = m_bytes[1] + 256 * m_bytes[2];
    if (m_command == ChannelSetpoints) {
        const int second = m_bytes[3] + 256 * m_bytes[4];
        if (m_bytes[5] == 0) {
            clearChannel(n);
            return true;
        }
        if (m_bytes[5] != 1 || first >= m_scale || second >= m_scale)
            return false;
        setSetpoints(n, first, second);
        return true;
    }
    const int onDivision = m_bytes[3];
    const int offDivision = m_bytes[4];
    const int period = onDivision + offDivision;
    if (onDivision == 0 || offDivision == 0 || m_scale == 0 || m_scale % period != 0 ||
        first >= m_scale)
        return false;
    setPulseTrain(n, first, onDivision, offDivision);
    return true;
}

void PlsBoard::recall(int n) {
    const Channel& c = m_channels[size_t(n)];
    switch (c.kind) {
    case Channel::Kind::Setpoints:
        if (m_recalledOn == n) {
            m_recallState = 0;
            m_recallPosition = c.off;
            m_recalledOn = -1;
        } else {
            m_recallState = 1;
            m_recallPosition = c.on;
            m_recalledOn = n;
        }
        return;
    case Channel::Kind::PulseTrain:
        m_recallState = 3;
        m_recallPosition = c.start;
        break;
    case Channel::Kind::None:
        m_recallState = 2;
        m_recallPosition = 0;
        break;
    }
    m_recalledOn = -1;
}

void PlsBoard::setMachineAngle(double degrees) {
    if (m_stopped)
        return;
    m_angle = degrees;
    updateOutputs();
}

void PlsBoard::stopAt(double degrees) {
    m_stopped = true;
    m_angle = degrees;
    updateOutputs();
}

void PlsBoard::setScaleFactor(int scale) {
    m_scale = qBound(0, scale, 65535);
    if (m_scale > 0)
        m_offset = modulo(m_offset, m_scale);
    updateOutputs();
}

void PlsBoard::setOffset(int offset) {
    m_offset = m_scale > 0 ? modulo(offset, m_scale) : 0;
    updateOutputs();
}

int PlsBoard::rpm() const {
    return m_stopped ? 0 : int(std::lround(std::clamp(m_machineSpeed, 0.0, 65535.0)));
}

int PlsBoard::position() const {
    if (m_scale <= 0)
        return 0;
    // Angle times scale first, so that whole degrees give exact counts.
    const int raw = int(std::floor(std::fmod(m_angle, 360.0) * m_scale / 360.0)) % m_scale;
    return modulo(raw - m_offset, m_scale);
}

void PlsBoard::setSetpoints(int n, int on, int off) {
    m_channels[size_t(n)] = Channel{Channel::Kind::Setpoints, on, off, 0, 0, 0};
    m_recalledOn = -1;
    updateOutputs();
}

void PlsBoard::setPulseTrain(int n, int start, int onDivision, int offDivision) {
    m_channels[size_t(n)] =
        Channel{Channel::Kind::PulseTrain, 0, 0, start, onDivision, offDivision};
    m_recalledOn = -1;
    updateOutputs();
}

void PlsBoard::clearChannel(int n) {
    m_channels[size_t(n)] = Channel{};
    m_recalledOn = -1;
    updateOutputs();
}

bool PlsBoard::outputOn(int n) const {
    const Channel& c = m_channels[size_t(n)];
    const int p = position();
    switch (c.kind) {
    case Channel::Kind::Setpoints:
        if (c.on < c.off)
            return p >= c.on && p < c.off;
        if (c.on > c.off) // the on stretch wraps through 0
            return p >= c.on || p < c.off;
        return false;
    case Channel::Kind::PulseTrain: {
        const int period = c.onDivision + c.offDivision;
        return period > 0 && m_scale > 0 && modulo(p - c.start, m_scale) % period < c.onDivision;
    }
    case Channel::Kind::None:
        return false;
    }
    return false;
}

int PlsBoard::configByte(int i) const {
    if (i == 0)
        return m_config[18];
    if (i <= 5)
        return m_config[size_t(i - 1)];
    if (i <= 17)
        return m_config[size_t(i)];
    return m_config[19];
}

void PlsBoard::updateOutputs() {
    int bits = 0;
    for (int n = 0; n < Channels; ++n)
        if (outputOn(n))
            bits |= 1 << n;
    m_memory.setWord(OutputsRegister, bits);
}
