// Going online and offline is one operation of the link, told by one signal.
#include "LinkFixture.h"

#include <utility>

namespace {

using OnlineMode = LinkFixture;
using Told = QList<std::pair<bool, bool>>; // online, goOnlineFailed

TEST_F(OnlineMode, GoingOnlineAndOfflineSignalEachChangeOnceAndAFailedGoOnlineAsSuch) {
    RSComm link{prompt, clock, programFolder(), &port};
    Told told;
    QObject::connect(&link, &RSComm::onlineModeChanged, [&](bool online, bool failed) {
        told.append({online, failed});
    });

    EXPECT_TRUE(link.GoOnline());
    EXPECT_TRUE(link.OnlineMode());
    link.GoOffline();
    link.GoOffline();
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_EQ(std::exchange(told, {}), (Told{{true, false}, {false, false}}));

    // A silent board: the question is answered Cancel, the mode stays offline.
    board.faults().silentFromByte = board.bytesReceived();
    EXPECT_FALSE(link.GoOnline());
    EXPECT_FALSE(link.OnlineMode());
    EXPECT_EQ(std::exchange(told, {}), (Told{{false, true}}));

    // The setter sets the mode as such and tells of it too.
    link.setOnlineMode(true);
    EXPECT_EQ(told, (Told{{true, false}}));
}

} // namespace
