#include "PortSettingsSave.h"

#include "DeviceText.h"
#include "NetworkDevice.h"
#include "PortSettingsFile.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace PortSettingsSave {

namespace {

#ifdef Q_OS_UNIX
bool isCharacterDevice(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}
#endif

} // namespace

std::optional<QString> deviceProblem(const QString& text) {
    if (auto problem = DeviceText::problem(text))
        return problem;
    // A serial device server is checked for form here, by connecting when used.
    const QString device = text.trimmed();
    if (device.isEmpty() || NetworkDevice::isNetwork(device))
        return std::nullopt;
#ifndef Q_OS_UNIX
    // A Windows port ("COM3") is no file to look at: opening it tells.
    return std::nullopt;
#else
    if (!QFileInfo::exists(device))
        return QStringLiteral("The device %1 does not exist.").arg(device);
    if (!isCharacterDevice(device))
        return QStringLiteral("%1 is not a character device: a serial port is one.").arg(device);
    return std::nullopt;
#endif
}

std::optional<Failure> save(const QString& settingsFile, const QString& programFolder,
                            const PortSettings& settings) {
    // What the file could not give back as it was is not written.
    if (const auto problem = DeviceText::problem(settings.device))
        return Failure{int(QFileDevice::WriteError), *problem};
    QDir().mkpath(QFileInfo(settingsFile).absolutePath());
    if (auto failed = WriteWholeFile(settingsFile, PortSettingsFile::printedLine(settings)))
        return failed;
    const QByteArray portIndex = QByteArray::number(settings.portNumber - 1) + "\r\n";
    for (const char* name : {"KOR51", "KOR96", "ZUZ51"}) {
        const QString folder = ProgramFolder::resolve(programFolder, QString::fromLatin1(name));
        if (!QFileInfo(folder).isDir())
            continue;
        const QString sfg = ProgramFolder::resolve(folder, QStringLiteral("KORVEL.SFG"));
        if (auto failed = WriteWholeFile(sfg, portIndex))
            return failed;
    }
    return std::nullopt;
}

} // namespace PortSettingsSave
