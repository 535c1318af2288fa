#include "SdtFile.h"

#include "SdtFormat.h"
#include "SharedState.h"
#include "WholeFile.h"

#include <QFile>

namespace SdtFile {

namespace {
// A set-up data file is under a kilobyte; anything this large is not one.
constexpr qint64 MaxSetupFileBytes = 16 * 1024 * 1024;
} // namespace

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
    if (const auto failed = WriteWholeFile(path, SdtFormat::encode(record))) {
        *warning = QStringLiteral("Unable to save ") + path + QStringLiteral(".\n\n") +
                   failed->description;
        return false;
    }
    return true;
}

} // namespace SdtFile
