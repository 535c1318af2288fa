#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class RSComm;
class QWidget;

// What the refresh loop and the stepper both stand on: a running flag and a
// single-shot timer that calls one step at a time from the event loop, and
// holds the step back while another transaction runs or a modal window other
// than the owner is the active one.
class StepTimer final : public QObject {
    Q_OBJECT
public:
    // Retry interval while another transaction runs or a modal window is open.
    static constexpr int BusyRetryMs = 20;

    StepTimer(RSComm& link, std::function<void()> step, QObject* parent = nullptr);

    // The modal window the job belongs to; it runs while that window is the
    // active modal one.
    void setOwner(QWidget* owner);
    // Running; the first step comes from the event loop.
    void Start();
    // Not running: no further step is called.
    void Stop();
    bool Running() const { return m_running; }
    // The next step after ms, while running.
    void schedule(int ms);
    // Steps held back so far (by a busy link or a modal window).
    qint64 HeldSteps() const { return m_heldSteps; }

    // True when a step must not run now: the link is busy, or a modal window
    // other than owner is the active one.
    static bool MustWait(const RSComm& link, const QWidget* owner);

private:
    void Fire();

    RSComm& m_link;
    std::function<void()> m_step;
    QPointer<QWidget> m_owner;
    QTimer m_timer;
    bool m_running = false;
    qint64 m_heldSteps = 0;
};
