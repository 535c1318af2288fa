#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class RSComm;
class QWidget;

// Runs a job one step at a time from the event loop: a transfer, a program
// download. Each step does at most one board transaction and returns, so the
// window repaints and its Cancel button works between steps, and no event
// loop nests inside another.
//
// Steps wait while another transaction runs or a modal window other than the
// owner is open (a message box over the owner, say).
class Stepper final : public QObject {
    Q_OBJECT
public:
    static constexpr int BusyRetryMs = 20;

    // step returns false when the job is done.
    Stepper(RSComm& link, std::function<bool()> step, QObject* parent = nullptr);

    void setOwner(QWidget* owner) { m_owner = owner; }
    void Start();
    void Stop();
    bool Running() const { return m_running; }
    bool InStep() const { return m_inStep; }

    // True when a step must not run now: the link is busy, or a modal window
    // other than owner is the active one.
    static bool MustWait(const RSComm& link, const QWidget* owner);

signals:
    // The job ended by itself (its step said so), not by Stop.
    void finished();

private:
    void Step();

    RSComm& m_link;
    std::function<bool()> m_step;
    QPointer<QWidget> m_owner;
    QTimer m_timer;
    bool m_running = false;
    bool m_inStep = false;
};
