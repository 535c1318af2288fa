#pragma once

#include "Baud.h"
#include "BoardSimulator.h"

#include <QString>
#include <atomic>
#include <optional>

// Serves a BoardSimulator on a pseudo-terminal (or a real serial device), in
// real time. Optionally throttled as a real 9600 or 19200 baud wire: each
// byte from the host takes one byte time from when it arrived here or the
// byte before it was in, whichever is later, and an answer comes one byte
// time after its byte was in (two byte times for a lone byte, one byte time
// after the last of bytes streamed back to back), so that no host can be
// faster than the wire. Optionally also held as a USB serial adapter holds received
// bytes until its latency timer next expires.
class PtyServer {
public:
    explicit PtyServer(BoardSimulator& board) : m_board(board) {}
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates a pseudo-terminal; path() names the side a program opens.
    bool openPty();
    // Serves a real serial device at the given baud rate.
    bool openDevice(const QString& device, Baud baud);
    // Also serves the pseudo-terminal under linkPath: a symbolic link made
    // now (replacing a link left there, never another kind of file) and
    // removed when the server ends, unless it names another server's by
    // then. A board that goes and comes back under the same name, as a USB
    // adapter pulled out and put back does.
    bool linkAs(const QString& linkPath);
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    // 0 serves unthrottled. The hold counts from when the byte is read here,
    // so the pseudo-terminal's own delivery time comes on top, as a real
    // line's driver and cable would add theirs.
    void setThrottleBaud(int baud) { m_throttleBaud = baud; }
    // None answers a host at any speed. Otherwise only a host whose port is set
    // to this speed is answered, as a real board's line garbles any other: on
    // a pseudo-terminal the speed the host set is read at each byte; a real
    // device is opened at this speed.
    void setAnswerBaud(std::optional<Baud> baud) { m_answerBaud = baud; }
    // 0: none. Otherwise answers leave only at the ticks of a timer of this
    // period, as an adapter's latency timer releases what it has received.
    void setLatencyMs(int ms) { m_latencyNs = qint64(ms) * 1'000'000; }

    // -1: never. Otherwise the line is dropped for good once byte N (from 0)
    // is answered, as when a cable is pulled: run() returns.
    void setHangUpAfter(qint64 byte) { m_hangUpAfter = byte; }

    // Serves until stop becomes true (checked at least every 100 ms).
    void run(const std::atomic<bool>& stop);

private:
    void sendAt(const QByteArray& bytes, qint64 dueNs);
    void waitUntil(qint64 dueNs);
    qint64 latencyTick(qint64 dueNs) const;
    bool hostAtAnswerSpeed() const;

    BoardSimulator& m_board;
    int m_fd = -1;
    int m_slaveFd = -1; // held open so the pseudo-terminal survives its clients
    QString m_path;
    QString m_link;
    QString m_error;
    int m_throttleBaud = 0;
    std::optional<Baud> m_answerBaud;
    bool m_pty = false;
    qint64 m_latencyNs = 0;
    qint64 m_epochNs = 0; // the latency timer's phase
    qint64 m_hangUpAfter = -1;
    qint64 m_wakeLateNs = 50'000; // how late the kernel's wake-ups come, as learnt
};
