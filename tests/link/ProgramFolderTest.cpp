// Where the program finds the files that ship with it: beside itself in a
// build, in its prefix's data folder once installed.
#include "ProgramFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ProgramFolder, BesideTheProgramFirstThenTheInstalledDataFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    const QString bin = dir.filePath("bin");
    const QString share = dir.filePath("share/telvane");
    ASSERT_TRUE(dir.mkpath("bin"));
    // Nothing anywhere: the program's own folder, where the link creates
    // its settings.
    EXPECT_EQ(ProgramFolder::forProgramIn(bin, share), bin);
    ASSERT_TRUE(dir.mkpath("share/telvane/support"));
    EXPECT_EQ(ProgramFolder::forProgramIn(bin, share), share);
    // A folder beside the program wins, in either spelling.
    ASSERT_TRUE(dir.mkpath("bin/Support"));
    EXPECT_EQ(ProgramFolder::forProgramIn(bin, share), bin);
}

TEST(ProgramFolder, ResolvesWithoutRegardToCase) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("support"));
    EXPECT_EQ(ProgramFolder::resolve(root.path(), "Support/RSPort.cfg"),
              root.path() + "/support/RSPort.cfg");
    EXPECT_EQ(ProgramFolder::resolve(root.path(), "Help\\TELVANE.hlp"),
              root.path() + "/Help/TELVANE.hlp");
}

} // namespace
