#include "ViewBase.h"

#include "frmMDIMain.h"

#include <QCloseEvent>
#include <QTimer>

ViewBase::ViewBase(frmMDIMain& host, const QString& objectName, const QString& caption,
                   QWidget* parent)
    : QWidget(parent), m_host(host), m_loop(
                                         host.link(), [&host] { host.ApplyOnlineMode(); }, *this) {
    setObjectName(objectName);
    setWindowTitle(caption);
}

void ViewBase::Unload() {
    m_unloaded = true;
    m_loop.Stop();
}

void ViewBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Activation starts the loop once, after the window is on screen; Qt
    // shows a window again after every message box, which must not restart it.
    if (m_activated)
        return;
    m_activated = true;
    QTimer::singleShot(0, this, [this] {
        if (!m_unloaded) // closed before its loop began
            m_loop.Start();
    });
}

void ViewBase::closeEvent(QCloseEvent* event) {
    Unload();
    QWidget::closeEvent(event);
}
