#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class RSComm;

// What a view gives its refresh loop: how to prepare its controls for each
// mode, the steps of one online pass, and the offline pass from memory.
class RefreshView {
public:
    virtual ~RefreshView() = default;
    // Start of every cycle, after the comm-error check; no board traffic.
    virtual void CycleStart() {}
    virtual void PrepareOnline() = 0;
    virtual void PrepareOffline() = 0;
    // Start of every online pass.
    virtual void PollPassStart() {}
    // Steps of one online pass.
    virtual int PollCount() const = 0;
    // One step of the online pass: at most one board transaction. False ends
    // the pass (the read failed).
    virtual bool PollStep(int index) = 0;
    // The offline pass: values from memory, no board traffic.
    virtual void MemoryPass() = 0;
};

// A view's refresh loop, run by the event loop one step at a time: each step
// does at most one board transaction and returns, so menus, buttons and the
// background timer always run between two whole transactions, and no loop
// ever nests inside another.
//
// A cycle: if the link has failed, go offline (OnlineMode false, then the main
// window's ApplyOnlineMode); then either prepare the controls for online use
// once and run one poll pass, or prepare them for offline use once and run
// the memory pass. A pass ends early when the loop stops, the program goes
// offline, a step fails, or the view asks for a new cycle (a tab changed).
class RefreshLoop : public QObject {
    Q_OBJECT
public:
    // Pause between offline cycles: memory changes only by user actions,
    // and a loop that never pauses would burn a core.
    static constexpr int DefaultOfflineIntervalMs = 50;
    // Retry interval while another transaction runs or a modal window is open.
    static constexpr int BusyRetryMs = 20;

    RefreshLoop(RSComm& link, std::function<void()> applyOnlineMode, RefreshView& view,
                QObject* parent = nullptr);

    // LoopRunning = true; the first step runs from the event loop.
    void Start();
    // LoopRunning = false: no further step runs and no control is touched.
    void Stop();
    // The pass in progress ends at the next step and a new cycle begins.
    void NewCycle() { m_newCycle = true; }

    bool LoopRunning() const { return m_loopRunning; }
    bool OnlinePrepared() const { return m_onlinePrepared; }
    bool OfflinePrepared() const { return m_offlinePrepared; }
    // A step is on the stack (inside a transaction's message box, say).
    bool InStep() const { return m_stepDepth > 0; }
    // Online passes that ran to their last step.
    qint64 PassesCompleted() const { return m_passesCompleted; }

    void setOfflineIntervalMs(int ms) { m_offlineIntervalMs = ms; }

signals:
    void passCompleted();

private:
    void Step();
    void CycleTop();
    void PollStep();
    void schedule(int ms);

    RSComm& m_link;
    std::function<void()> m_applyOnlineMode;
    RefreshView& m_view;
    QTimer m_timer;
    bool m_loopRunning = false;
    bool m_onlinePrepared = false;
    bool m_offlinePrepared = false;
    bool m_newCycle = false;
    int m_pollIndex = -1; // -1: the next step starts a cycle
    int m_stepDepth = 0;
    int m_offlineIntervalMs = DefaultOfflineIntervalMs;
    qint64 m_passesCompleted = 0;
};
