// The main window's one view at a time, and its shutdown.
#include "frmMDIMain.h"

#include "HelpWindow.h"
#include "StatusPanels.h"
#include "ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QThread>

namespace {
constexpr int ReapRetryMs = 50;
}

ViewBase* frmMDIMain::currentViewWidget() const {
    return m_viewWindow ? qobject_cast<ViewBase*>(m_viewWindow->widget()) : nullptr;
}

void frmMDIMain::ShowView(int n) {
    if (!m_viewTable.has(n) || m_shutDown)
        return;
    if (n == m_currentView && m_startupDone && m_viewWindow && !m_viewWindow->isHidden()) {
        m_menus.mnuWindowForm[size_t(n)]->setChecked(true);
        return;
    }
    m_menus.mnuWindowForm[size_t(m_currentView)]->setChecked(false);
    m_menus.mnuWindowForm[size_t(n)]->setChecked(true);
    RetireView();
    ViewBase* view = m_viewTable.make(n, *m_context);
    // One view at a time, filling the area: no frame, no close box of its own.
    QMdiSubWindow* window = m_mdiArea->addSubWindow(view, Qt::FramelessWindowHint);
    window->setObjectName(view->objectName() + QStringLiteral("Window"));
    m_viewWindow = window;
    m_currentView = n;
    window->showMaximized();
}

// Closes the view shown: its loop stops at once. The window is deleted once
// no code of it can be on the stack.
void frmMDIMain::RetireView() {
    if (!m_viewWindow)
        return;
    if (ViewBase* view = currentViewWidget())
        view->Unload();
    QMdiSubWindow* window = m_viewWindow;
    m_viewWindow = nullptr;
    m_mdiArea->removeSubWindow(window);
    window->hide();
    m_retired.append(window);
    m_reaper.start(0);
}

// A view's step or handler may be waiting in a message box (a nested event
// loop) when the view is closed; deleting it then would pull the widget from
// under that code. Only from the outermost event loop, with no transaction
// running, is nothing of it on the stack.
bool frmMDIMain::SafeToDeleteViews() const {
    return !m_link.Busy() && !QApplication::activeModalWidget() &&
           QThread::currentThread()->loopLevel() <= 1;
}

void frmMDIMain::ReapRetiredViews() {
    if (!SafeToDeleteViews()) {
        m_reaper.start(ReapRetryMs);
        return;
    }
    const auto retired = std::exchange(m_retired, {});
    for (const auto& window : retired)
        delete window.data();
}

void frmMDIMain::closeEvent(QCloseEvent* event) {
    if (m_shutDown) {
        event->accept();
        return;
    }
    // Within a transaction's message box the link cannot be closed under it.
    if (m_link.Busy()) {
        event->ignore();
        return;
    }
    if (!SaveOrDiscardChanges()) {
        event->ignore();
        return;
    }
    m_shutDown = true;
    m_tmrBackgroungUpdate.stop();
    m_sbrMain->stopClock();
    m_link.CloseRSComm();
    RetireView();
    if (m_helpWindow)
        m_helpWindow->close();
    event->accept();
    // The program ends once this handler has unwound.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
