#include "PortCommands.h"

#include "BoardSearch.h"
#include "CliArgs.h"
#include "CliExit.h"
#include "DeviceText.h"
#include "PortSettingsFile.h"
#include "PortSettingsSave.h"
#include "ProgramFolder.h"
#include "QtSerialPort.h"
#include "RSComm.h"

#include <QEventLoop>

namespace PortCommands {

int find(CliSession& session, const QStringList& args) {
    QStringList devices = args;
    if (devices.isEmpty()) {
        // The port the settings name may be one the system does not list (a
        // pseudo-terminal); the file is only read here.
        QString named;
        if (const auto settings = PortSettingsFile::read(session.link.CommSettingsFile()))
            named = QtSerialPort::deviceFor(*settings);
        devices = BoardSearch::candidates(BoardSearch::systemPorts(), named);
    }
    BoardSearch search;
    QObject::connect(&search, &BoardSearch::boardFound, [&search](const QString& device, int baud) {
        // A socket:// device runs at whatever speed its server's port is set to.
        if (!CliOut::line(QStringLiteral("%1 %2").arg(device, baud ? QString::number(baud)
                                                                   : QStringLiteral("server"))))
            search.cancel(); // nobody can be told of another board
    });
    QObject::connect(&search, &BoardSearch::portUnopened,
                     [](const QString& device, const QString& reason) {
                         CliOut::error(QStringLiteral("%1: %2").arg(device, reason));
                     });
    QEventLoop loop;
    QObject::connect(&search, &BoardSearch::finished, &loop, &QEventLoop::quit);
    search.start(devices);
    if (search.running())
        loop.exec();
    if (!search.boards().isEmpty())
        return Ok;
    CliOut::error(search.nothingFound());
    return LinkFailed;
}

std::optional<QString> checkPort(const QStringList& args) {
    if (args.isEmpty())
        return std::nullopt;
    if (args.size() == 1)
        return QStringLiteral("port takes PORT BAUD [DEVICE], or nothing");
    if (const auto problem = CliArgs::integer(args[0], QStringLiteral("port"), 1, 99))
        return problem;
    if (!Baud::parse(args[1]))
        return QStringLiteral("the speed is 9600 or 19200, not '%1'").arg(args[1]);
    if (args.size() > 2)
        return PortSettingsSave::deviceProblem(args[2]);
    return std::nullopt;
}

int port(CliSession& session, const QStringList& args) {
    const QString file = session.link.CommSettingsFile();
    if (!args.isEmpty()) {
        PortSettings settings;
        settings.portNumber = args[0].toInt();
        settings.baud = args[1];
        settings.device = args.value(2).trimmed(); // as the window keeps it
        if (const auto failed = PortSettingsSave::save(file, ProgramFolder::path(), settings)) {
            CliOut::error(QStringLiteral("cannot save %1: %2").arg(file, failed->description));
            return LinkFailed;
        }
    }
    using PortSettingsFile::FileState;
    const FileState state = PortSettingsFile::state(file);
    if (state == FileState::Unreadable) {
        CliOut::error(QStringLiteral("cannot read the port settings file %1").arg(file));
        return LinkFailed;
    }
    const PortSettings settings = PortSettingsFile::read(file).value_or(PortSettings{});
    CliOut::line(QStringLiteral("file=") + file);
    CliOut::line(QStringLiteral("port=%1").arg(settings.portNumber));
    CliOut::line(QStringLiteral("baud=") + settings.baud);
    CliOut::line(QStringLiteral("device=") + DeviceText::shown(QtSerialPort::deviceFor(settings)));
    if (const auto problem = DeviceText::problem(settings.device))
        CliOut::error(QStringLiteral("the device in %1 cannot be used: %2").arg(file, *problem));
    if (state == FileState::Missing)
        CliOut::error(QStringLiteral("%1 does not exist yet: these are the defaults").arg(file));
    return Ok;
}

} // namespace PortCommands
