#include "StderrPrompt.h"

#include "ScriptedPrompt.h"

#include <cstdio>

namespace {
QString oneBreakStyle(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}
} // namespace

Prompt::Answer StderrPrompt::message(const QString& title, const QString& text, Icon,
                                     Buttons buttons) {
    ++m_count;
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(oneBreakStyle(text)));
    std::fflush(stderr);
    return ScriptedPrompt::cautious(buttons);
}

std::optional<QString> StderrPrompt::input(const QString& title, const QString& text,
                                           const QString&) {
    ++m_count;
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(oneBreakStyle(text)));
    return std::nullopt;
}
