#pragma once

#include "Address.h"

#include <QtGlobal>

// One event on the link, as its observers see it: a byte exchanged (or sent,
// or waited for), or the value a transaction ended with. Plain data, cheap
// to copy: observers keep what they need and format it later.
struct Exchange {
    // What the byte is for in its transaction.
    enum class Step : quint8 {
        Byte,           // a byte without a named part
        Greeting,       // the attention byte that opens the link
        Farewell,       // the attention byte that closes it
        Attention,      // the attention byte of a mode handshake
        ModeByte,       // the mode byte of a handshake (mode, modeByte)
        AddressHigh,    // address high byte of a register's byte (address, byteIndex)
        AddressLow,     // address low byte; in read mode answered by the data byte
        Data,           // data byte of a write
        PlsByte,        // a byte of a PLS command (modeByte names the command)
        PlsReadyPoll,   // "PLS ready?"
        PlsReadyAnswer, // the 85 after the poll, answered 0 (ready) or 85 (busy)
        PlsEnd,         // the 85 that ends a command once ready
        RecordByte,     // a program record byte, sent without waiting
        RecordSum,      // the board's sum of a record
        ProgramLoad,    // the attention byte and mode byte around program loading
        Value,          // a register read gave value (address)
        Written,        // a register write of value went through (address)
    };
    // How it went.
    enum class Outcome : quint8 {
        Answered,  // reply came (for Value and Written: the transaction is done)
        Sent,      // sent; no reply awaited
        TimedOut,  // no reply in time
        Resent,    // the attention byte resent after a time-out
        Resynced,  // a reply that answers a resent attention byte: the transaction starts over
        WrongEcho, // reply, but not the one the protocol wants
        Lost,      // the port carries nothing more
        Skipped,   // the link had failed: nothing was sent
    };

    qint64 atUs = 0;    // the link clock when the byte went (or the event happened)
    qint32 tookUs = -1; // until the reply came; -1 without a reply
    qint16 sent = -1;   // -1: nothing sent
    qint16 reply = -1;  // -1: nothing came
    Step step = Step::Byte;
    Outcome outcome = Outcome::Answered;
    quint8 mode = 0;     // ModeByte: the board mode asked for
    quint8 modeByte = 0; // ModeByte, PlsByte: the mode or command byte
    quint8 byteIndex = 0;
    ParsedAddress address; // AddressHigh, AddressLow, Data, Value, Written
    qint64 value = 0;      // Value, Written
};

// Told of every exchange on a link, on the link's own thread, while the
// exchange runs: keep it quick, and start no transaction from it.
class ExchangeObserver {
public:
    virtual ~ExchangeObserver() = default;
    virtual void exchanged(const Exchange& exchange) = 0;
};
