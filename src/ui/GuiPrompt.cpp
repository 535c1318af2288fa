#include "GuiPrompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Prompt::Icon icon) {
    switch (icon) {
    case Prompt::Icon::None:
        return QMessageBox::NoIcon;
    case Prompt::Icon::Information:
        return QMessageBox::Information;
    case Prompt::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompt::Icon::Critical:
        return QMessageBox::Critical;
    case Prompt::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Prompt::Buttons buttons) {
    switch (buttons) {
    case Prompt::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompt::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompt::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompt::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Prompt::Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The window that asked: the modal window on top, else the active window.
// When another program has the focus there is no active window; the main
// window then parents the box, so that it shows over it and never centred on
// the screen or hidden behind it.
QWidget* parentWindow() {
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible())
            return w;
    }
    return nullptr;
}

} // namespace

Prompt::Answer GuiPrompt::answerFor(int standardButton, Buttons buttons) {
    switch (standardButton) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        // The close box or Esc: the box's way out.
        return cautious(buttons);
    }
}

std::unique_ptr<QMessageBox> GuiPrompt::build(const QString& title, const QString& text, Icon icon,
                                              Buttons buttons) {
    auto box = std::make_unique<QMessageBox>(boxIcon(icon), title, screenText(text),
                                             boxButtons(buttons), parentWindow());
    box->setTextFormat(Qt::PlainText);
    if (buttons == Buttons::YesNo)
        box->setEscapeButton(QMessageBox::No);
    return box;
}

Prompt::Answer GuiPrompt::message(const QString& title, const QString& text, Icon icon,
                                  Buttons buttons) {
    const auto box = build(title, text, icon, buttons);
    const int pressed = box->exec();
    return answerFor(pressed, buttons);
}

std::optional<QString> GuiPrompt::input(const QString& title, const QString& text,
                                        const QString& defaultText) {
    bool ok = false;
    const QString typed = QInputDialog::getText(parentWindow(), title, screenText(text),
                                                QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return typed;
}
