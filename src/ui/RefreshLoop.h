#pragma once

#include "SampleSchedule.h"
#include "StepTimer.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class RSComm;
class QWidget;

// One value a view polls: where it comes from and what to do with it. The
// loop does the rest of every step the same way for all views: the read,
// stopping when the loop ended, going offline on a comm error, and keeping
// what shows when the read finally failed.
struct PollItem {
    // How the loop reads the address.
    enum Reading {
        // RSRead: the register's bytes one after another. For values that
        // only the host changes (settings), and single bytes.
        Plain,
        // SampleRead: the bytes of one moment, for a value the running machine
        // changes; read plainly, a position going from 255 to 256 between its
        // two bytes shows 511. A word costs 6 exchanges instead of 4, a double
        // word 14 instead of 8, and 2 or 6 more when the value moved under the read.
        Whole,
    };

    PollItem() = default;
    PollItem(QString address, std::function<void(const QString&)> show, Reading reading = Plain)
        : address(std::move(address)), show(std::move(show)), reading(reading) {}

    // Read as `reading` says, unless `read` is set.
    QString address;
    // Called with the value text when the read succeeded.
    std::function<void(const QString& value)> show;
    Reading reading = Plain;
    // Another transaction (a PLS word, say); nullopt when it failed without
    // a comm error.
    std::function<std::optional<QString>()> read;
    // Checked at the item's turn: false skips it with no transaction.
    std::function<bool()> when;
    // The read finally failed without a comm error: what shows stays.
    std::function<void()> readFailed;
};

// What a view gives its refresh loop: how to prepare its controls for each
// mode, what one online pass polls, and the offline pass from memory.
class RefreshView {
public:
    virtual ~RefreshView() = default;
    // Start of every cycle, after the comm-error check; no board traffic.
    virtual void CycleStart() {}
    virtual void PrepareOnline() = 0;
    virtual void PrepareOffline() = 0;
    // An online pass starts now: what its items need on screen and the
    // state they fill in; no board traffic.
    virtual void PassStart() {}
    // The items of the online pass that starts now, one transaction each.
    // They only read and show.
    virtual QList<PollItem> PollItems() = 0;
    // The offline pass: values from memory, no board traffic.
    virtual void MemoryPass() = 0;
};

// A view's refresh loop, run by the event loop one step at a time: each step
// does at most one board transaction and returns, so menus, buttons and the
// background timer always run between two whole transactions, and no loop
// ever nests inside another.
//
// A cycle: if the link has failed, go offline; then either prepare the
// controls for online use once and run one poll pass, or prepare them for
// offline use once and run the memory pass. A pass ends early when the loop
// stops, the program goes offline, a read fails with a comm error, or the
// view asks for a new cycle (a tab changed).
//
// The loop pauses while another transaction runs or a modal window other
// than its owner is open (a message box, a dialog over the views). A modal
// window that runs its own loop names itself as the owner.
class RefreshLoop : public QObject {
    Q_OBJECT
public:
    // Pause between offline cycles: memory changes only by user actions,
    // and a loop that never pauses would burn a core.
    static constexpr int DefaultOfflineIntervalMs = 50;
    // Retry interval while another transaction runs or a modal window is open.
    static constexpr int BusyRetryMs = StepTimer::BusyRetryMs;

    RefreshLoop(RSComm& link, std::function<void()> goOffline, RefreshView& view,
                QObject* parent = nullptr);

    // The modal window this loop belongs to; it runs while that window is
    // the active modal one.
    void setOwner(QWidget* owner) { m_timer.setOwner(owner); }

    // LoopRunning = true; the first step runs from the event loop.
    void Start();
    // LoopRunning = false: no further step runs and no control is touched.
    void Stop();
    // The pass in progress ends at the next step and a new cycle begins.
    void NewCycle() { m_newCycle = true; }

    bool LoopRunning() const { return m_timer.Running(); }
    bool OnlinePrepared() const { return m_onlinePrepared; }
    bool OfflinePrepared() const { return m_offlinePrepared; }
    // A step is on the stack (inside a transaction's message box, say).
    bool InStep() const { return m_stepDepth > 0; }
    // Online passes that ran to their last item.
    qint64 PassesCompleted() const { return m_passesCompleted; }
    // Steps held back so far by another transaction or a modal window: a
    // pass that saw one has its reads on both sides of a pause.
    qint64 HeldSteps() const { return m_timer.HeldSteps(); }

    void setOfflineIntervalMs(int ms) { m_offlineIntervalMs = ms; }
    // Online passes start this far apart on a steady schedule (0, the
    // default: back to back, as fast as the wire allows); a pass that
    // overran its time lets the next start at once. The next pass starts now.
    void setPassIntervalMs(int ms);
    int passIntervalMs() const { return int(m_passSchedule.intervalMs()); }

signals:
    void passCompleted();

private:
    void Step();
    void CycleTop();
    void PollStep();
    void EndPass(bool completed);
    // Paced and the next pass not due yet: the loop waits a while and
    // comes back, so that going offline or closing is seen meanwhile.
    bool WaitForPass();
    void schedule(int ms) { m_timer.schedule(ms); }

    RSComm& m_link;
    std::function<void()> m_goOffline;
    RefreshView& m_view;
    StepTimer m_timer;
    QList<PollItem> m_items;
    bool m_onlinePrepared = false;
    bool m_offlinePrepared = false;
    bool m_newCycle = false;
    int m_pollIndex = -1; // -1: the next step starts a cycle
    int m_stepDepth = 0;
    int m_offlineIntervalMs = DefaultOfflineIntervalMs;
    // Paced passes: when the next one is due on m_paceClock; -1: now.
    SampleSchedule m_passSchedule{0};
    QElapsedTimer m_paceClock;
    qint64 m_nextPassMs = -1;
    qint64 m_passesCompleted = 0;
};
