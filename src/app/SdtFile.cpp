#include "SdtFile.h"

#include "SdtFormat.h"
#include "SharedState.h"

#include <QFile>
#include <QSaveFile>

namespace {
// A set-up data file is under a kilobyte; anything this large is not one.
constexpr qint64 MaxSetupFileBytes = 16 * 1024 * 1024;
} // namespace

namespace SdtFile {

std::optional<SetupRecord> read(const QString& path, QString* warning) {
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
    if (!record) {
        *warning =
            path + QStringLiteral(" is not a set-up data file that can be read.\n\n") + why + u'.';
        return std::nullopt;
    }
    record->AddressTable.resize(LastIndex + 1);
    record->ValueTable.resize(LastIndex + 1, 0);
    return record;
}

bool write(const QString& path, const SetupRecord& record, QString* warning) {
    const QByteArray bytes = SdtFormat::encode(record);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *warning =
            QStringLiteral("Unable to save ") + path + QStringLiteral(".\n\n") + file.errorString();
        return false;
    }
    return true;
}

} // namespace SdtFile
