#include "PlsCommands.h"

#include "CliExit.h"
#include "RSComm.h"

#include <QFileInfo>
#include <cstdio>
#include <optional>

namespace {

const QStringList readables = {QStringLiteral("scale"), QStringLiteral("offset"),
                               QStringLiteral("pos"), QStringLiteral("rpm")};

// Numbers of arguments, all integers, for the commands that take only integers.
std::optional<int> integerArguments(const QString& command) {
    if (command == u"pls-setpoint")
        return 3;
    if (command == u"pls-pulse")
        return 4;
    if (command == u"pls-clear" || command == u"pls-recall" || command == u"pls-offset")
        return 1;
    if (command == u"pls-config")
        return 0;
    if (command == u"pls-config-download")
        return 1 + RSComm::PLSConfigValues;
    return std::nullopt;
}

QList<int> integers(const QStringList& args) {
    QList<int> values;
    for (const QString& a : args)
        values.append(a.toInt());
    return values;
}

void print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
}

int outcome(const RSComm& link, bool done) {
    if (done)
        return Ok;
    return link.CommError() ? LinkFailed : Usage;
}

int readWord(RSComm& link, const QString& what) {
    const QString text = what == u"scale"    ? link.PLSScaleFactor()
                         : what == u"offset" ? link.PLSOffset()
                         : what == u"pos"    ? link.PLSPos()
                                             : link.PLSRpm();
    if (link.CommError() || text == u"-9999")
        return LinkFailed;
    print(text);
    return Ok;
}

int configUpload(RSComm& link) {
    const auto values = link.PLSConfigUpload();
    if (link.LastPLSConfigUploadFailed() || link.CommError())
        return LinkFailed;
    QStringList texts;
    for (const int v : values)
        texts.append(QString::number(v));
    print(texts.join(u' '));
    return Ok;
}

int configDownload(RSComm& link, const QList<int>& v) {
    std::array<int, RSComm::PLSConfigValues> config{};
    for (size_t i = 0; i < config.size(); ++i)
        config[i] = v[qsizetype(i) + 1];
    return outcome(link, link.PLSConfigDownload(config, v[0]));
}

int project(RSComm& link, const QString& path) {
    if (!QFileInfo(path).isFile()) {
        std::fprintf(stderr, "telvane-cli: no such project file: %s\n", qPrintable(path));
        return Usage;
    }
    link.setDownloadFile(path);
    const int code = link.BoardCode();
    const auto digits = link.ConfigDigits();
    print(QStringLiteral("valid=") +
          (link.ValidProgram() ? QStringLiteral("true") : QStringLiteral("false")));
    print(QStringLiteral("code=") +
          (code > 0 && code < 0x10000 ? QString(QChar(code)) : QString()));
    print(QStringLiteral("board=") + link.ProgramTargetboardName());
    print(QStringLiteral("ident=") + link.FileIdent());
    print(QStringLiteral("checksum=") + link.FileChecksum());
    print(QStringLiteral("revision=") + link.FileRevision());
    print(QStringLiteral("configA=") + QString::number(digits[0]));
    print(QStringLiteral("configB=") + QString::number(digits[1]));
    print(QStringLiteral("configC=") + QString::number(digits[2]));
    return link.ValidProgram() ? Ok : Usage;
}

} // namespace

namespace PlsCommands {

bool accepts(const QString& command, const QStringList& args) {
    if (command == u"pls-read")
        return args.size() == 1 && readables.contains(args[0]);
    if (command == u"project")
        return args.size() == 1;
    const auto count = integerArguments(command);
    if (!count || args.size() != *count)
        return false;
    for (const QString& a : args) {
        bool ok = false;
        a.toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

bool needsLink(const QString& command) {
    return command != u"project";
}

int run(RSComm& link, const QString& command, const QStringList& args) {
    if (command == u"project")
        return project(link, args[0]);
    if (command == u"pls-read")
        return readWord(link, args[0]);
    if (command == u"pls-config")
        return configUpload(link);
    const QList<int> v = integers(args);
    if (command == u"pls-setpoint")
        return outcome(link, link.SingleSetpoint(v[0], v[1], v[2], true));
    if (command == u"pls-pulse")
        return outcome(link, link.PulseTrain(v[0], v[1], v[2], v[3]));
    if (command == u"pls-clear")
        return outcome(link, link.ClearPLSChan(v[0]));
    if (command == u"pls-offset")
        return outcome(link, link.SetPLSOffset(v[0]));
    if (command == u"pls-recall") {
        const bool done = link.RecallChannel(v[0]);
        if (done)
            print(QString::number(link.ChannelRecallState()) + u' ' +
                  QString::number(link.ChannelRecallPos()));
        return outcome(link, done);
    }
    return configDownload(link, v);
}

} // namespace PlsCommands
