#include "ReportCommands.h"

#include "CliExit.h"
#include "Prompt.h"
#include "Report.h"
#include "SdtFile.h"
#include "StderrPrompt.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <cstring>

namespace ReportCommands {

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    bool report = false;
    for (int i = 1; i < argc; ++i)
        report = report || std::strcmp(argv[i], "report") == 0;
    if (!report)
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
    // high-resolution printer's A4 page with 10-point margins); the file is
    // written whole or not at all.
    constexpr int PdfResolution = 1200;
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                           QMarginsF(10, 10, 10, 10), QPageLayout::Point);
    QSaveFile file(pdfPath);
    bool drawn = false;
    if (file.open(QIODevice::WriteOnly)) {
        QPdfWriter writer(&file);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(page);
        writer.setCreator(QStringLiteral("TELVANE"));
        drawn = PrintReport(writer, *record, caption);
    }
    if (drawn && file.commit())
        return Ok;
    // Which file, and why: the file's own error, else the drawing's.
    const QString why = file.error() != QFileDevice::NoError
                            ? file.errorString()
                            : QStringLiteral("The report could not be drawn.");
    prompt.message(QStringLiteral("TELVANE"),
                   QStringLiteral("Unable to print report to %1.\n\n%2").arg(pdfPath, why),
                   Prompt::Icon::Exclamation);
    return Usage;
}

} // namespace ReportCommands
