#pragma once

#include <QString>
#include <optional>

// Every message box and input box of the program goes through this interface,
// so that tests see each one's exact title, text, icon and buttons.
class Prompt {
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    enum class Answer { Ok, Cancel, Retry, Yes, No };

    virtual ~Prompt() = default;
    // Texts keep the breaks the message specifies: "\r" for a carriage return,
    // "\r\n" for CR LF, "\n" for a line break. Screens show each as a new line.
    virtual Answer message(const QString& title, const QString& text, Icon icon,
                           Buttons buttons = Buttons::Ok) = 0;
    // nullopt on Cancel.
    virtual std::optional<QString> input(const QString& title, const QString& text,
                                         const QString& defaultText = {}) = 0;

    // The most cautious button of a set (Cancel, or No, or Ok): the answer to a
    // box closed without a choice, and of prompts that cannot ask anyone.
    static Answer cautious(Buttons buttons);
    // The text with each of its breaks as one "\n", as a screen shows it.
    static QString screenText(const QString& text);
};

QString toString(Prompt::Icon icon);
QString toString(Prompt::Buttons buttons);
QString toString(Prompt::Answer answer);
