// The titles the window system shows, not only the ones the widgets hold:
// under X11 the title bar shows the window's _NET_WM_NAME property.
#include "AppFixture.h"
#include "ApplicationIdentity.h"
#include "GuiPrompt.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QWindow>
#include <iostream>

namespace {

// The title the X server holds for the window; empty when it cannot be read.
QString shownTitle(QWidget* window) {
    QGuiApplication::sync();
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0)
        return {};
    // _NET_WM_NAME(UTF8_STRING) = "TITLE"
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype first = line.indexOf(u'"');
    const qsizetype last = line.lastIndexOf(u'"');
    return first >= 0 && last > first ? line.mid(first + 1, last - first - 1) : QString();
}

class WindowTitles : public AppFixture {
protected:
    void SetUp() override { SetApplicationIdentity(); }
    // The title as the window system shows it, where it can be read.
    void expectShownTitle(QWidget* window, const QString& title) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_EQ(window->windowTitle(), title);
        ASSERT_NE(window->windowHandle(), nullptr);
        EXPECT_EQ(window->windowHandle()->title(), title);
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            return;
        EXPECT_EQ(shownTitle(window), title);
    }
};

TEST_F(WindowTitles, MainWindowAndMessageBoxShowTheirTitlesAsGiven) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        std::cout << "[ NOTE ] no X server: the window system's own titles are not checked\n";
    startMainWindow();
    expectShownTitle(main.get(), "TELVANE - [unnamed]");

    const auto box = GuiPrompt::build("Set-up", "Entry Out of Range", Prompt::Icon::Information,
                                      Prompt::Buttons::Ok);
    box->show();
    expectShownTitle(box.get(), "Set-up");
    box->hide();
}

TEST_F(WindowTitles, TheMainWindowShowsTheProgramsIcon) {
    startMainWindow();
    // Without an installed icon theme, as when run from the build.
    EXPECT_FALSE(main->windowIcon().pixmap(48, 48).isNull());
}

} // namespace
