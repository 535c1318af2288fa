#include "RefreshLoop.h"

#include "RSComm.h"
#include "SampleRead.h"

#include <algorithm>

// The step timer holds a step back while another transaction is on the stack
// (waiting in its message box: a step now would interleave with it) or a
// modal window other than the owner (a message box, a transfer over the
// views) is open.
RefreshLoop::RefreshLoop(RSComm& link, std::function<void()> goOffline, RefreshView& view,
                         QObject* parent)
    : QObject(parent), m_link(link), m_goOffline(std::move(goOffline)), m_view(view),
      m_timer(link, [this] { Step(); }) {}

void RefreshLoop::Start() {
    m_pollIndex = -1;
    m_timer.Start();
}

void RefreshLoop::Stop() {
    m_timer.Stop();
}

void RefreshLoop::setPassIntervalMs(int ms) {
    m_passSchedule = SampleSchedule(ms);
    m_nextPassMs = -1;
}

bool RefreshLoop::WaitForPass() {
    // Short enough that an offline link or a closed view is seen at once.
    constexpr qint64 WaitSliceMs = 100;
    if (m_passSchedule.intervalMs() == 0)
        return false;
    if (!m_paceClock.isValid())
        m_paceClock.start();
    const qint64 now = m_paceClock.elapsed();
    if (m_nextPassMs < 0) {
        m_passSchedule.start(now);
        m_nextPassMs = now;
    }
    if (now >= m_nextPassMs)
        return false;
    schedule(int(std::min(m_nextPassMs - now, WaitSliceMs)));
    return true;
}

void RefreshLoop::Step() {
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
        if (!LoopRunning())
            return;
    }
    m_newCycle = false;
    m_view.CycleStart();
    if (!LoopRunning())
        return;
    if (m_link.OnlineMode()) {
        if (!m_onlinePrepared) {
            m_onlinePrepared = true;
            m_view.PrepareOnline();
        }
        m_offlinePrepared = false;
        if (WaitForPass())
            return;
        m_view.PassStart();
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
        m_nextPassMs = -1; // online again, the first pass starts at once
        m_view.MemoryPass();
        schedule(m_offlineIntervalMs);
    }
}

void RefreshLoop::EndPass(bool completed) {
    if (completed) {
        ++m_passesCompleted;
        if (m_passSchedule.intervalMs() > 0 && m_nextPassMs >= 0)
            m_nextPassMs = m_passSchedule.next(m_paceClock.elapsed());
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
        if (!LoopRunning())
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
    } else if (item.reading == PollItem::Whole) {
        value = SampleRead::read(m_link, item.address);
    } else {
        QString text = m_link.RSRead(item.address);
        if (!m_link.LastReadFailed())
            value = std::move(text);
    }
    if (!LoopRunning())
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
    if (!LoopRunning())
        return;
    ++m_pollIndex;
    if (m_pollIndex >= m_items.size())
        EndPass(true);
    else
        schedule(0);
}
