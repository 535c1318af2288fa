#include "Prompt.h"

Prompt::Answer Prompt::cautious(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

QString Prompt::screenText(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

QString toString(Prompt::Icon icon) {
    switch (icon) {
    case Prompt::Icon::None:
        return QStringLiteral("None");
    case Prompt::Icon::Information:
        return QStringLiteral("Information");
    case Prompt::Icon::Exclamation:
        return QStringLiteral("Exclamation");
    case Prompt::Icon::Critical:
        return QStringLiteral("Critical");
    case Prompt::Icon::Question:
        return QStringLiteral("Question");
    }
    return {};
}

QString toString(Prompt::Buttons buttons) {
    switch (buttons) {
    case Prompt::Buttons::Ok:
        return QStringLiteral("Ok");
    case Prompt::Buttons::OkCancel:
        return QStringLiteral("OkCancel");
    case Prompt::Buttons::YesNo:
        return QStringLiteral("YesNo");
    case Prompt::Buttons::YesNoCancel:
        return QStringLiteral("YesNoCancel");
    case Prompt::Buttons::RetryCancel:
        return QStringLiteral("RetryCancel");
    }
    return {};
}

QString toString(Prompt::Answer answer) {
    switch (answer) {
    case Prompt::Answer::Ok:
        return QStringLiteral("Ok");
    case Prompt::Answer::Cancel:
        return QStringLiteral("Cancel");
    case Prompt::Answer::Retry:
        return QStringLiteral("Retry");
    case Prompt::Answer::Yes:
        return QStringLiteral("Yes");
    case Prompt::Answer::No:
        return QStringLiteral("No");
    }
    return {};
}
