#include "ProgramCommands.h"

#include "CliArgs.h"
#include "CliExit.h"
#include "ProgramTransfer.h"
#include "RSComm.h"
#include "StderrPrompt.h"
#include "Terminal.h"

#include <QFileInfo>
#include <cstdio>

namespace {

// "ADDRESS  DONE/ALL (PERCENT%)" on one line of a terminal, redrawn in place.
class ProgressLine {
public:
    ProgressLine() : m_terminal(StderrIsTerminal()) {}
    ~ProgressLine() { clear(); }
    void show(const RSComm& link, const ProgramTransfer& job) {
        if (!m_terminal || job.RecordCount() == 0)
            return;
        const int done = job.RecordsDone();
        if (done == m_shownDone)
            return;
        m_shownDone = done;
        const QString text = QStringLiteral("%1  %2/%3 (%4%)")
                                 .arg(link.CurrentProgramAdd())
                                 .arg(done)
                                 .arg(job.RecordCount())
                                 .arg(done * 100 / job.RecordCount());
        std::fprintf(stderr, "\r%-40s", qPrintable(text));
        std::fflush(stderr);
        m_shown = true;
    }
    void clear() {
        if (!m_shown)
            return;
        std::fprintf(stderr, "\r%40s\r", "");
        std::fflush(stderr);
        m_shown = false;
        m_shownDone = -1;
    }

private:
    bool m_terminal;
    bool m_shown = false;
    int m_shownDone = -1;
};

int run(CliSession& s, ProgramTransfer::Direction direction) {
    RSComm& link = s.link;
    s.prompt.setConfirmed(true);
    ProgressLine progress;
    s.prompt.beforeMessage = [&progress] { progress.clear(); };
    ProgramTransfer job(link, direction);
    while (job.Step())
        progress.show(link, job);
    progress.clear();
    s.prompt.beforeMessage = nullptr;
    if (job.Complete())
        return Ok;
    // Refused before the board was touched: the project or its files.
    return job.Refused() && !link.CommError() ? Usage : LinkFailed;
}

bool projectExists(const QString& path) {
    if (QFileInfo(path).isFile())
        return true;
    CliOut::error(QStringLiteral("no such project file: %1").arg(path));
    return false;
}

} // namespace

namespace ProgramCommands {

int download(CliSession& s, const QStringList& args) {
    if (!projectExists(args[0]))
        return Usage;
    s.link.setDownloadFile(args[0]);
    if (!s.link.ValidProgram())
        return Usage;
    return run(s, ProgramTransfer::Direction::Download);
}

int upload(CliSession& s, const QStringList& args) {
    if (!projectExists(args[0]))
        return Usage;
    s.link.setUploadFile(args[0]);
    s.link.setInUploadMode(true);
    return run(s, ProgramTransfer::Direction::Upload);
}

int project(CliSession& s, const QStringList& args) {
    const QString& path = args[0];
    if (!QFileInfo(path).isFile()) {
        CliOut::error(QStringLiteral("no such project file: %1").arg(path));
        return Usage;
    }
    RSComm& link = s.link;
    link.setDownloadFile(path);
    const int code = link.Project().BoardCode();
    const auto digits = link.Project().ConfigDigits();
    auto show = [](const char* key, const QString& value) {
        CliOut::line(QString::fromLatin1(key) + u'=' + value);
    };
    show("valid", link.ValidProgram() ? QStringLiteral("true") : QStringLiteral("false"));
    show("code", code > 0 && code < 0x10000 ? QString(QChar(code)) : QString());
    show("board", link.Project().ProgramTargetboardName());
    show("ident", link.Project().FileIdent());
    show("checksum", link.Project().FileChecksum());
    show("revision", link.Project().FileRevision());
    show("configA", QString::number(digits[0]));
    show("configB", QString::number(digits[1]));
    show("configC", QString::number(digits[2]));
    if (link.ValidProgram())
        return Ok;
    // The check speaks the download window's words ("... Halted!").
    CliOut::error(QStringLiteral("project only checks the file: nothing was sent to the board"));
    return Usage;
}

} // namespace ProgramCommands
