// A USB adapter pulled out and put back while online, through the real
// window and a real pseudo-terminal: telvane-boardsim serving under a fixed
// name goes away, and another comes back under the same name.
#include "AnySerialPort.h"
#include "AppFixture.h"
#include "BoardProcess.h"
#include "ViewBase.h"
#include "frmMain.h"

#include <QLabel>
#include <QTimer>

TEST(PulledAdapter, RetryOpensThePortByItsNameOnceTheBoardIsBackAndAsksAgainUntilThen) {
    EnsureApplication();
    ProgramHome home;
    const QString device = home.filePath("ttyBOARD");
    home.writeFile("Support/RSPort.cfg", ("1,19200," + device).toLocal8Bit());
    auto board = std::make_unique<BoardProcess>(QStringList{"--link", device});
    ScriptedPrompt prompt;
    SteadyClock clock;
    AnySerialPort port;
    ViewTable views;
    views.Register(ViewTable::MainDisplay, [](ViewContext& c) { return new frmMain(c); });
    frmMDIMain main(prompt, clock, port, home.path(), views);
    main.findChild<QTimer*>("tmrBackgroungUpdate")->stop();
    main.show();
    ASSERT_TRUE(PumpUntil([&] { return main.currentViewWidget(); }));
    main.link().setOnlineMode(true);
    main.ApplyOnlineMode();
    RefreshLoop& loop = main.currentViewWidget()->loop();
    ASSERT_TRUE(RunPasses(loop, 1));

    const QString cable = "Cannot Communicate with Target Board.\rVerify RS-232 Cable is "
                          "Connected Between\rCOMM Port and PROG Port.\r\r";
    board->stop(); // asked at once; put back under its name, Retry goes on
    prompt.queue(Prompt::Answer::Retry);
    prompt.onShown = [&](auto&) {
        board = std::make_unique<BoardProcess>(QStringList{"--link", device});
    };
    ASSERT_TRUE(RunPasses(loop, 2));
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].text,
              cable + device + " is gone (unplugged, or closed at its other end)");

    prompt.onShown = nullptr; // gone for good: asked again with the reason, then Cancel
    prompt.queue(Prompt::Answer::Retry);
    board->stop();
    ASSERT_TRUE(PumpUntil([&] { return !main.link().OnlineMode(); }));
    ASSERT_EQ(prompt.shown().size(), 3);
    EXPECT_EQ(prompt.shown()[2].text,
              cable + "No such file or directory (" + device + " does not exist)");
    EXPECT_EQ(main.findChild<QLabel*>("STATUS")->text(),
              "System Message:  Comm Fault with K2700  (Comm Port: Find Board)");
}
