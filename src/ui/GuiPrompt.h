#pragma once

#include "Prompt.h"

#include <memory>

class QMessageBox;
class QWidget;

// Message and input boxes on screen.
class GuiPrompt final : public Prompt {
public:
    Answer message(const QString& title, const QString& text, Icon icon,
                   Buttons buttons = Buttons::Ok) override;
    std::optional<QString> input(const QString& title, const QString& text,
                                 const QString& defaultText = {}) override;

    // The box message() shows, not yet shown: parented to the window that asked
    // (the modal window on top, else the active one, else the main window).
    static std::unique_ptr<QMessageBox> build(const QString& title, const QString& text, Icon icon,
                                              Buttons buttons);
    static Answer answerFor(int standardButton, Buttons buttons);
};
