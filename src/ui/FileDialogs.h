#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// The file dialogs of the main window, behind an interface so that tests
// choose files without a modal dialog. Each returns the chosen path, or an
// empty text when the user cancelled. A preset is a file to propose, or a
// folder to start in with an empty name box: "/folder/" or "/folder/*.sdt".
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The file must exist.
    virtual QString getOpenFileName(QWidget* parent, const QString& filter,
                                    const QString& preset) = 0;
    // Asks before replacing an existing file. A name chosen without an
    // extension gets defaultSuffix (WithDefaultSuffix).
    virtual QString getSaveFileName(QWidget* parent, const QString& filter, const QString& preset,
                                    const QString& defaultSuffix) = 0;
};

// Where Open, Save As and Export first look: the program folder, or, when
// the program folder cannot be written (an installed program), the user's
// documents folder, or the home folder of a user who has none.
QString FileDialogStart(const QString& programFolder);

// path, with "." and defaultSuffix added when its file name has no extension.
QString WithDefaultSuffix(const QString& path, const QString& defaultSuffix);

class QtFileDialogs final : public FileDialogs {
public:
    QString getOpenFileName(QWidget* parent, const QString& filter, const QString& preset) override;
    QString getSaveFileName(QWidget* parent, const QString& filter, const QString& preset,
                            const QString& defaultSuffix) override;

    // The Save As dialog getSaveFileName() runs, set up but not shown, and
    // the file it returns once accepted.
    static std::unique_ptr<QFileDialog> saveDialog(QWidget* parent, const QString& filter,
                                                   const QString& preset,
                                                   const QString& defaultSuffix);
    static QString chosenFile(const QFileDialog& dialog);
};
