#pragma once

#include "Prompt.h"

// Prompts of the command-line tool: printed to standard error as
// "TITLE: TEXT"; questions are answered by their most cautious button.
class StderrPrompt final : public Prompt {
public:
    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& text,
                                 const QString& defaultText = {}) override;
    int count() const { return m_count; }

private:
    int m_count = 0;
};
