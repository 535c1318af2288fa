#include "WholeFile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Unbuffered, so that a write cut short (a full disk) shows as a short count
// here: a buffered save file writes at commit, where Qt takes a partial write
// for success and would commit a truncated file.
constexpr QIODevice::OpenMode WriteMode = QIODevice::WriteOnly | QIODevice::Unbuffered;

// Writes all of bytes. Qt sets no error for a write the system cut short
// after a part (a full disk): the system's reason is then taken from errno.
bool writeAll(QSaveFile& file, const QByteArray& bytes, std::optional<WriteFailure>& shortWrite) {
    errno = 0;
    if (file.write(bytes) == bytes.size())
        return true;
    if (file.error() == QFileDevice::NoError)
        shortWrite = WriteFailure{int(QFileDevice::WriteError),
                                  errno ? QString::fromLocal8Bit(std::strerror(errno))
                                        : QStringLiteral("The file was cut short.")};
    return false;
}

} // namespace

std::optional<WriteFailure> WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    std::optional<WriteFailure> shortWrite;
    if (file.open(WriteMode) && writeAll(file, bytes, shortWrite) && file.commit())
        return std::nullopt;
    return shortWrite ? *shortWrite : WriteFailure{int(file.error()), file.errorString()};
}

namespace {

GroupWriteFailure failureOf(const QFileDevice& file) {
    return {file.fileName(), {int(file.error()), file.errorString()}, {}};
}

} // namespace

std::optional<GroupWriteFailure> WriteWholeFiles(const QList<FileContent>& files) {
    std::vector<std::unique_ptr<QSaveFile>> prepared;
    // What each file held before (none: there was no such file), to put back.
    QList<std::optional<QByteArray>> previous;
    for (const FileContent& file : files) {
        auto save = std::make_unique<QSaveFile>(file.path);
        std::optional<WriteFailure> shortWrite;
        if (!save->open(WriteMode) || !writeAll(*save, file.bytes, shortWrite))
            return shortWrite ? GroupWriteFailure{file.path, *shortWrite, {}} : failureOf(*save);
        QFile old(file.path);
        if (!old.exists()) {
            previous.append(std::nullopt);
        } else if (old.open(QIODevice::ReadOnly)) {
            previous.append(old.readAll());
        } else {
            return failureOf(old); // a file that cannot be put back is not replaced
        }
        prepared.push_back(std::move(save));
    }
    for (size_t i = 0; i < prepared.size(); ++i) {
        if (prepared[i]->commit())
            continue;
        GroupWriteFailure failed = failureOf(*prepared[i]);
        for (size_t k = 0; k < i; ++k) {
            const QString& path = files[qsizetype(k)].path;
            const auto& old = previous[qsizetype(k)];
            const bool restored = old ? !WriteWholeFile(path, *old) : QFile::remove(path);
            if (!restored)
                failed.notRestored.append(path);
        }
        return failed;
    }
    return std::nullopt;
}
