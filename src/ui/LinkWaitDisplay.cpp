#include "LinkWaitDisplay.h"

#include "RSComm.h"
#include "StatusPanels.h"

#include <QCoreApplication>
#include <QEventLoop>

LinkWaitDisplay::LinkWaitDisplay(RSComm& link, StatusPanels& panels)
    : m_link(link), m_panels(panels) {
    m_link.setLongWait(this);
}

LinkWaitDisplay::~LinkWaitDisplay() {
    m_link.setLongWait(nullptr);
}

QString LinkWaitDisplay::WaitingText(const QString& device) {
    return QStringLiteral("Waiting for the board on ") + device + QStringLiteral(" ...");
}

void LinkWaitDisplay::started(const QString& device) {
    // A wait inside a wait (a caller that skipped the busy check) keeps the
    // text the outer one saved.
    if (m_depth++ > 0)
        return;
    m_previousText = m_panels.panelText(StatusPanels::Status);
    m_waitingText = WaitingText(device);
    m_panels.setPanelText(StatusPanels::Status, m_waitingText);
}

void LinkWaitDisplay::slice() {
    // Input waits in the queue: a click now must not start anything while
    // the link is in the middle of a transaction.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void LinkWaitDisplay::ended() {
    if (m_depth == 0 || --m_depth > 0)
        return;
    // Whatever the panel was given meanwhile stands; only our own text goes.
    if (m_panels.panelText(StatusPanels::Status) == m_waitingText)
        m_panels.setPanelText(StatusPanels::Status, m_previousText);
}
