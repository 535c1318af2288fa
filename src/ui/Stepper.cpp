#include "Stepper.h"

Stepper::Stepper(RSComm& link, std::function<bool()> step, QObject* parent)
    : QObject(parent), m_step(std::move(step)), m_timer(link, [this] { Step(); }) {}

void Stepper::Step() {
    m_inStep = true;
    const bool more = m_step();
    m_inStep = false;
    if (!m_timer.Running())
        return; // stopped while the step ran (Cancel in a message box)
    if (more) {
        m_timer.schedule(0);
    } else {
        m_timer.Stop();
        emit finished();
    }
}
