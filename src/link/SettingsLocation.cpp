#include "SettingsLocation.h"

#include "ProgramFolder.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace SettingsLocation {

QString userFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/telvane");
}

bool canWrite(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.telvane-write-XXXXXX"));
    return probe.open();
}

QString programPortSettings(const QString& programFolder) {
    return ProgramFolder::resolve(programFolder, QStringLiteral("Support/RSPort.cfg"));
}

QString userPortSettings() {
    return userFolder() + QStringLiteral("/RSPort.cfg");
}

QString userWindowSettings() {
    return userFolder() + QStringLiteral("/telvane.conf");
}

namespace {
// The folder the program's settings file is written into: Support, or the
// program folder while Support is still to be made.
bool programSideWritable(const QString& programFolder) {
    const QString support = QFileInfo(programPortSettings(programFolder)).absolutePath();
    return canWrite(QFileInfo(support).isDir() ? support : programFolder);
}
} // namespace

QString portSettingsFile(const QString& programFolder) {
    const QString user = userPortSettings();
    const QFileInfo userFile(user);
    if (userFile.exists() || userFile.isSymLink() || !programSideWritable(programFolder))
        return user;
    return programPortSettings(programFolder);
}

} // namespace SettingsLocation
