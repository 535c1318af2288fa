#pragma once

#include "Prompt.h"

#include <QList>
#include <functional>

// A prompt that records what it is shown and answers from a script: for tests
// and for programs that run without a screen.
class ScriptedPrompt final : public Prompt {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString defaultText; // an input box's preset answer
    };

    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& text,
                                 const QString& defaultText = {}) override;

    // Answers to give, in order; once used up, every question is answered by
    // its most cautious button (Cancel, or No, or Ok).
    void queue(Answer answer) { m_answers.append(answer); }
    void queueInput(std::optional<QString> text) { m_inputs.append(std::move(text)); }
    // Called on every prompt before it is answered (tests use it to act mid-dialog).
    std::function<void(const Shown&)> onShown;

    const QList<Shown>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

private:
    QList<Answer> m_answers;
    QList<std::optional<QString>> m_inputs;
    QList<Shown> m_shown;
};
