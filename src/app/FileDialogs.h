#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The file dialogs of the main window, behind an interface so that tests
// choose files without a modal dialog. Each returns the chosen path, or an
// empty text when the user cancelled.
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

// path, with "." and defaultSuffix added when its file name has no extension.
QString WithDefaultSuffix(const QString& path, const QString& defaultSuffix);

class QtFileDialogs final : public FileDialogs {
public:
    QString getOpenFileName(QWidget* parent, const QString& filter, const QString& preset) override;
    QString getSaveFileName(QWidget* parent, const QString& filter, const QString& preset,
                            const QString& defaultSuffix) override;
};

// Answers from a list, recording each dialog as "Open|FILTER|PRESET" or
// "Save|FILTER|PRESET". An exhausted list answers Cancel. Save answers get
// the default suffix, as the real dialog gives it.
class ScriptedFileDialogs final : public FileDialogs {
public:
    void queue(const QString& path) { m_answers.append(path); }
    const QStringList& shown() const { return m_shown; }
    QString getOpenFileName(QWidget*, const QString& filter, const QString& preset) override;
    QString getSaveFileName(QWidget*, const QString& filter, const QString& preset,
                            const QString& defaultSuffix) override;

private:
    QString answer(const QString& kind, const QString& filter, const QString& preset);
    QStringList m_answers;
    QStringList m_shown;
};
