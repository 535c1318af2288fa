#pragma once

#include "ViewLifecycle.h"

#include <QWidget>

// A data view of the main window: a child window with a refresh loop that
// starts once the view is on screen and stops the moment it is closed.
class ViewBase : public QWidget, public ViewLifecycle {
    Q_OBJECT
public:
    ViewBase(ViewContext& context, const QString& objectName, const QString& caption,
             QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};
