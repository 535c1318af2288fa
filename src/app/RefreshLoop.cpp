#include "RefreshLoop.h"

#include "RSComm.h"

#include <QApplication>

RefreshLoop::RefreshLoop(RSComm& link, std::function<void()> applyOnlineMode, RefreshView& view,
                         QObject* parent)
    : QObject(parent), m_link(link), m_applyOnlineMode(std::move(applyOnlineMode)), m_view(view) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RefreshLoop::Step);
}

void RefreshLoop::Start() {
    m_loopRunning = true;
    m_pollIndex = -1;
    schedule(0);
}

void RefreshLoop::Stop() {
    m_loopRunning = false;
    m_timer.stop();
}

void RefreshLoop::schedule(int ms) {
    if (m_loopRunning)
        m_timer.start(ms);
}

void RefreshLoop::Step() {
    if (!m_loopRunning)
        return;
    // Another transaction is on the stack, waiting in its message box: this
    // step would interleave with it. And a modal window (a transfer, the port
    // settings) holds the views still until it closes, as its own loop nests
    // inside theirs. Try again shortly.
    if (m_link.Busy() || QApplication::activeModalWidget()) {
        schedule(BusyRetryMs);
        return;
    }
    ++m_stepDepth;
    if (m_pollIndex < 0)
        CycleTop();
    else
        PollStep();
    --m_stepDepth;
}

void RefreshLoop::CycleTop() {
    if (m_link.CommError()) {
        m_link.setOnlineMode(false);
        m_onlinePrepared = false;
        if (m_applyOnlineMode)
            m_applyOnlineMode();
        if (!m_loopRunning)
            return;
    }
    m_newCycle = false;
    m_view.CycleStart();
    if (m_link.OnlineMode()) {
        if (!m_onlinePrepared) {
            m_onlinePrepared = true;
            m_view.PrepareOnline();
        }
        m_offlinePrepared = false;
        m_pollIndex = 0;
        m_view.PollPassStart();
        // The cycle's top sent nothing: the pass's first read may follow in
        // this same step (a step still does at most one transaction).
        PollStep();
    } else {
        if (!m_offlinePrepared) {
            m_offlinePrepared = true;
            m_view.PrepareOffline();
        }
        m_onlinePrepared = false;
        m_view.MemoryPass();
        schedule(m_offlineIntervalMs);
    }
}

void RefreshLoop::PollStep() {
    if (!m_link.OnlineMode() || m_newCycle || m_pollIndex >= m_view.PollCount()) {
        m_pollIndex = -1;
        schedule(0);
        return;
    }
    const bool goOn = m_view.PollStep(m_pollIndex);
    if (!m_loopRunning)
        return; // closed while the step waited in a message box
    ++m_pollIndex;
    if (!goOn || m_pollIndex >= m_view.PollCount()) {
        if (goOn) {
            ++m_passesCompleted;
            emit passCompleted();
        }
        m_pollIndex = -1;
    }
    schedule(0);
}
