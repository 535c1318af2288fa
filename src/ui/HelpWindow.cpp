#include "HelpWindow.h"

#include "ProgramFolder.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("TELVANE Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(true);
    auto* closeButton = new QPushButton(QStringLiteral("&Close"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    resize(640, 520);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // Esc closes the window, as it closes a dialog; the page passes it on.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
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
