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

QString ScriptedFileDialogs::answer(const QString& kind, const QString& filter,
                                    const QString& preset) {
    m_shown.append(kind + u'|' + filter + u'|' + preset);
    return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
}

QString ScriptedFileDialogs::getOpenFileName(QWidget*, const QString& filter,
                                             const QString& preset) {
    return answer(QStringLiteral("Open"), filter, preset);
}

QString ScriptedFileDialogs::getSaveFileName(QWidget*, const QString& filter,
                                             const QString& preset) {
    return answer(QStringLiteral("Save"), filter, preset);
}
