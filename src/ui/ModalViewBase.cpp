#include "ModalViewBase.h"

#include <QCloseEvent>

ModalViewBase::ModalViewBase(ViewContext& context, const QString& objectName,
                             const QString& caption, QWidget* parent)
    : QDialog(parent), ViewLifecycle(*this, context) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
    m_loop.setOwner(this);
}

void ModalViewBase::done(int result) {
    Unload();
    QDialog::done(result);
}

void ModalViewBase::closeEvent(QCloseEvent* event) {
    Unload();
    QDialog::closeEvent(event);
}
