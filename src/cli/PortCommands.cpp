#include "PortCommands.h"

#include "BoardSearch.h"
#include "CliArgs.h"
#include "CliExit.h"
#include "PortSettingsFile.h"
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
    QObject::connect(&search, &BoardSearch::boardFound, [](const QString& device, int baud) {
        CliOut::line(QStringLiteral("%1 %2").arg(device).arg(baud));
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

} // namespace PortCommands
