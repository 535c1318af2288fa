#include "CliPort.h"

#include "NetworkDevice.h"
#include "PortSettingsFile.h"
#include "QtSerialPort.h"

namespace CliPort {

CliPortChoice choose(const QString& settingsFile, const QString& device, const QString& baud) {
    using PortSettingsFile::FileState;
    CliPortChoice choice;
    const FileState state = PortSettingsFile::state(settingsFile);
    if (!device.isEmpty()) {
        choice.settings.device = device;
        if (baud.isEmpty() && state == FileState::Readable) {
            if (const auto fromFile = PortSettingsFile::read(settingsFile))
                choice.settings.baud = fromFile->baud;
        }
        if (!baud.isEmpty())
            choice.settings.baud = baud;
        choice.where = QStringLiteral("%1 (from --device)").arg(device);
        return choice;
    }
    const auto inForce = PortSettingsFile::readOrWriteDefaults(settingsFile);
    if (!inForce) {
        choice.error =
            QStringLiteral("cannot read the port settings file %1; it is left as it is (give the "
                           "port with --device)")
                .arg(settingsFile);
        return choice;
    }
    choice.settings = *inForce;
    if (!baud.isEmpty())
        choice.settings.baud = baud;
    const QString portDevice = QtSerialPort::deviceFor(choice.settings);
    choice.where = choice.settings.device.isEmpty()
                       ? QStringLiteral("%1 (port %2 in %3)")
                             .arg(portDevice)
                             .arg(choice.settings.portNumber)
                             .arg(settingsFile)
                       : QStringLiteral("%1 (in %2)").arg(portDevice, settingsFile);
    return choice;
}

int baud(const CliPortChoice& choice) {
    return choice.settings.speed().bitsPerSecond();
}

QString noAnswer(const CliPortChoice& choice) {
    const QString device = QtSerialPort::deviceFor(choice.settings);
    const auto address = NetworkDevice::parse(device);
    if (const auto* network = std::get_if<NetworkDevice::Address>(&address);
        network && network->kind == NetworkDevice::Kind::Socket)
        return QStringLiteral("no answer from the board on %1; its server sets the speed of the "
                              "board's port")
            .arg(choice.where);
    const int asked = baud(choice);
    return QStringLiteral("no answer from the board on %1 at %2 baud; 'telvane-cli find %3' "
                          "tells at which speed a board answers there, or try --baud %4")
        .arg(choice.where)
        .arg(asked)
        .arg(device)
        .arg(asked == Baud::Fast ? Baud::Slow : Baud::Fast);
}

} // namespace CliPort
