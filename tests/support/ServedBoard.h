#pragma once

// The simulated board served on a pseudo-terminal by a thread of this test
// program, for tests that go through a real serial stack without a process.
#include "BoardSimulator.h"
#include "PtyServer.h"

#include <atomic>
#include <thread>

class ServedBoard {
public:
    explicit ServedBoard(int throttleBaud = 0, int latencyMs = 0) : m_server(m_board) {
        m_opened = m_server.openPty();
        m_server.setThrottleBaud(throttleBaud);
        m_server.setLatencyMs(latencyMs);
        if (m_opened)
            m_thread = std::thread([this] { m_server.run(m_stop); });
    }
    ~ServedBoard() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    ServedBoard(const ServedBoard&) = delete;
    ServedBoard& operator=(const ServedBoard&) = delete;

    bool opened() const { return m_opened; }
    QString pty() const { return m_server.path(); }

private:
    BoardSimulator m_board;
    PtyServer m_server;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    bool m_opened = false;
};
