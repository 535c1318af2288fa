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
#include "SetupHistory.h"

#include <QEventLoop>
#include <variant>

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

namespace {

// The arguments of port without --name PRESS, and the name (nullopt: not
// given), or why not.
struct PortArgs {
    QStringList settings;
    std::optional<QString> name;
};
std::variant<PortArgs, QString> splitName(const QStringList& args) {
    PortArgs out;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--name") {
            if (i + 1 >= args.size())
                return QStringLiteral("--name needs the press's name (\"\" takes it away)");
            out.name = args[++i];
        } else if (args[i].startsWith(QStringLiteral("--name="))) {
            out.name = args[i].mid(int(qstrlen("--name=")));
        } else {
            out.settings << args[i];
        }
    }
    return out;
}

} // namespace

std::optional<QString> checkPort(const QStringList& all) {
    const auto split = splitName(all);
    if (const QString* problem = std::get_if<QString>(&split))
        return *problem;
    const PortArgs& parts = std::get<PortArgs>(split);
    if (parts.name)
        if (const auto problem = PressNameProblem(*parts.name))
            return problem;
    const QStringList& args = parts.settings;
    if (args.size() > 3)
        return QStringLiteral("port takes [PORT BAUD [DEVICE]] [--name PRESS]");
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

int port(CliSession& session, const QStringList& all) {
    const auto split = std::get<PortArgs>(splitName(all));
    const QStringList& args = split.settings;
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
    const QString device = QtSerialPort::deviceFor(settings);
    CliOut::line(QStringLiteral("device=") + DeviceText::shown(device));
    const auto deviceProblem = DeviceText::problem(settings.device);
    if (deviceProblem)
        CliOut::error(
            QStringLiteral("the device in %1 cannot be used: %2").arg(file, *deviceProblem));
    if (state == FileState::Missing)
        CliOut::error(QStringLiteral("%1 does not exist yet: these are the defaults").arg(file));
    // The name lives in the set-up history, with the snapshots it names; a
    // history that cannot be read leaves the settings' lines as they are.
    SetupHistory history;
    if (!split.name) {
        const auto name = history.PressName(device);
        if (const QString* known = std::get_if<QString>(&name); known && !known->isEmpty())
            CliOut::line(QStringLiteral("press=") + *known);
        return Ok;
    }
    // A name goes with a device a link can open, as the snapshots it names do.
    if (deviceProblem)
        return Usage;
    if (const auto failed = history.SetPressName(device, split.name->trimmed())) {
        CliOut::error(failed->reason);
        return Usage;
    }
    CliOut::line(QStringLiteral("press=") + split.name->trimmed());
    return Ok;
}

} // namespace PortCommands
