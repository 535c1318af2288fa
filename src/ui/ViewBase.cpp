#include "ViewBase.h"

#include <QCloseEvent>

ViewBase::ViewBase(ViewContext& context, const QString& objectName, const QString& caption,
                   QWidget* parent)
    : QWidget(parent), ViewLifecycle(*this, context) {
    setObjectName(objectName);
    setWindowTitle(caption);
}

void ViewBase::closeEvent(QCloseEvent* event) {
    Unload();
    QWidget::closeEvent(event);
}
