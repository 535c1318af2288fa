#include "ViewBase.h"

#include "ViewContext.h"

#include <QCloseEvent>
#include <QTimer>

ViewBase::ViewBase(ViewContext& context, const QString& objectName, const QString& caption,
                   QWidget* parent)
    : QWidget(parent), m_context(context),
      m_loop(
          context.link(), [&context] { context.GoOffline(); }, *this) {
    setObjectName(objectName);
    setWindowTitle(caption);
    connect(&context, &ViewContext::dataReplaced, this, [this] {
        if (!m_unloaded)
            DataReplaced();
    });
}

void ViewBase::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_loop.Stop();
    FormUnload();
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
