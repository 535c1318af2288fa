#pragma once

#include "Prompt.h"

#include <functional>

// Prompts of the command-line tool: printed to standard error as
// "telvane-cli: TITLE: TEXT"; questions are answered by their most cautious
// button, or, once the command itself was the confirmation, Yes/No
// questions by Yes.
class StderrPrompt final : public Prompt {
public:
    void setConfirmed(bool confirmed) { m_confirmed = confirmed; }
    // Runs before each message is printed (a progress line clears itself).
    std::function<void()> beforeMessage;
    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& text,
                                 const QString& defaultText = {}) override;
    int count() const { return m_count; }

private:
    int m_count = 0;
    bool m_confirmed = false;
};
