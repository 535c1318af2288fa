// The Comm Traffic window: opened from the Window menu, it shows the link's
// exchanges as they happen, counts the last minute, pauses, clears and
// saves; closed, it watches nothing.
#include "AppFixture.h"
#include "ScriptedFileDialogs.h"
#include "frmCommTraffic.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

namespace {

class CommTraffic : public AppFixture {
protected:
    void SetUp() override {
        startMainWindow();
        main->context().setFileDialogs(dialogs);
        action("mnuWindowCommTraffic")->trigger();
        window = main->findChild<frmCommTraffic*>("frmCommTraffic");
        ASSERT_TRUE(window && window->isVisible());
    }
    QString counts() const { return window->findChild<QLabel*>("lblCounts")->text(); }
    void click(const char* button) { window->findChild<QPushButton*>(button)->click(); }

    ScriptedFileDialogs dialogs;
    frmCommTraffic* window = nullptr;
};

TEST_F(CommTraffic, ShowsEveryExchangeCountsTheMinuteAndSavesTheLinesAsText) {
    goOnline();
    // The main display polls on meanwhile: its exchanges count too.
    ASSERT_TRUE(pumpUntil([&] { return counts().contains(QRegularExpression("[0-9]{2,} ex")); }));
    EXPECT_TRUE(counts().contains(QRegularExpression(
        "^Last minute: [0-9]{2,} exchanges, 0 resends, 0 time-outs, 0 wrong echoes$")));

    // A fast board fills the ring in moments: the read alone is saved.
    click("cmdClear");
    main->link().RSRead("W1020");
    click("cmdPause");
    const QString saved = folder.filePath("traffic.txt");
    dialogs.queue(saved);
    click("cmdSaveAs");
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_TRUE(lines[0].contains("03 03  W1020 high address"));
    EXPECT_EQ(lines.size(), window->log().size() + 1);
    EXPECT_TRUE(lines[lines.size() - 2].contains("= W1020 "));
}

TEST_F(CommTraffic, PauseKeepsNoLinesClearForgetsThemAndClosedTheWindowWatchesNothing) {
    goOnline();
    const int shown = window->log().size();
    click("cmdPause");
    main->link().RSRead("W1020");
    EXPECT_EQ(window->log().size(), shown);
    click("cmdPause");
    click("cmdClear");
    EXPECT_EQ(window->log().size(), 0);

    window->close();
    main->link().RSRead("W1020");
    EXPECT_EQ(window->log().size(), 0);
}

TEST_F(CommTraffic, KeepsTheNewestLinesAndNoMoreThanItsRing) {
    Exchange exchange;
    exchange.sent = 0x55;
    for (int i = 0; i < CommTrafficLog::Capacity + 10; ++i) {
        exchange.atUs = i;
        const_cast<CommTrafficLog&>(window->log()).exchanged(exchange);
    }
    EXPECT_EQ(window->log().size(), CommTrafficLog::Capacity);
    EXPECT_EQ(window->log().at(0).atUs, 10);
}

} // namespace
