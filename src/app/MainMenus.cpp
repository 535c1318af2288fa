#include "MainMenus.h"

#include "ViewTable.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                 const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    return item;
}

QAction* addSeparator(QMenu* menu, const QString& name = {}) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(name);
    return separator;
}

// Upload and download submenus: four items and a separator at index 3.
QAction* addDataMenu(QMenu* parent, const char* name, const char* caption,
                     std::array<QAction*, 5>& items) {
    QMenu* menu = parent->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    const char* const captions[] = {"Set-up &Parameters", "Timing &Channels", "Shift &Data",
                                    nullptr, "&All"};
    for (int i = 0; i < 5; ++i) {
        const QString itemName = QStringLiteral("%1Data%2").arg(QString::fromLatin1(name)).arg(i);
        items[size_t(i)] = captions[i] ? addItem(menu, itemName, QString::fromLatin1(captions[i]))
                                       : addSeparator(menu, itemName);
    }
    return menu->menuAction();
}

} // namespace

void MainMenus::build(QMainWindow& window, const ViewTable& views) {
    QMenuBar* bar = window.menuBar();

    QMenu* file = addMenu(bar, "mnuFile", "&File");
    mnuFileNew = addItem(file, "mnuFileNew", "&New...", QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = addItem(file, "mnuFileOpen", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSave = addItem(file, "mnuFileSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveAs = addItem(file, "mnuFileSaveAs", "Save &As...");
    addSeparator(file);
    mnuFileExport =
        addItem(file, "mnuFileExport", "Export Shift Data...", QKeySequence(Qt::CTRL | Qt::Key_X));
    addSeparator(file);
    mnuFileUpload = addDataMenu(file, "mnuFileUpload", "&Upload (save) Data", mnuFileUploadData);
    mnuFileDownloadProgram = addItem(file, "mnuFileDownloadProgram", "Download &Program");
    mnuFileDownload = addDataMenu(file, "mnuFileDownload", "&Download Data", mnuFileDownloadData);
    mnuFileCompare = addItem(file, "mnuFileCompare", "Co&mpare...");
    mnuFileHistory = addItem(file, "mnuFileHistory", "&History...");
    addSeparator(file);
    mnuFilePrint =
        addItem(file, "mnuFilePrint", "&Print Report...", QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrintSetup = addItem(file, "mnuFilePrintSetup", "Print Set&up...");
    addSeparator(file);
    mnuFileExit = addItem(file, "mnuFileExit", "E&xit");

    QMenu* edit = addMenu(bar, "mnuEdit", "&Edit");
    mnuEditOfflineEditing =
        addItem(edit, "mnuEditOfflineEditing", "Enable &Offline Editing", QKeySequence(Qt::Key_F2));
    mnuEditOfflineEditing->setCheckable(true);
    addSeparator(edit);
    mnuEditCommPort =
        addItem(edit, "mnuEditCommPort", "Co&mm Port", QKeySequence(Qt::CTRL | Qt::Key_M));
    addSeparator(edit);
    mnuEditPasscode = addItem(edit, "mnuEditPasscode", "Set-up Passcode");
    mnuEditPasscode->setEnabled(false); // only online

    QMenu* view = addMenu(bar, "mnuView", "&View");
    mnuViewTargetBoardStatus = addItem(view, "mnuViewTargetBoardStatus", "&Target Board Interface");
    addSeparator(view);
    mnuViewOnline = addItem(view, "mnuViewOnline", "O&nline Data", QKeySequence(Qt::Key_F3));
    mnuViewOffline = addItem(view, "mnuViewOffline", "O&ffline Data", QKeySequence(Qt::Key_F4));
    mnuViewOnline->setCheckable(true);
    mnuViewOffline->setCheckable(true);
    mnuViewOffline->setChecked(true);

    QMenu* windows = addMenu(bar, "mnuWindow", "&Window");
    windowGroup = new QActionGroup(&window);
    windowGroup->setExclusive(true);
    for (int i = 0; i < ViewTable::Count; ++i) {
        QAction* item =
            addItem(windows, QStringLiteral("mnuWindowForm%1").arg(i), views.entry(i).caption);
        item->setCheckable(true);
        item->setEnabled(views.has(i));
        windowGroup->addAction(item);
        mnuWindowForm[size_t(i)] = item;
    }
    mnuWindowForm[0]->setChecked(true);
    addSeparator(windows);
    mnuWindowCommTraffic = addItem(windows, "mnuWindowCommTraffic", "Comm &Traffic");
    mnuWindowPlant = addItem(windows, QStringLiteral("mnuWindowPlant"), QStringLiteral("&Plant"));

    QMenu* help = addMenu(bar, "mnuHelp", "&Help");
    mnuHelpHelpTopics =
        addItem(help, "mnuHelpHelpTopics", "&Help Topics", QKeySequence(Qt::CTRL | Qt::Key_H));
    addSeparator(help);
    mnuHelpAbout = addItem(help, "mnuHelpAbout", "&About TELVANE");

    // Commands of windows still to come: present, and honestly unavailable.
    for (QAction* later : {mnuFilePrintSetup, mnuViewTargetBoardStatus, mnuWindowPlant})
        later->setEnabled(false);
}
