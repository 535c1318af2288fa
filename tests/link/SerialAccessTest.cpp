// What a user the system refuses a serial device is told: a group to join
// only where that group may read and write the device, never the
// superuser's; otherwise who may open it.
#include "SerialAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SerialAccessTest, NamesAGroupToJoinOnlyWhereItMayReadAndWriteAndNeverRoot) {
    using SerialAccess::advice;
    const QString device = "/dev/ttyUSB0";
    const QString tail = ". Ask the administrator of this computer for access.";
    EXPECT_EQ(advice(device, {"root", "dialout", false, 0660}),
              "Your user may not use /dev/ttyUSB0. Ask for membership of the group \"dialout\" "
              "(sudo usermod -aG dialout $USER), then log in again.");
    EXPECT_EQ(advice(device, {"root", "root", true, 0600}),
              "Your user may not use /dev/ttyUSB0: only root may open it (mode 0600)" + tail);
    EXPECT_EQ(advice(device, {"root", "root", true, 0660}),
              "Your user may not use /dev/ttyUSB0: only root and members of the group \"root\" may "
              "open it (mode 0660)" +
                  tail);
    EXPECT_EQ(advice(device, {"alice", "dialout", false, 0640}),
              "Your user may not use /dev/ttyUSB0: only root and the user \"alice\" may open it "
              "(mode 0640)" +
                  tail);

    // A device as it is on disk: its owner alone may use it.
    QTemporaryDir dir;
    const QString path = dir.filePath("ttyS9");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    const QString told = advice(path);
    EXPECT_TRUE(told.contains("may open it (mode 0600)")) << told.toStdString();
    EXPECT_FALSE(told.contains("usermod"));
}
