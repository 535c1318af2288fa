// The message boxes on screen: icons, buttons, line breaks.
#include "GuiPrompt.h"
#include "AppFixture.h"

#include "WhenShown.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

namespace {

TEST(GuiPrompt, BoxHasTheIconButtonsAndLineBreaks) {
    EnsureApplication();
    const auto box = GuiPrompt::build("WARNING - Communication Error!",
                                      "Cannot Communicate with Target Board.\rVerify RS-232",
                                      Prompt::Icon::Critical, Prompt::Buttons::RetryCancel);
    EXPECT_EQ(box->windowTitle(), "WARNING - Communication Error!");
    EXPECT_EQ(box->text(), "Cannot Communicate with Target Board.\nVerify RS-232");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);

    const auto question =
        GuiPrompt::build("T", "a\r\n\r\nb", Prompt::Icon::Question, Prompt::Buttons::YesNoCancel);
    EXPECT_EQ(question->text(), "a\n\nb");
    EXPECT_EQ(question->icon(), QMessageBox::Question);
    EXPECT_EQ(question->standardButtons(),
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(GuiPrompt::build("T", "x", Prompt::Icon::Exclamation, Prompt::Buttons::Ok)->icon(),
              QMessageBox::Warning);
    EXPECT_EQ(GuiPrompt::build("T", "x", Prompt::Icon::Information, Prompt::Buttons::Ok)->icon(),
              QMessageBox::Information);
}

TEST(GuiPrompt, BoxShowsOverTheMainWindowWhenNoWindowIsActive) {
    EnsureApplication();
    QMainWindow main;
    main.show();
    // Another program has the focus.
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    const auto box = GuiPrompt::build("T", "x", Prompt::Icon::Information, Prompt::Buttons::Ok);
    EXPECT_EQ(box->parentWidget(), &main);
}

TEST(GuiPrompt, AnswersMapToTheButtonPressedAndEscapeToTheWayOut) {
    using A = Prompt::Answer;
    using B = Prompt::Buttons;
    EXPECT_EQ(GuiPrompt::answerFor(QMessageBox::Retry, B::RetryCancel), A::Retry);
    EXPECT_EQ(GuiPrompt::answerFor(QMessageBox::Yes, B::YesNoCancel), A::Yes);
    EXPECT_EQ(GuiPrompt::answerFor(QMessageBox::No, B::YesNo), A::No);
    EXPECT_EQ(GuiPrompt::answerFor(QMessageBox::NoButton, B::YesNo), A::No);
    EXPECT_EQ(GuiPrompt::answerFor(QMessageBox::NoButton, B::RetryCancel), A::Cancel);
    EXPECT_EQ(GuiPrompt::answerFor(QMessageBox::NoButton, B::Ok), A::Ok);
}

TEST(GuiPrompt, ShownBoxReturnsTheButtonClicked) {
    EnsureApplication();
    GuiPrompt prompt;
    // Click Retry once the box is up (it runs its own event loop).
    WhenShown<QMessageBox> user([](QMessageBox* box) { box->button(QMessageBox::Retry)->click(); });
    EXPECT_EQ(prompt.message("T", "text", Prompt::Icon::Critical, Prompt::Buttons::RetryCancel),
              Prompt::Answer::Retry);
}

} // namespace
