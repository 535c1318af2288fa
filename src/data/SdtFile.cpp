#include "SdtFile.h"

#include "SdtFormat.h"
#include "SetupFileReader.h"
#include "SharedState.h"

#include <QSaveFile>

namespace SdtFile {

std::optional<SetupRecord> read(const QString& path, QString* warning) {
    auto record = ReadSetupFile(path, warning);
    if (record) {
        record->AddressTable.resize(LastIndex + 1);
        record->ValueTable.resize(LastIndex + 1, 0);
    }
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
