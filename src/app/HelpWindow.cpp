#include "HelpWindow.h"

#include "ProgramFolder.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("TELVANE Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 520);
}

bool HelpWindow::showContents(const QString& documentPath) {
    if (!QFileInfo(documentPath).isReadable())
        return false;
    m_browser->setSource(QUrl::fromLocalFile(documentPath));
    return true;
}

QString HelpWindow::source() const {
    return m_browser->source().toLocalFile();
}

QString HelpDocumentFor(const QString& programFolder, const QString& helpFile) {
    // No system has a viewer for the old ".hlp" format any more: its
    // contents ship as a page of the same name.
    const QString page = ProgramFolder::resolve(
        programFolder,
        QStringLiteral("Help/") + QFileInfo(helpFile).completeBaseName() + QStringLiteral(".html"));
    return QFileInfo::exists(page) ? page : QString();
}
