#pragma once

#include "StepTimer.h"

#include <QObject>
#include <functional>

class RSComm;
class QWidget;

// Runs a job one step at a time from the event loop: a transfer, a program
// download. Each step does one piece of the job (a transaction, or the few
// reads of one upload record) and returns, so the window repaints and its
// Cancel button works between steps, and no event loop nests inside another.
//
// Steps wait while another transaction runs or a modal window other than the
// owner is open (a message box over the owner, say).
class Stepper final : public QObject {
    Q_OBJECT
public:
    static constexpr int BusyRetryMs = StepTimer::BusyRetryMs;

    // step returns false when the job is done.
    Stepper(RSComm& link, std::function<bool()> step, QObject* parent = nullptr);

    void setOwner(QWidget* owner) { m_timer.setOwner(owner); }
    void Start() { m_timer.Start(); }
    void Stop() { m_timer.Stop(); }
    bool Running() const { return m_timer.Running(); }
    bool InStep() const { return m_inStep; }

    // True when a step must not run now: the link is busy, or a modal window
    // other than owner is the active one.
    static bool MustWait(const RSComm& link, const QWidget* owner) {
        return StepTimer::MustWait(link, owner);
    }

signals:
    // The job ended by itself (its step said so), not by Stop.
    void finished();

private:
    void Step();

    std::function<bool()> m_step;
    StepTimer m_timer;
    bool m_inStep = false;
};
