#include "WholeFile.h"

#include <QSaveFile>

std::optional<WriteFailure> WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return std::nullopt;
    return WriteFailure{int(file.error()), file.errorString()};
}
