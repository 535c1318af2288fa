#pragma once

#include "BoardMemory.h"

#include <QtGlobal>

// The board's DF1 driver talking to an Allen-Bradley PLC: it sends a read
// or a write to the PLC every so often, counts its transactions and the
// replies, and now and then a reply does not come or reports an error, so
// that its status registers are worth watching.
class Df1Driver {
public:
    // Status registers of the driver.
    static constexpr int ActiveCommand = 4014;       // B4014: 0 read, 1 write
    static constexpr int CurrentTransaction = 4016;  // W4016
    static constexpr int StsCode = 4018;             // B4018
    static constexpr int ExtStsCode = 4019;          // B4019
    static constexpr int TransmitStatus = 4021;      // B4021
    static constexpr int TransmitStatusPrev = 4022;  // B4022
    static constexpr int ConfigurationStatus = 4023; // B4023
    static constexpr int BytesReceived = 4026;       // B4026
    static constexpr int ReceivedCommand = 4302;     // B4302.6: 0 command, 1 reply
    static constexpr int ReceivedCommandBit = 6;
    static constexpr int LinkStatus = 4303;          // B4303: 0 no error
    static constexpr int TransactionReceived = 4304; // W4304
    static constexpr int DriverEnabledFlag = 152;    // F152

    // Time between two transactions with the PLC, microseconds.
    static constexpr qint64 TransactionUs = 400'000;

    explicit Df1Driver(BoardMemory& memory) : m_memory(memory) {}

    // The driver configured and enabled, nothing sent yet.
    void powerUp();
    // Runs the transactions due up to the given time (any origin).
    void advanceTo(qint64 nowUs);
    // A held driver leaves its registers alone (tests set them by hand).
    void hold(bool held) { m_held = held; }

private:
    void transaction();
    quint32 nextRandom();

    BoardMemory& m_memory;
    qint64 m_lastUs = -1;
    qint64 m_dueUs = 0;
    quint32 m_random = 0x1D872B41;
    bool m_held = false;
};
