#pragma once

#include "FileDialogs.h"

#include <QStringList>

// Test machinery: built only with TELVANE_TEST_HOOKS.
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
