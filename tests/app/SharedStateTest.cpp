// The register map, the four records and the shared routines.
#include "SharedState.h"
#include "AppFixture.h"
#include "SharedRoutines.h"
#include "TargetBoardData.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

SharedState initialised() {
    SharedState state;
    InitRegisterMap(state);
    return state;
}

TEST(RegisterMap, DefaultsOfTheTableAndThePls) {
    const SharedState s = initialised();
    const auto& d = s.DefaultData;
    ASSERT_EQ(d.AddressTable.size(), LastIndex + 1);
    ASSERT_EQ(d.ValueTable.size(), LastIndex + 1);
    const QList<qint32> setup{0, 0, 0, 300, 100, 250, 250, 75, 0, 1, 10};
    EXPECT_EQ(d.ValueTable.mid(38), setup);
    for (int i = 0; i < 38; ++i)
        EXPECT_EQ(d.ValueTable[i], 0) << i;
    EXPECT_EQ(d.PlsConfig0, 16);
    EXPECT_EQ(d.PlsScale, 360);
    EXPECT_EQ(d.PlsOffset, 0);
    EXPECT_EQ(d.PlsConfig1, 0);
    EXPECT_EQ(d.ChannelSetpoint[2][0], 200);
    EXPECT_EQ(d.ChannelSetpoint[6][0], 140);
    EXPECT_EQ(d.ChannelSetpoint[6][1], 120);
    EXPECT_EQ(d.ChannelSetpoint[7][1], 20);
    EXPECT_EQ(d.ChannelSetpoint[8][0], 0);
    EXPECT_EQ(d.ChannelSetpoint[15][1], 0);
}

TEST(RegisterMap, AddressTable) {
    const auto& a = initialised().DefaultData.AddressTable;
    EXPECT_EQ(a[0], "D1100");
    EXPECT_EQ(a[1], "W1104");
    EXPECT_EQ(a[2], "W1108");
    EXPECT_EQ(a[17], "W1138");
    EXPECT_EQ(a[18], "D1200");
    EXPECT_EQ(a[19], "W1204");
    EXPECT_EQ(a[20], "W1208");
    EXPECT_EQ(a[35], "W1238");
    const QStringList rest{"W1040", "W1042", "B1018.0", "W1020",   "W1022", "W1024", "W1026",
                           "W1028", "W1032", "W1034",   "B4001.0", "B4050", "B4011"};
    EXPECT_EQ(QStringList(a.mid(36)), rest);
}

TEST(RegisterMap, CurrentAndSavedStartEqualToDefaultsAndShareNothing) {
    SharedState s = initialised();
    EXPECT_TRUE(s.Untitled);
    EXPECT_EQ(s.CurrentData, s.DefaultData);
    EXPECT_EQ(s.SavedData, s.DefaultData);
    EXPECT_EQ(s.CurrentData.ValueTable[41], 300);
    EXPECT_EQ(s.CurrentData.ValueTable[45], 75);
    EXPECT_EQ(s.CurrentData.ValueTable[48], 10);
    s.CurrentData.ValueTable[41] = 123;
    s.CurrentData.AddressTable[0] = "W0";
    s.CurrentData.ChannelSetpoint[2][0] = 1;
    EXPECT_EQ(s.SavedData.ValueTable[41], 300);
    EXPECT_EQ(s.DefaultData.ValueTable[41], 300);
    EXPECT_EQ(s.SavedData.AddressTable[0], "D1100");
    EXPECT_EQ(s.DefaultData.ChannelSetpoint[2][0], 200);
    EXPECT_NE(s.CurrentData, s.SavedData);
}

TEST(RegisterMap, VersionTagIsTheBuildsVersion) {
    const SharedState s = initialised();
    EXPECT_EQ(s.ProgramVersionTag, "TELVANE_R1.0.0");
    EXPECT_EQ(s.DefaultData.VersionTag, s.ProgramVersionTag);
    EXPECT_EQ(BuildVersionTag(), s.ProgramVersionTag);
}

TEST(SharedRoutines, ChangeExtensionKeepsFolderAndBaseName) {
    EXPECT_EQ(ChangeExtension("/data/projects/CUP1.kvl", "rev"), "/data/projects/CUP1.rev");
    EXPECT_EQ(ChangeExtension("/data/my.project.kvl", "hex"), "/data/my.project.hex");
    EXPECT_EQ(ChangeExtension("/data/noext", "lcf"), "/data/noext.lcf");
}

TEST(SharedRoutines, ProjectBoardCode) {
    using TargetBoardData::ProjectBoardCode;
    QTemporaryDir dir;
    EXPECT_EQ(ProjectBoardCode(dir.filePath("missing.rev")), 68);
    QFile empty(dir.filePath("empty.kvl"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(ProjectBoardCode(dir.filePath("empty.rev")), 68);
    QFile kvl(dir.filePath("cup.kvl"));
    ASSERT_TRUE(kvl.open(QIODevice::WriteOnly));
    kvl.write("  \"E2700\",rest of the line\r\nsecond line\r\n");
    kvl.close();
    EXPECT_EQ(ProjectBoardCode(dir.filePath("cup.hex")), int('E'));
    // Upper-case extensions of a project copied from elsewhere are found too.
    QFile upper(dir.filePath("BIG.KVL"));
    ASSERT_TRUE(upper.open(QIODevice::WriteOnly));
    upper.write(";K2101\n");
    upper.close();
    EXPECT_EQ(ProjectBoardCode(dir.filePath("BIG.rev")), int(';'));
}

TEST(SharedRoutines, SelectAllTextAndCenterForm) {
    EnsureApplication();
    QLineEdit edit("12345");
    edit.setCursorPosition(2);
    SelectAllText(&edit);
    EXPECT_EQ(edit.selectionStart(), 0);
    EXPECT_EQ(edit.selectedText(), "12345");
    SelectAllText(nullptr); // no box: nothing happens

    QWidget form;
    form.resize(200, 100);
    CenterForm(&form);
    const QRect area = form.screen()->availableGeometry();
    const QRect frame = form.frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
}

} // namespace
