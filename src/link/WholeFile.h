#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Why a file could not be written: the file error's number and description.
struct WriteFailure {
    int number = 0;
    QString description;
};

// Replaces the file as a whole, or leaves it as it was (QSaveFile): every
// file the program writes in one piece goes through here. Not through here:
// a recording, which grows row by row as it is sampled, and the file a
// printer of the print dialog is told to print to, which Qt writes.
std::optional<WriteFailure> WriteWholeFile(const QString& path, const QByteArray& bytes);

// Files that belong together (a project's program, configuration and
// revision) are replaced all or none: each is prepared in full first, then
// they are committed in turn, and a failure puts back those already replaced.
struct FileContent {
    QString path;
    QByteArray bytes;
};
struct GroupWriteFailure {
    QString path; // the file that could not be written
    WriteFailure failure;
    QStringList notRestored; // replaced files whose old contents could not be put back
};
std::optional<GroupWriteFailure> WriteWholeFiles(const QList<FileContent>& files);
