#include "ScriptedPrompt.h"

Prompt::Answer ScriptedPrompt::message(const QString& title, const QString& text, Icon icon,
                                       Buttons buttons) {
    m_shown.append({title, text, icon, buttons, {}});
    if (onShown)
        onShown(m_shown.back());
    return m_answers.isEmpty() ? cautious(buttons) : m_answers.takeFirst();
}

std::optional<QString> ScriptedPrompt::input(const QString& title, const QString& text,
                                             const QString& defaultText) {
    m_shown.append({title, text, Icon::None, Buttons::OkCancel, defaultText});
    if (onShown)
        onShown(m_shown.back());
    return m_inputs.isEmpty() ? std::nullopt : m_inputs.takeFirst();
}
