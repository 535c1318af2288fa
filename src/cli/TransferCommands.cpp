#include "TransferCommands.h"

#include "CliArgs.h"
#include "CliExit.h"
#include "CliHistory.h"
#include "DataTransfer.h"
#include "ErrorText.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SdtFile.h"
#include "SharedState.h"
#include "StderrPrompt.h"
#include "Terminal.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

const QStringList groups = {QStringLiteral("setup"), QStringLiteral("timing"),
                            QStringLiteral("shift"), QStringLiteral("all")};
constexpr int groupCodes[] = {DataTransfer::UploadSetup, DataTransfer::UploadTiming,
                              DataTransfer::UploadShift, DataTransfer::UploadAll};

int uploadCode(const QString& group) {
    return groupCodes[groups.indexOf(group)];
}

void warn(Prompt& prompt, const QString& text) {
    prompt.message(QStringLiteral("TELVANE"), text, Prompt::Icon::Exclamation);
}

// Runs the transfer to its end, with a progress line when a person watches.
void runTransfer(DataTransfer& transfer) {
    const bool terminal = StderrIsTerminal();
    while (transfer.Step()) {
        if (terminal) {
            std::fprintf(stderr, "\r%s %d/%d", qPrintable(transfer.StatusCaption()),
                         transfer.Value(), transfer.Maximum());
            std::fflush(stderr);
        }
    }
    if (terminal)
        std::fprintf(stderr, "\n");
}

int finish(const DataTransfer& transfer, Prompt& prompt, const QString& what) {
    if (!transfer.Failed())
        return Ok;
    warn(prompt, ErrorText::processNotComplete());
    CliOut::error(what);
    return LinkFailed;
}

std::optional<QString> checkGroup(const QStringList& args) {
    if (groups.contains(args[0]))
        return std::nullopt;
    return QStringLiteral("GROUP is setup, timing, shift or all, not '%1'").arg(args[0]);
}

} // namespace

namespace TransferCommands {

std::optional<QString> checkUpload(const QStringList& args) {
    if (auto problem = checkGroup(args))
        return problem;
    const QFileInfo file(args[1]);
    // The board is not read for a file that has nowhere to go.
    if (!file.exists() && !QFileInfo(file.absolutePath()).isDir())
        return QStringLiteral("cannot save %1: there is no folder %2")
            .arg(args[1], QDir::toNativeSeparators(file.absolutePath()));
    QString warning;
    if (file.exists() && !SdtFile::read(args[1], &warning))
        return warning;
    return std::nullopt;
}

std::optional<QString> checkDownload(const QStringList& args) {
    if (auto problem = checkGroup(args))
        return problem;
    QString warning;
    if (!SdtFile::read(args[1], &warning))
        return warning;
    return std::nullopt;
}

int upload(CliSession& session, const QStringList& args) {
    Prompt& prompt = session.prompt;
    const QString path = args[1];
    SetupRecord record;
    QString warning;
    if (QFileInfo::exists(path)) {
        auto read = SdtFile::read(path, &warning);
        if (!read) {
            warn(prompt, warning);
            return Usage;
        }
        record = *read;
    } else {
        SharedState defaults;
        InitRegisterMap(defaults);
        record = defaults.DefaultData;
    }
    DataTransfer transfer(session.link, record, uploadCode(args[0]));
    runTransfer(transfer);
    const QString incomplete =
        QStringLiteral("upload did not complete; %1 was left as it was").arg(path);
    if (const int status = finish(transfer, prompt, incomplete); status != Ok)
        return status;
    record.VersionTag = BuildVersionTag();
    const bool saved = SdtFile::write(path, record, &warning);
    // The board was read whether or not the file could take it.
    CliHistory::takeAfter(session, transfer, record);
    if (!saved) {
        warn(prompt, warning);
        // Said here, so that the link, which did its part, is not blamed.
        CliOut::error(QStringLiteral("upload failed: the board was read, but %1 could not be saved")
                          .arg(path));
        return OutputFailed;
    }
    return Ok;
}

int download(CliSession& session, const QStringList& args) {
    Prompt& prompt = session.prompt;
    QString warning;
    auto record = SdtFile::read(args[1], &warning);
    if (!record) {
        warn(prompt, warning);
        return Usage;
    }
    DataTransfer transfer(session.link, *record, uploadCode(args[0]) + DataTransfer::DownloadSetup);
    runTransfer(transfer);
    const int status = finish(transfer, prompt, QStringLiteral("download did not complete"));
    CliHistory::takeAfter(session, transfer, *record);
    return status;
}

} // namespace TransferCommands
