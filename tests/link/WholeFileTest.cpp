// Whole files: a write cut short is a failure that leaves the old file, and
// files replaced together are replaced all or none, even when one fails only
// once the first of them has been replaced.
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include "FileSizeLimit.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// An append-only file cannot be replaced, not even by root: a commit that
// fails after the files before it were replaced.
bool setAppendOnly(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

TEST(WholeFiles, AWriteCutShortIsAFailureThatLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("CUP.sdt");
    ASSERT_FALSE(WriteWholeFile(path, "old"));
    std::optional<WriteFailure> failed;
    {
        const FileSizeLimit limit(4096);
        failed = WriteWholeFile(path, QByteArray(8000, 'x'));
    }
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->description, "File too large"); // the system's reason, not "Unknown error"
    EXPECT_EQ(contents(path), "old");
}

TEST(WholeFiles, AFailureWhileCommittingPutsBackTheFilesAlreadyReplaced) {
    QTemporaryDir dir;
    const QString hex = dir.filePath("CUP.hex"), lcf = dir.filePath("CUP.lcf"),
                  rev = dir.filePath("CUP.rev");
    ASSERT_FALSE(WriteWholeFile(hex, "old program\r\n"));
    ASSERT_FALSE(WriteWholeFile(rev, "OLD3:03\r\n"));
    if (!setAppendOnly(rev, true))
        GTEST_SKIP() << "needs a file system and rights that allow append-only files";
    const auto failed =
        WriteWholeFiles({{hex, "new program\r\n"}, {lcf, "new configuration\r\n"}, {rev, "NEW"}});
    setAppendOnly(rev, false);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->path, rev);
    EXPECT_TRUE(failed->notRestored.isEmpty());
    EXPECT_EQ(contents(hex), "old program\r\n");
    EXPECT_EQ(contents(rev), "OLD3:03\r\n");
    EXPECT_FALSE(QFile::exists(lcf));                             // there was none before
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
}

} // namespace
#endif
