#include "StderrPrompt.h"

#include <cstdio>

Prompt::Answer StderrPrompt::message(const QString& title, const QString& text, Icon,
                                     Buttons buttons) {
    ++m_count;
    if (beforeMessage)
        beforeMessage();
    std::fprintf(stderr, "telvane-cli: %s: %s\n", qPrintable(title), qPrintable(screenText(text)));
    std::fflush(stderr);
    if (m_confirmed && (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel))
        return Answer::Yes;
    return cautious(buttons);
}

std::optional<QString> StderrPrompt::input(const QString& title, const QString& text,
                                           const QString&) {
    ++m_count;
    std::fprintf(stderr, "telvane-cli: %s: %s\n", qPrintable(title), qPrintable(screenText(text)));
    return std::nullopt;
}
