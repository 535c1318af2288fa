#pragma once

#include "BoardSimulator.h"

#include <QString>
#include <atomic>

// Serves a BoardSimulator on a pseudo-terminal (or a real serial device), in
// real time. Optionally throttled: each answer is held until the wire time of
// two bytes (the host's byte and the answer) has passed since the host's byte
// arrived, so that the link sees the timing of a real 9600 or 19200 baud wire.
class PtyServer {
public:
    explicit PtyServer(BoardSimulator& board) : m_board(board) {}
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates a pseudo-terminal; path() names the side a program opens.
    bool openPty();
    // Serves a real serial device at the given baud rate.
    bool openDevice(const QString& device, int baud);
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    // 0 serves unthrottled. Throttled, the wire time counts from when the
    // program wrote its byte: the pseudo-terminal's own delivery time,
    // measured here, is taken off the hold.
    void setThrottleBaud(int baud) {
        m_throttleBaud = baud;
        m_deliveryNs = baud > 0 ? measureDeliveryNs() : 0;
    }
    qint64 deliveryNs() const { return m_deliveryNs; }

    // Serves until stop becomes true (checked at least every 100 ms).
    void run(const std::atomic<bool>& stop);

private:
    void sendAt(const QByteArray& bytes, qint64 dueNs);
    qint64 measureDeliveryNs();

    BoardSimulator& m_board;
    int m_fd = -1;
    int m_slaveFd = -1; // held open so the pseudo-terminal survives its clients
    QString m_path;
    QString m_error;
    int m_throttleBaud = 0;
    qint64 m_deliveryNs = 0;
};
