#pragma once

#include "RefreshLoop.h"

class QWidget;
class ViewContext;

// What every view shares, a child window or a modal one: the view context
// and a refresh loop that starts once the window is first on screen, after
// FormActivate, and never for a window unloaded before then. Unloading stops
// the loop at once and for good, then runs FormUnload, once. A replacement
// of the data reaches only a view still loaded.
class ViewLifecycle : protected RefreshView {
public:
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
    // window: the view itself.
    ViewLifecycle(QWidget& window, ViewContext& context);

    // The view is on screen and its loop starts next. Runs once.
    virtual void FormActivate() {}
    // What the view does when it closes, after its loop stopped (end edits
    // in progress, say). No board traffic.
    virtual void FormUnload() {}
    // CurrentData was replaced as a whole: drop every edit in progress; the
    // next memory pass or poll shows the new values.
    virtual void DataReplaced() {}

    ViewContext& m_context;
    RefreshLoop m_loop;

private:
    bool m_unloaded = false;
};
