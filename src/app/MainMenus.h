#pragma once

#include "ViewTable.h"

#include <QList>
#include <array>

class QAction;
class QActionGroup;
class QMainWindow;

// The menu bar of the main window: every item carries its control name as
// its object name ("mnuFileNew", "mnuWindowForm0", ...).
struct MainMenus {
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileExport = nullptr;
    QAction* mnuFileUpload = nullptr;
    std::array<QAction*, 5> mnuFileUploadData{};
    QAction* mnuFileDownloadProgram = nullptr;
    QAction* mnuFileDownload = nullptr;
    std::array<QAction*, 5> mnuFileDownloadData{};
    QAction* mnuFileCompare = nullptr;
    QAction* mnuFileHistory = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFilePrintSetup = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuEditOfflineEditing = nullptr;
    QAction* mnuEditCommPort = nullptr;
    QAction* mnuEditPasscode = nullptr;
    QAction* mnuViewTargetBoardStatus = nullptr;
    QAction* mnuViewOnline = nullptr;
    QAction* mnuViewOffline = nullptr;
    std::array<QAction*, ViewTable::Count> mnuWindowForm{};
    QActionGroup* windowGroup = nullptr;
    QAction* mnuWindowCommTraffic = nullptr;
    QAction* mnuWindowPlant = nullptr;
    QAction* mnuHelpHelpTopics = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // Builds the menus into the window's menu bar; the window list comes
    // from the view table. Items whose commands belong to windows not yet
    // built start disabled.
    void build(QMainWindow& window, const ViewTable& views);
};
