// Where the file dialogs first look.
#include "FileDialogs.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Nobody can create files in /proc, whatever the permission bits say.
const QString Unwritable = QStringLiteral("/proc");

TEST(FileDialogStart, FileDialogsStartInTheDocumentsWhereTheProgramFolderIsClosed) {
    QTemporaryDir program;
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    EXPECT_EQ(FileDialogStart(program.path()), program.path());
    EXPECT_EQ(FileDialogStart(Unwritable), home.path()); // no documents folder
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    EXPECT_EQ(FileDialogStart(Unwritable),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    qputenv("HOME", savedHome);
}

} // namespace
