// telvane-cli: reads and writes the board's registers from scripts and shells.
#include "CliExit.h"
#include "Clock.h"
#include "PlsCommands.h"
#include "ProgramFolder.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "StderrPrompt.h"
#include "TransferCommands.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char* const helpText =
    "Usage: telvane-cli [--device PATH] [--baud 9600|19200] COMMAND [ARGUMENTS]\n"
    "\n"
    "Talks to the cupper's controller board over the serial link.\n"
    "\n"
    "Commands:\n"
    "  read ADDRESS...      read each register in turn and print its value on its own line\n"
    "  write ADDRESS VALUE  write the value to the register\n"
    "  fault                print the board's fault code with its description\n"
    "  firmware             print the board's firmware revision\n"
    "\n"
    "PLS (programmable limit switch) commands:\n"
    "  pls-read scale|offset|pos|rpm  print the PLS scale factor, offset, position or speed\n"
    "  pls-setpoint CH ON OFF         clear channel CH, then program it ON..OFF\n"
    "  pls-pulse CH ON OFF START      program channel CH as a pulse train: ON divisions on,\n"
    "                                 OFF divisions off, from position START\n"
    "  pls-clear CH                   clear channel CH\n"
    "  pls-recall CH                  recall one setpoint of channel CH; print STATE POSITION\n"
    "                                 (state 1 ON, 0 OFF, other: not programmed)\n"
    "  pls-offset POSITION            set the offset so that the present position reads POSITION\n"
    "  pls-config                     print the 19 PLS configuration bytes on one line\n"
    "  pls-config-download SCALE V0 ... V23\n"
    "                                 write the 24 configuration values, then the scale factor\n"
    "\n"
    "Group transfers (the groups of the File menu's Upload and Download):\n"
    "  upload GROUP FILE.sdt    read GROUP (setup, timing, shift or all) from the board into\n"
    "                           the set-up record of FILE.sdt (the defaults when FILE does not\n"
    "                           exist) and save FILE.sdt; on any failure FILE stays as it was\n"
    "  download GROUP FILE.sdt  send GROUP from FILE.sdt to the board\n"
    "\n"
    "Program projects (no link needed):\n"
    "  project FILE.kvl     check a project for the program download and print valid, code,\n"
    "                       board, ident, checksum, revision, configA, configB, configC as\n"
    "                       key=value lines\n"
    "\n"
    "Addresses: W1020 (word), B8176 (byte), B110.6 (bit), D1100 (double word), F858 (flag),\n"
    "EFF0H (byte, hexadecimal).\n"
    "\n"
    "Without --device the port settings file Support/RSPort.cfg of the program folder (the\n"
    "folder of this executable, or TELVANE_HOME) names the port; it is created with the\n"
    "defaults (port 1, 9600 baud) when missing. --baud overrides its baud rate.\n"
    "\n"
    "Every message of the link is printed to standard error as TITLE: TEXT; questions\n"
    "(Retry/Cancel) are answered Cancel.\n"
    "\n"
    "Exit status: 0 when all went through; 1 when the link failed (port not opened,\n"
    "communication error, or the last read or write finally failed) or a group transfer\n"
    "did not complete; 2 for a usage error, an entry the link refused, a PLS command the\n"
    "link or the board refused, a project that is not valid, or a set-up file that cannot\n"
    "be read.\n";

int usage(const QString& why) {
    std::fprintf(stderr, "telvane-cli: %s\n%s", qPrintable(why), helpText);
    return Usage;
}

// A port whose settings the command line overrides.
class OverriddenPort final : public SerialPort {
public:
    OverriddenPort(QString device, QString baud)
        : m_device(std::move(device)), m_baud(std::move(baud)) {}
    bool open(const PortSettings& settings) override {
        PortSettings s = settings;
        if (!m_device.isEmpty())
            s.device = m_device;
        if (!m_baud.isEmpty())
            s.baud = m_baud;
        return m_port.open(s);
    }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    int errorNumber() const override { return m_port.errorNumber(); }
    QString errorString() const override { return m_port.errorString(); }
    QString portName() const override { return m_port.portName(); }
    void discardInput() override { m_port.discardInput(); }
    int bytesAvailable() override { return m_port.bytesAvailable(); }
    bool writeByte(quint8 byte) override { return m_port.writeByte(byte); }
    bool waitForByte(int timeoutMs) override { return m_port.waitForByte(timeoutMs); }
    int readByte() override { return m_port.readByte(); }

private:
    QtSerialPort m_port;
    QString m_device;
    QString m_baud;
};

void print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString device;
    QString baud;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            std::printf("%s", helpText);
            return Ok;
        }
        if ((option != u"--device" && option != u"--baud") || args.isEmpty())
            return usage(QStringLiteral("unknown option or missing value: ") + option);
        const QString value = args.takeFirst();
        if (option == u"--device") {
            device = value;
        } else {
            if (value != u"9600" && value != u"19200")
                return usage(QStringLiteral("--baud takes 9600 or 19200"));
            baud = value;
        }
    }
    if (args.isEmpty())
        return usage(QStringLiteral("no command"));
    const QString command = args.takeFirst();
    const bool known =
        (command == u"read" && !args.isEmpty()) || (command == u"write" && args.size() == 2) ||
        ((command == u"fault" || command == u"firmware") && args.isEmpty()) ||
        PlsCommands::accepts(command, args) || TransferCommands::accepts(command, args);
    if (!known)
        return usage(QStringLiteral("unknown command or wrong arguments: ") + command);
    if (TransferCommands::accepts(command, args)) {
        const auto problem = command == u"upload" ? TransferCommands::checkUpload(args)
                                                  : TransferCommands::checkDownload(args);
        if (problem) {
            std::fprintf(stderr, "telvane-cli: %s\n", qPrintable(Prompt::screenText(*problem)));
            return Usage;
        }
    }

    StderrPrompt prompt;
    SteadyClock clock;
    RSComm link(prompt, clock, ProgramFolder::path());
    if (!PlsCommands::needsLink(command))
        return PlsCommands::run(link, command, args);
    OverriddenPort port(device, baud);
    link.OpenRSComm(port);
    if (!link.OnlineMode()) {
        link.CloseRSComm();
        return LinkFailed;
    }

    if (TransferCommands::accepts(command, args)) {
        const int status = command == u"upload" ? TransferCommands::upload(link, prompt, args)
                                                : TransferCommands::download(link, prompt, args);
        link.CloseRSComm();
        return status;
    }
    if (PlsCommands::accepts(command, args)) {
        const int status = PlsCommands::run(link, command, args);
        link.CloseRSComm();
        return status;
    }

    bool failed = false;
    bool refused = false;
    if (command == u"read") {
        for (const QString& address : args) {
            const QString value = link.RSRead(address);
            if (link.CommError() || link.LastReadFailed()) {
                failed = true;
                break;
            }
            print(value);
        }
    } else if (command == u"write") {
        link.RSWrite(args[0], args[1]);
        refused = link.LastWriteRefused();
        failed = link.CommError() || link.LastWriteFailed();
    } else if (command == u"fault") {
        const int code = link.FaultCode();
        failed = link.CommError() || link.LastReadFailed();
        if (!failed)
            print(link.FaultDescription(code));
    } else {
        const int revision = link.FirmwareRev();
        failed = link.CommError() || link.LastReadFailed() || revision < 0;
        if (!failed)
            print(QString::number(revision));
    }
    failed = failed || link.CommError();
    link.CloseRSComm();
    return refused ? Usage : failed ? LinkFailed : Ok;
}
