#pragma once

#include "BoardMemory.h"
#include "BoardStatus.h"
#include "Cupper.h"
#include "Df1Driver.h"
#include "Faults.h"
#include "PlsBoard.h"
#include "ProgramLoader.h"

#include <QByteArray>

// The board's side of every exchange of the link.
//
// The host speaks first, one byte at a time, and the board answers each byte
// (program records excepted). A transaction starts with the attention byte
// 255, answered by 85, and a mode byte, answered by 85: 1 reads registers,
// 2 writes them, 3 loads program records, the PLS command bytes start a PLS
// command. Read mode then takes records of two bytes (address high, echoed;
// address low, answered with the data byte); write mode takes records of
// three (address high, address low, data, each echoed).
//
// 255 is the attention byte, but it is also a legal address and data byte,
// and on the wire an attention byte looks the same as an address high byte of
// 255. The board tells them apart like this:
//  - Outside read and write mode (after power-up, after a PLS command, while
//    waiting for a mode byte), 255 is always attention.
//  - Inside a record, 255 is always an address or data byte.
//  - At the start of a record in read or write mode, 255 is taken as an
//    address high byte and echoed. The host, which wanted 85, sends 255 again,
//    and again; once the board has seen a whole record of 255s (read of FFFF,
//    or write of 255 to FFFF) followed by one more 255, that last 255 is
//    attention and is answered by 85. A write of 255 to FFFF that the board
//    takes as part of such an attention run is void.
// So every address 0000..FFFF reads and writes. (A byte answered with a
// wrong echo, as injected by Faults, counts as misheard: the board drops the
// record it was in and waits for the start of the next.) The costs: entering a mode
// from read or write mode takes up to three attention bytes instead of one;
// reading FF00..FFFF directly after reading FFFF, or writing 255 to FFFF as
// the last write before an attention, is misread (the link's repeat of a
// wrong-echo transaction recovers the read); and if the byte at FFFF holds 85
// an attention from read mode is mistaken for a read.
class BoardSimulator {
public:
    BoardSimulator();

    BoardMemory& memory() { return m_memory; }
    Faults& faults() { return m_faults; }
    PlsBoard& pls() { return m_pls; }
    Cupper& cupper() { return m_cupper; }
    BoardStatus& status() { return m_status; }
    Df1Driver& df1() { return m_df1; }
    ProgramLoader& program() { return m_program; }

    // One byte from the host at the given time; the bytes the board sends back
    // (none, one, or more when garbage is injected).
    QByteArray receive(quint8 byte, qint64 nowUs);
    qint64 bytesReceived() const { return m_received; }
    // Moves the machine on without traffic.
    void advanceTo(qint64 nowUs) {
        m_cupper.advanceTo(nowUs);
        m_status.advanceTo(nowUs);
        m_df1.advanceTo(nowUs);
    }

    enum class Mode { Idle, Attention, Read, Write, ProgramLoad, Pls };
    Mode mode() const { return m_mode; }

private:
    std::optional<quint8> answer(quint8 byte, qint64 nowUs);
    std::optional<quint8> startMode(quint8 modeByte, qint64 nowUs);
    std::optional<quint8> readByte(quint8 byte);
    std::optional<quint8> writeByte(quint8 byte);
    void commitPendingWrite();

    BoardMemory m_memory;
    Faults m_faults;
    PlsBoard m_pls;
    Cupper m_cupper;
    BoardStatus m_status{m_memory};
    Df1Driver m_df1{m_memory};
    ProgramLoader m_program;

    Mode m_mode = Mode::Idle;
    qint64 m_received = 0;
    qint64 m_silentSinceUs = 0;
    int m_position = 0; // byte of the current record
    int m_high = 0;
    int m_low = 0;
    bool m_lastRecordAll255 = false;
    bool m_pendingFfffWrite = false;
};
