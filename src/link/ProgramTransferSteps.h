#pragma once

#include <QString>

// What the download and upload steps of a program transfer share.
namespace ProgramTransferSteps {

inline const QString DownloadTitle = QStringLiteral("Program Download");
inline const QString UploadTitle = QStringLiteral("Program Upload");

inline QString byteAddress(int address) {
    return QStringLiteral("B") + QString::number(address);
}

} // namespace ProgramTransferSteps
