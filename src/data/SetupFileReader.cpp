#include "SetupFileReader.h"

#include "SdtFormat.h"

#include <QFile>

namespace {
// A set-up data file is under a kilobyte; anything this large is not one.
constexpr qint64 MaxSetupFileBytes = 16 * 1024 * 1024;
} // namespace

std::optional<SetupRecord> ReadSetupFile(const QString& path, QString* warning) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *warning =
            QStringLiteral("Unable to open ") + path + QStringLiteral(".\n\n") + file.errorString();
        return std::nullopt;
    }
    QString why;
    const QByteArray bytes = file.read(MaxSetupFileBytes);
    if (file.error() != QFileDevice::NoError)
        why = file.errorString();
    auto record = why.isEmpty() ? SdtFormat::decode(bytes, &why) : std::nullopt;
    if (!record)
        *warning =
            path + QStringLiteral(" is not a set-up data file that can be read.\n\n") + why + u'.';
    return record;
}
