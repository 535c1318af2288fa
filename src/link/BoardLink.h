#pragma once

#include "Address.h"
#include "Exchange.h"
#include "LinkResult.h"
#include "SerialPort.h"

#include <QString>
#include <functional>
#include <vector>

class Clock;
class LongWait;

// The link to one board: the byte exchange of the echo protocol with its
// attention handshake, time-outs, resends and board modes, and the register
// reads and writes built on it. It asks no questions and keeps no files and
// no online flag: what to do when the board stays silent is a policy it is
// given. Synchronous, and bound to no thread: one BoardLink per board, used
// only by the thread that owns it (with its port and clock).
class BoardLink {
public:
    enum class Silence {
        Byte,     // a byte unanswered after its resends (at once when the port is lost)
        Mode,     // a mode handshake not done within its time
        PlsReady, // the PLS did not report ready within its time
    };
    enum class Answer { Retry, Cancel };
    struct Policy {
        // Asked at each silence; reason: why the port carries nothing (then
        // Retry opens it again), or what it knows of the silence (a network
        // port's server and speed), in words; often empty. None: Cancel.
        std::function<Answer(Silence, const QString& reason)> onSilence;
        // Told of every wait for a reply longer than LongWaitMs (none: the link just waits).
        LongWait* longWait = nullptr;
    };
    enum class Send { AwaitReply, DiscardFirst, NoWait };

    // A reply awaited this long makes a long wait: from then on the link waits
    // in slices and gives the program a turn between them.
    static constexpr int LongWaitMs = 100;
    static constexpr int LongWaitSliceMs = 50;

    explicit BoardLink(Clock& clock);
    ~BoardLink();
    BoardLink(const BoardLink&) = delete;
    BoardLink& operator=(const BoardLink&) = delete;

    void setPolicy(Policy policy);
    // Observers are told of every exchange; they must outlive their place here.
    void addObserver(ExchangeObserver& observer);
    void removeObserver(ExchangeObserver& observer);

    // Opens the port (closing it first when open) and greets the board. A
    // port that cannot be opened fails with PortLost and the port's reason.
    LinkResult<void> open(SerialPort& port, const PortSettings& settings);
    // Says goodbye (unless the link failed or the connection is gone) and closes the port.
    void close();
    SerialPort* port() const { return m_port; }
    Clock& clock() const { return m_clock; }

    // The link has failed: every exchange returns at once, sending nothing,
    // until this is cleared (by open, or by the caller).
    bool failed() const { return m_failed; }
    void setFailed(bool failed) { m_failed = failed; }

    // One byte out and its reply. expect: the reply the protocol wants (-1:
    // any); another one is a WrongEcho failure carrying the byte. A reply that
    // came only after a resent attention byte answers that byte: WrongEcho.
    LinkResult<int> exchange(int byte, Exchange::Step step = Exchange::Step::Byte, int expect = -1,
                             Send send = Send::AwaitReply);
    // One byte the board sends unasked (a program record's sum).
    LinkResult<int> awaitByte(int timeoutMs, Exchange::Step step = Exchange::Step::RecordSum);
    // The attention handshake into a board mode (1 read, 2 write, 3..8 PLS).
    LinkResult<void> enterMode(int mode, int modeByte);
    int mode() const { return m_mode; }
    // The next transaction starts with a handshake.
    void leaveMode() { m_mode = 0; }

    // A register's value; a wrong echo is tried once more from a fresh handshake.
    LinkResult<qint64> read(const ParsedAddress& address);
    // Writes value; Refused (nothing sent) with the reason when the register
    // cannot hold it. A wrong echo writes the whole value once more. A bit
    // is written by its byte, read first: never with bits that were not read.
    LinkResult<void> write(const ParsedAddress& address, quint64 value);
    // The PLS ready poll, after a command that changes the PLS.
    LinkResult<void> waitPlsReady();

    // A transaction, or a group of them, is running: whoever finds the link
    // busy (a timer inside a message box of the transaction) leaves it alone.
    bool busy() const { return m_busyDepth > 0; }
    // Marks the link busy for its lifetime, so that transactions belong together.
    class Transaction {
    public:
        explicit Transaction(BoardLink& link) : m_link(link) { ++m_link.m_busyDepth; }
        ~Transaction() { --m_link.m_busyDepth; }
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        BoardLink& m_link;
    };

private:
    class LongWaitScope;
    struct Context;
    LinkResult<int> exchangeByte(int byte, const Context& context, Send send);
    LinkFailure silentFailure() const;
    Answer askAbout(Silence silence, const QString& reason) const;
    bool reconnect(const QString& lost);
    bool waitForReply(qint64 deadline, qint64 waitStart, LongWaitScope& longWait);
    LinkResult<qint64> readOnce(const ParsedAddress& address);
    LinkResult<void> writeOnce(const ParsedAddress& address, quint64 value);
    void tell(const Exchange& exchange);
    bool observed() const { return !m_observers.empty(); }

    Clock& m_clock;
    Policy m_policy;
    std::vector<ExchangeObserver*> m_observers;
    SerialPort* m_port = nullptr;
    PortSettings m_settings; // as the port was opened, to connect again
    bool m_failed = false;
    int m_mode = 0;
    int m_modeByte = 0; // of the last handshake
    int m_busyDepth = 0;
};
