#include "Stepper.h"

#include "RSComm.h"

#include <QApplication>
#include <QWidget>

Stepper::Stepper(RSComm& link, std::function<bool()> step, QObject* parent)
    : QObject(parent), m_link(link), m_step(std::move(step)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Stepper::Step);
}

bool Stepper::MustWait(const RSComm& link, const QWidget* owner) {
    if (link.Busy())
        return true;
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != owner;
}

void Stepper::Start() {
    m_running = true;
    m_timer.start(0);
}

void Stepper::Stop() {
    m_running = false;
    m_timer.stop();
}

void Stepper::Step() {
    if (!m_running)
        return;
    if (MustWait(m_link, m_owner.data())) {
        m_timer.start(BusyRetryMs);
        return;
    }
    m_inStep = true;
    const bool more = m_step();
    m_inStep = false;
    if (!m_running)
        return; // stopped while the step ran (Cancel in a message box)
    if (more) {
        m_timer.start(0);
    } else {
        m_running = false;
        emit finished();
    }
}
