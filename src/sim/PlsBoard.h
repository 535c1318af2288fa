#pragma once

#include "BoardMemory.h"
#include "Faults.h"

#include <QtGlobal>
#include <array>

// The board's programmable limit switch: a resolver position, sixteen output
// channels, a configuration, and the PLS commands that follow an attention
// handshake with a PLS command byte.
//
// Position. The resolver counts 0..scale factor - 1 over one turn of the
// machine; the offset is subtracted from that count, so that
//     position = (floor(angle / 360 * scale) - offset) mod scale.
// Raising the offset by n moves the reported position back by n.
//
// Commands (bytes after the command byte; answers):
//  24, 40, 72, 88  read scale, offset, position, speed: 85, 85; low, high byte
//  26, 42          write scale (1..4352), offset (< scale): low, high; 85 each
//  27              single setpoint or clear: channel, on low, on high, off low,
//                  off high, flag (1 set, 0 clear); 85 each
//  43              pulse train: channel, start low, start high, on division,
//                  off division, 0; 85 each
//  59, 75, 91, 107 configuration values 0..5, 6..11, 12..17, 18..23; 85 each
//  9               recall: channel (85), then 85, 85, 85 answered by state,
//                  position low, position high
//  12              read the 19 configuration bytes: 85 each, answered by a byte
// A byte the board cannot accept (a channel above 15, a setpoint outside the
// scale, a pulse train that does not divide it) is answered 0 and the command
// is dropped. Commands that change the PLS then take the ready poll: 56 is
// answered 85; 85 is answered 85 while the PLS is busy (busyUs after the
// change) or 0 when it is ready; after ready one more 85 (answered 85) ends
// the command. Anything else during the poll drops the command with answer 0.
//
// Recall: a channel with setpoints answers state 1 with the ON setpoint, and a
// recall of the same channel right after that answers state 0 with the OFF
// setpoint. A pulse train answers state 3 with its start, a channel that is
// not programmed state 2 with position 0.
//
// Configuration bytes as read, from the 24 values last written:
//   byte 0 = value 18 (number of channels), byte 1 = value 0 (program number),
//   bytes 2..5 = values 1..4, bytes 6..9 = values 6..9,
//   bytes 10..17 = values 10..17, byte 18 = value 19.
//
// Outputs: bit n of W170 is set while channel n is on at the present position.
class PlsBoard {
public:
    static constexpr int Channels = 16;
    static constexpr int ConfigValues = 24;
    static constexpr int ConfigBytes = 19;
    static constexpr int MaxScale = 4352; // recalled positions fit 0..4351
    static constexpr int OutputsRegister = 170;
    static constexpr qint64 DefaultBusyUs = 50'000;

    struct Channel {
        enum class Kind { None, Setpoints, PulseTrain };
        Kind kind = Kind::None;
        int on = 0; // setpoints
        int off = 0;
        int start = 0; // pulse train
        int onDivision = 0;
        int offDivision = 0;
    };

    PlsBoard(BoardMemory& memory, const Faults& faults);

    // True when commandByte starts a PLS command.
    static bool isCommand(int commandByte);
    // The handshake ended with this command byte (answered 85 by the caller).
    void begin(int commandByte, qint64 nowUs);
    // One byte of the command; the answer. done is set when the command is over
    // and the board goes back to waiting for an attention byte.
    quint8 receive(quint8 byte, qint64 nowUs, bool& done);

    // The machine's angle moves the resolver (0..360 degrees of a turn), and its
    // speed is the speed the PLS reports; both are ignored while the resolver
    // is held. Until the machine reports a speed, the PLS reports the running speed.
    void setMachineAngle(double degrees);
    void setMachineSpeed(double strokesPerMinute) { m_machineSpeed = strokesPerMinute; }
    double machineAngle() const { return m_angle; }
    // Holds the resolver at this angle with the speed reading 0, as on a stopped
    // machine (the resolver offset is set only then).
    void stopAt(double degrees);
    // Follows the machine again.
    void run() { m_stopped = false; }
    bool stopped() const { return m_stopped; }
    // How long the PLS stays busy after a change.
    void setBusyUs(qint64 us) { m_busyUs = us; }

    int scaleFactor() const { return m_scale; }
    // Any word, 0 included: a board whose PLS lost its configuration reports 0.
    // (The write command takes 1..MaxScale only.)
    void setScaleFactor(int scale);
    int offset() const { return m_offset; }
    void setOffset(int offset);
    int position() const;
    int rpm() const;

    const Channel& channel(int n) const { return m_channels[size_t(n)]; }
    void setSetpoints(int n, int on, int off);
    void setPulseTrain(int n, int start, int onDivision, int offDivision);
    void clearChannel(int n);
    bool outputOn(int n) const;

    int configValue(int i) const { return m_config[size_t(i)]; }
    // As a configuration download would leave it.
    void setConfigValue(int i, int value) { m_config[size_t(i)] = value & 0xFF; }
    int configByte(int i) const;

private:
    enum class Stage { Data, AwaitPoll, AwaitStatus, AwaitFinal };

    bool acknowledges(int index) const;
    quint8 dataByte(quint8 byte, int index, qint64 nowUs, bool& done);
    quint8 pollByte(quint8 byte, qint64 nowUs, bool& done);
    quint8 finishChange(bool accepted, qint64 nowUs, bool& done);
    bool applyWord(int value);
    bool applyChannelRecord();
    void recall(int n);
    void updateOutputs();

    BoardMemory& m_memory;
    const Faults& m_faults;

    // The command in progress.
    int m_command = 0;
    int m_index = 0;
    Stage m_stage = Stage::Data;
    std::array<int, 6> m_bytes{};
    int m_answerWord = 0;
    qint64 m_busyUntilUs = 0;
    qint64 m_busyUs = DefaultBusyUs;

    // The resolver.
    double m_angle = 0;
    bool m_stopped = false;
    double m_machineSpeed;
    int m_scale = 360;
    int m_offset = 0;

    std::array<Channel, Channels> m_channels{};
    std::array<int, ConfigValues> m_config{};
    // Recall: the channel whose ON setpoint the last recall gave, else -1.
    int m_recalledOn = -1;
    int m_recallState = 2;
    int m_recallPosition = 0;
};
