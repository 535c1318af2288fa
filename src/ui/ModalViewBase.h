#pragma once

#include "ViewLifecycle.h"

#include <QDialog>

// A modal window with a refresh loop of its own: the view lifecycle in a
// dialog. The loop runs while this window is the active modal one; it stops
// the moment the window closes, whichever way it closes.
class ModalViewBase : public QDialog, public ViewLifecycle {
    Q_OBJECT
public:
    ModalViewBase(ViewContext& context, const QString& objectName, const QString& caption,
                  QWidget* parent = nullptr);

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
};
