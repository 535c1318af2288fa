#include "FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

// A preset such as "C:/folder/*.sdt" names a folder to start in, not a file.
QString startPath(const QString& preset) {
    return QFileInfo(preset).fileName().contains(u'*') ? QFileInfo(preset).path() : preset;
}

} // namespace

QString QtFileDialogs::getOpenFileName(QWidget* parent, const QString& filter,
                                       const QString& preset) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), startPath(preset), filter,
                                        nullptr, QFileDialog::ReadOnly);
}

QString QtFileDialogs::getSaveFileName(QWidget* parent, const QString& filter,
                                       const QString& preset) {
    QFileDialog dialog(parent, QStringLiteral("Save As"), startPath(preset), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
