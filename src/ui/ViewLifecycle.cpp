#include "ViewLifecycle.h"

#include "StartOnceShown.h"
#include "ViewContext.h"

#include <QWidget>

ViewLifecycle::ViewLifecycle(QWidget& window, ViewContext& context)
    : m_context(context), m_loop(
                              context.link(), [&context] { context.GoOffline(); }, *this) {
    QObject::connect(&context, &ViewContext::dataReplaced, &window, [this] {
        if (!m_unloaded)
            DataReplaced();
    });
    StartOnceShown(&window, [this] {
        if (m_unloaded) // closed before its loop began
            return;
        FormActivate();
        if (!m_unloaded)
            m_loop.Start();
    });
}

void ViewLifecycle::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_loop.Stop();
    FormUnload();
}
