// A USB adapter pulled out and put back while online, through the real
// window and a real pseudo-terminal: telvane-boardsim serves under a fixed
// name, goes away, and another comes back under the same name.
#include "AnySerialPort.h"
#include "AppFixture.h"
#include "BoardProcess.h"
#include "ViewBase.h"
#include "frmMain.h"

#include <QLabel>
#include <QTimer>

namespace {

const QString Cable = "Cannot Communicate with Target Board.\rVerify RS-232 Cable is Connected "
                      "Between\rCOMM Port and PROG Port.\r\r";

TEST(PulledAdapter, RetryOpensThePortByItsNameOnceTheBoardIsBackAndAsksAgainUntilThen) {
    EnsureApplication();
    ProgramHome home;
    const QString device = home.filePath("ttyBOARD");
    ASSERT_TRUE(home.writeFile("Support/RSPort.cfg", ("1,19200," + device + "\r\n").toLocal8Bit()));
    const QStringList served{"--link", device};
    auto board = std::make_unique<BoardProcess>(served);
    ASSERT_TRUE(board->started());
    ScriptedPrompt prompt;
    SteadyClock clock;
    AnySerialPort port;
    ViewTable views;
    views.Register(ViewTable::MainDisplay, [](ViewContext& c) { return new frmMain(c); });
    frmMDIMain main(prompt, clock, port, home.path(), views);
    main.findChild<QTimer*>("tmrBackgroungUpdate")->stop();
    main.show();
    ASSERT_TRUE(PumpUntil([&] { return main.currentViewWidget(); }));
    RefreshLoop& loop = main.currentViewWidget()->loop();
    main.link().setOnlineMode(true);
    main.ApplyOnlineMode();
    ASSERT_TRUE(main.link().OnlineMode());
    ASSERT_TRUE(RunPasses(loop, 1));

    // Pulled out: asked at once; put back under its name; Retry goes on.
    board->stop();
    prompt.queue(Prompt::Answer::Retry);
    prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        board = std::make_unique<BoardProcess>(served);
    };
    ASSERT_TRUE(RunPasses(loop, 2));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].text,
              Cable + device + " is gone (unplugged, or closed at its other end)");
    EXPECT_TRUE(main.link().OnlineMode());
    EXPECT_FALSE(main.link().CommError());

    // Pulled out and not back: Retry asks again with the reason, Cancel
    // goes offline, and the status line points to Find Board.
    prompt.onShown = nullptr;
    prompt.queue(Prompt::Answer::Retry);
    board->stop();
    ASSERT_TRUE(PumpUntil([&] { return !main.link().OnlineMode(); }));
    ASSERT_EQ(prompt.shown().size(), 3);
    EXPECT_EQ(prompt.shown()[2].text,
              Cable + "No such file or directory (" + device + " does not exist)");
    EXPECT_EQ(main.findChild<QLabel*>("STATUS")->text(),
              "System Message:  Comm Fault with K2700  (Comm Port: Find Board)");
}

} // namespace
