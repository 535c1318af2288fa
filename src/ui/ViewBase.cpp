#include "ViewBase.h"

#include "StartOnceShown.h"
#include "ViewContext.h"

#include <QCloseEvent>

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
    StartOnceShown(this, [this] {
        if (!m_unloaded) // closed before its loop began
            m_loop.Start();
    });
}

void ViewBase::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_loop.Stop();
    FormUnload();
}

void ViewBase::closeEvent(QCloseEvent* event) {
    Unload();
    QWidget::closeEvent(event);
}
