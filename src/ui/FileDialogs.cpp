#include "FileDialogs.h"

#include "SettingsLocation.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Where a dialog opens for a preset. "/folder/" and "/folder/*.sdt" name a
// folder, anything else a file in its folder. A folder that is not there (a
// documents folder the user never had, a stick pulled out) is never taken
// for a file name: the dialog opens in the home folder, the name box empty.
QString startPath(const QString& preset) {
    if (preset.isEmpty())
        return preset;
    const QFileInfo info(preset);
    const bool pattern = info.fileName().contains(u'*');
    const bool folderOnly = pattern || preset.endsWith(u'/') || info.isDir();
    QString folder = pattern || !folderOnly ? info.path() : QDir::cleanPath(preset);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return folderOnly ? folder : QDir(folder).filePath(info.fileName());
}

} // namespace

QString FileDialogStart(const QString& programFolder) {
    if (SettingsLocation::canWrite(programFolder))
        return QDir(programFolder).absolutePath();
    // The documents folder is named whether the user has one or not.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString WithDefaultSuffix(const QString& path, const QString& defaultSuffix) {
    const QFileInfo info(path);
    if (path.isEmpty() || defaultSuffix.isEmpty() || info.fileName().contains(u'.'))
        return path;
    return path + u'.' + defaultSuffix;
}

QString QtFileDialogs::getOpenFileName(QWidget* parent, const QString& filter,
                                       const QString& preset) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), startPath(preset), filter,
                                        nullptr, QFileDialog::ReadOnly);
}

std::unique_ptr<QFileDialog> QtFileDialogs::saveDialog(QWidget* parent, const QString& filter,
                                                       const QString& preset,
                                                       const QString& defaultSuffix) {
    auto dialog =
        std::make_unique<QFileDialog>(parent, QStringLiteral("Save As"), startPath(preset), filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // The dialog adds the suffix before it asks about replacing a file, so
    // the question names the file that will be written.
    dialog->setDefaultSuffix(defaultSuffix);
    return dialog;
}

QString QtFileDialogs::chosenFile(const QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    // A platform dialog may ignore the default suffix.
    return files.isEmpty() ? QString() : WithDefaultSuffix(files.first(), dialog.defaultSuffix());
}

QString QtFileDialogs::getSaveFileName(QWidget* parent, const QString& filter,
                                       const QString& preset, const QString& defaultSuffix) {
    const auto dialog = saveDialog(parent, filter, preset, defaultSuffix);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return chosenFile(*dialog);
}
