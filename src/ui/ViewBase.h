#pragma once

#include "RefreshLoop.h"

#include <QWidget>

class ViewContext;

// A data view of the main window: a child window with a refresh loop that
// starts once the view is on screen and stops the moment it is closed.
class ViewBase : public QWidget, protected RefreshView {
    Q_OBJECT
public:
    ViewBase(ViewContext& context, const QString& objectName, const QString& caption,
             QWidget* parent = nullptr);

    // Form_Unload: the loop stops at once and touches no control again;
    // then the view's own unload work (FormUnload) runs, once.
    void Unload();
    bool Unloaded() const { return m_unloaded; }
    // Code of this view is on the stack (a step waiting in a message box).
    bool InStep() const { return m_loop.InStep(); }
    RefreshLoop& loop() { return m_loop; }
    const RefreshLoop& loop() const { return m_loop; }
    ViewContext& context() const { return m_context; }

protected:
    // What the view does when it closes, after its loop stopped (end edits
    // in progress, say). No board traffic.
    virtual void FormUnload() {}
    // CurrentData was replaced as a whole: drop every edit in progress; the
    // next memory pass or poll shows the new values.
    virtual void DataReplaced() {}

    void closeEvent(QCloseEvent* event) override;

    ViewContext& m_context;
    RefreshLoop m_loop;

private:
    bool m_unloaded = false;
};
