#pragma once

#include "RefreshLoop.h"

#include <QWidget>

class frmMDIMain;

// A data view of the main window: a child window with a refresh loop that
// starts once the view is on screen and stops the moment it is closed.
class ViewBase : public QWidget, protected RefreshView {
    Q_OBJECT
public:
    ViewBase(frmMDIMain& host, const QString& objectName, const QString& caption,
             QWidget* parent = nullptr);

    // Form_Unload: the loop stops at once and touches no control again.
    void Unload();
    // Code of this view is on the stack (a step waiting in a message box).
    bool InStep() const { return m_loop.InStep(); }
    RefreshLoop& loop() { return m_loop; }
    const RefreshLoop& loop() const { return m_loop; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    frmMDIMain& m_host;
    RefreshLoop m_loop;

private:
    bool m_activated = false;
    bool m_unloaded = false;
};
