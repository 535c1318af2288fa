#include "RefreshLoop.h"

#include "RSComm.h"
#include "Stepper.h"

#include <QWidget>

RefreshLoop::RefreshLoop(RSComm& link, std::function<void()> goOffline, RefreshView& view,
                         QObject* parent)
    : QObject(parent), m_link(link), m_goOffline(std::move(goOffline)), m_view(view) {
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

// Another transaction is on the stack, waiting in its message box: a step
// now would interleave with it. A modal window other than the owner (a
// message box, a transfer over the views) holds this loop still until it
// closes.
bool RefreshLoop::Paused() const {
    return Stepper::MustWait(m_link, m_owner.data());
}

void RefreshLoop::Step() {
    if (!m_loopRunning)
        return;
    if (Paused()) {
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
        m_onlinePrepared = false;
        if (m_goOffline)
            m_goOffline();
        else
            m_link.setOnlineMode(false);
        if (!m_loopRunning)
            return;
    }
    m_newCycle = false;
    m_view.CycleStart();
    if (!m_loopRunning)
        return;
    if (m_link.OnlineMode()) {
        if (!m_onlinePrepared) {
            m_onlinePrepared = true;
            m_view.PrepareOnline();
        }
        m_offlinePrepared = false;
        m_items = m_view.PollItems();
        m_pollIndex = 0;
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

void RefreshLoop::EndPass(bool completed) {
    if (completed) {
        ++m_passesCompleted;
        emit passCompleted();
    }
    m_pollIndex = -1;
    schedule(0);
}

void RefreshLoop::PollStep() {
    if (!m_link.OnlineMode() || m_newCycle || m_link.CommError()) {
        EndPass(false);
        return;
    }
    // Items the view skips this time cost no transaction.
    while (m_pollIndex < m_items.size() && m_items[m_pollIndex].when &&
           !m_items[m_pollIndex].when()) {
        ++m_pollIndex;
        if (!m_loopRunning)
            return;
    }
    if (m_pollIndex >= m_items.size()) {
        EndPass(true);
        return;
    }
    // A copy: the view may rebuild its items while this one runs.
    const PollItem item = m_items[m_pollIndex];
    std::optional<QString> value;
    if (item.read) {
        value = item.read();
    } else {
        QString text = m_link.RSRead(item.address);
        if (!m_link.LastReadFailed())
            value = std::move(text);
    }
    if (!m_loopRunning)
        return; // closed while the step waited in a message box
    if (m_link.CommError()) {
        EndPass(false); // the next cycle's top goes offline
        return;
    }
    if (!value) {
        // A read the board garbled twice is no value: what shows stays.
        if (item.readFailed)
            item.readFailed();
    } else if (item.show) {
        item.show(*value);
    }
    if (!m_loopRunning)
        return;
    ++m_pollIndex;
    if (m_pollIndex >= m_items.size())
        EndPass(true);
    else
        schedule(0);
}
