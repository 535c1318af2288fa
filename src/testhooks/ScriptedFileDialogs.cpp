#include "ScriptedFileDialogs.h"

QString ScriptedFileDialogs::answer(const QString& kind, const QString& filter,
                                    const QString& preset) {
    m_shown.append(kind + u'|' + filter + u'|' + preset);
    return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
}

QString ScriptedFileDialogs::getOpenFileName(QWidget*, const QString& filter,
                                             const QString& preset) {
    return answer(QStringLiteral("Open"), filter, preset);
}

QString ScriptedFileDialogs::getSaveFileName(QWidget*, const QString& filter, const QString& preset,
                                             const QString& defaultSuffix) {
    return WithDefaultSuffix(answer(QStringLiteral("Save"), filter, preset), defaultSuffix);
}
