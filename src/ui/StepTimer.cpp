#include "StepTimer.h"

#include "RSComm.h"

#include <QApplication>
#include <QWidget>

StepTimer::StepTimer(RSComm& link, std::function<void()> step, QObject* parent)
    : QObject(parent), m_link(link), m_step(std::move(step)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &StepTimer::Fire);
}

bool StepTimer::MustWait(const RSComm& link, const QWidget* owner) {
    if (link.Busy())
        return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != owner;
}

void StepTimer::setOwner(QWidget* owner) {
    m_owner = owner;
}

void StepTimer::Start() {
    m_running = true;
    m_timer.start(0);
}

void StepTimer::Stop() {
    m_running = false;
    m_timer.stop();
}

void StepTimer::schedule(int ms) {
    if (m_running)
        m_timer.start(ms);
}

void StepTimer::Fire() {
    if (!m_running)
        return;
    if (MustWait(m_link, m_owner.data())) {
        ++m_heldSteps;
        m_timer.start(BusyRetryMs);
        return;
    }
    m_step();
}
