#include "ReportCommands.h"

#include "CliExit.h"
#include "Prompt.h"
#include "Report.h"
#include "SdtFile.h"
#include "StderrPrompt.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <cstring>

namespace ReportCommands {

namespace {

// The command word, found before Qt parses the arguments: the first word
// that is neither an option nor an option's value. Later words are the
// command's own: a file named "report" is no report command.
const char* commandWord(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            return i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg[0] != '-')
            return arg;
        // --device PATH and --baud SPEED take the next word (not --device=PATH).
        if (std::strcmp(arg, "--device") == 0 || std::strcmp(arg, "--baud") == 0)
            ++i;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    const char* command = commandWord(argc, argv);
    if (!command || std::strcmp(command, "report") != 0)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

int report(CliSession& session, const QStringList& args) {
    Prompt& prompt = session.prompt;
    const QString& setupPath = args[0];
    const QString& pdfPath = args[1];
    QString warning;
    // As a compare takes it; grown to the full tables, as an opened file
    // becomes the current data.
    const auto record = SdtFile::readChecked(setupPath, &warning);
    if (!record) {
        prompt.message(QStringLiteral("TELVANE"), warning, Prompt::Icon::Exclamation);
        return Usage;
    }
    const QString caption = u'[' + QFileInfo(setupPath).fileName() + u']';

    // The page and resolution of the print dialog's PDF output (a
    // high-resolution printer's A4 page with 10-point margins). Drawn in
    // memory, then written whole or not at all.
    constexpr int PdfResolution = 1200;
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                           QMarginsF(10, 10, 10, 10), QPageLayout::Point);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(page);
        writer.setCreator(QStringLiteral("TELVANE"));
        drawn = PrintReport(writer, *record, caption);
    } // the writer ends the document as it goes
    std::optional<WriteFailure> failed;
    if (drawn)
        failed = WriteWholeFile(pdfPath, pdf.data());
    if (drawn && !failed)
        return Ok;
    const QString why =
        failed ? failed->description : QStringLiteral("The report could not be drawn.");
    prompt.message(QStringLiteral("TELVANE"),
                   QStringLiteral("Unable to print report to %1.\n\n%2").arg(pdfPath, why),
                   Prompt::Icon::Exclamation);
    return Usage;
}

} // namespace ReportCommands
