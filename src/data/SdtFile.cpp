#include "SdtFile.h"

#include "Address.h"
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
    const QByteArray bytes = file.read(MaxSetupFileBytes);
    if (file.error() != QFileDevice::NoError) {
        *warning =
            QStringLiteral("Unable to read ") + path + QStringLiteral(".\n\n") + file.errorString();
        return std::nullopt;
    }
    // What the decoder found wrong means nothing to a user; that the file is
    // not one of ours, or is damaged, does.
    auto record = SdtFormat::decode(bytes);
    if (!record) {
        *warning = path + QStringLiteral(" is not a set-up data file that can be read.\n\n") +
                   QStringLiteral("It is another kind of file, or a set-up data file that has "
                                  "been damaged.");
        return std::nullopt;
    }
    record->AddressTable.resize(LastIndex + 1);
    record->ValueTable.resize(LastIndex + 1, 0);
    return record;
}

std::optional<SetupRecord> readChecked(const QString& path, QString* warning) {
    auto record = read(path, warning);
    if (!record)
        return std::nullopt;
    for (const QString& address : std::as_const(record->AddressTable)) {
        if (!address.isEmpty() && !Address::parseWellFormed(address)) {
            *warning =
                path + QStringLiteral(" is not a set-up data file that can be read.\n\n") +
                QStringLiteral("Its register address '%1' is not one the board has.").arg(address);
            return std::nullopt;
        }
    }
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

Prompt::Answer AskOtherVersion(Prompt& prompt, const QString& fileVersionTag) {
    return prompt.message(QStringLiteral("TELVANE"),
                          QStringLiteral("File created by set-up program version: ") +
                              fileVersionTag +
                              QStringLiteral("\r\nData tables may not be properly aligned.\r\n\r\n"
                                             "Do you wish to continue?"),
                          Prompt::Icon::Information, Prompt::Buttons::YesNoCancel);
}

} // namespace SdtFile
