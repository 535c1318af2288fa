// Program identity on disk, the clock writes and the simulated board clock.
#include "TargetBoardData.h"
#include "BoardSimulator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TargetBoardData;

namespace {

void write(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST(DiskIdentity, RevisionFileGivesNameChecksumAndRevision) {
    QTemporaryDir dir;
    const QString kvl = dir.filePath("CUPPER.kvl");
    write(kvl, "A project\r\n");
    // Checksum 0xAB and revision 0x03 in MarkHEX digits.
    write(dir.filePath("CUPPER.rev"), "CUPPER01:;03\r\n");
    DiskIdentity id;
    ASSERT_FALSE(ReadDiskIdentity(kvl, id));
    EXPECT_EQ(id.boardCode, 'A');
    EXPECT_EQ(id.name, "CUPPER01");
    EXPECT_EQ(id.checksum, 171);
    EXPECT_EQ(id.revision, 3);
    EXPECT_EQ(id.revDate, "-");
    write(dir.filePath("CUPPER.hex"), ":00000001FF\r\n");
    ASSERT_FALSE(ReadDiskIdentity(kvl, id));
    EXPECT_NE(id.revDate, "-");
}

TEST(DiskIdentity, NoProjectIsBoardDWithNameDash) {
    DiskIdentity id;
    id.name = "old";
    ASSERT_FALSE(ReadDiskIdentity(QString(), id));
    EXPECT_EQ(id.boardCode, 'D');
    EXPECT_EQ(id.name, "-");
    EXPECT_EQ(id.revision, 0);
    EXPECT_EQ(id.checksum, 0);
    ASSERT_FALSE(ReadDiskIdentity("/nonexistent/x.kvl", id));
    EXPECT_EQ(id.boardCode, 'D');
}

TEST(DiskIdentity, EmptyProjectAndMissingRevisionFileKeepTheDefaults) {
    QTemporaryDir dir;
    const QString kvl = dir.filePath("P.kvl");
    write(kvl, "");
    DiskIdentity id;
    ASSERT_FALSE(ReadDiskIdentity(kvl, id));
    EXPECT_EQ(id.boardCode, 'D');
    EXPECT_EQ(id.name, "-");
}

TEST(DiskIdentity, BadRevisionLinesAreErrorsNotCrashes) {
    QTemporaryDir dir;
    const QString kvl = dir.filePath("P.kvl");
    write(kvl, "6\r\n");
    DiskIdentity id;
    write(dir.filePath("P.rev"), "AB\r\n");
    auto error = ReadDiskIdentity(kvl, id);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 5);
    write(dir.filePath("P.rev"), "NAMEzz03\r\n");
    error = ReadDiskIdentity(kvl, id);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 13);
    // Exactly four digits: an empty name.
    write(dir.filePath("P.rev"), "0003\r\n");
    ASSERT_FALSE(ReadDiskIdentity(kvl, id));
    EXPECT_EQ(id.name, "");
    EXPECT_EQ(id.revision, 3);
}

TEST(ClockWrites, OneSnapshotInTheGivenOrder) {
    const QDateTime may(QDate(2005, 5, 9), QTime(10, 59, 59));
    EXPECT_EQ(DateWrites(may), (Writes{{"B43016", "5"}, {"B43015", "9"}, {"B43017", "05"}}));
    EXPECT_EQ(TimeWrites(may), (Writes{{"B43012", "10"}, {"B43010", "59"}, {"B43008", "59"}}));
    EXPECT_EQ(TimeText(may), "10 : 59 : 59");
    EXPECT_EQ(DateText(QDateTime(QDate(2026, 3, 14), QTime(9, 5, 7))), "03 - 14 - 2026");
    EXPECT_EQ(TwoDigits("7"), "07");
    EXPECT_EQ(TwoDigits("123"), "23");
}

TEST(BoardClock, TicksWithEveryCarry) {
    BoardSimulator board;
    auto& m = board.memory();
    m.setByte(43012, 23);
    m.setByte(43010, 59);
    m.setByte(43008, 58);
    m.setByte(43016, 12);
    m.setByte(43015, 31);
    m.setByte(43017, 99);
    board.advanceTo(1'000'000);
    board.advanceTo(2'000'000);
    EXPECT_EQ(m.byte(43008), 59);
    board.advanceTo(3'500'000);
    EXPECT_EQ(m.byte(43008), 0);
    EXPECT_EQ(m.byte(43010), 0);
    EXPECT_EQ(m.byte(43012), 0);
    EXPECT_EQ(m.byte(43015), 1);
    EXPECT_EQ(m.byte(43016), 1);
    EXPECT_EQ(m.byte(43017), 0);
    // A day out of range for February carries at once.
    m.setByte(43016, 2);
    m.setByte(43015, 30);
    board.advanceTo(4'500'000);
    EXPECT_EQ(m.byte(43016), 3);
    EXPECT_EQ(m.byte(43015), 1);
}

} // namespace
