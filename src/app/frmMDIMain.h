#pragma once

#include "BackgroundUpdate.h"
#include "FaultWatch.h"
#include "FileDialogs.h"
#include "HistoryKeeper.h"
#include "MainMenus.h"
#include "RSComm.h"
#include "SetupHistory.h"
#include "SharedState.h"
#include "ViewContext.h"
#include "ViewTable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class Clock;
class HelpWindow;
class frmCommTraffic;
class LinkWaitDisplay;
class PrintDialogs;
class Prompt;
class QMdiArea;
class QMdiSubWindow;
class SerialPort;
class StatusPanels;
class ViewBase;

// The program's main window: menus, status bar, the one link to the board,
// the program-wide data, one data view at a time, and the 500 ms background
// update of the alarms. It lives for the whole run.
class frmMDIMain final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ViewCount = ViewTable::Count;

    // commControl is the serial port the link opens; programFolder holds
    // Support/, Help/ and the other files beside the program; views lists
    // the windows of the window list.
    frmMDIMain(Prompt& prompt, Clock& clock, SerialPort& commControl, QString programFolder,
               const ViewTable& views, QWidget* parent = nullptr);
    ~frmMDIMain() override;

    RSComm& link() { return m_link; }
    SharedState& shared() { return m_shared; }
    Prompt& prompt() { return m_prompt; }
    // What views and modal windows work with.
    ViewContext& context() { return *m_context; }
    QString programFolder() const { return m_programFolder; }
    const MainMenus& menus() const { return m_menus; }
    StatusPanels* statusPanels() const { return m_sbrMain; }
    AlarmState& alarms() { return m_background.alarms(); }

    // Makes the link follow OnlineMode (after the program download set it);
    // the mode panel and the menus follow the link.
    void ApplyOnlineMode();
    // Shows view n (0..5), closing the one shown before.
    void ShowView(int n);
    int CurrentView() const { return m_currentView; }
    ViewBase* currentViewWidget() const;
    bool StartupDone() const { return m_startupDone; }
    QString HelpFile() const { return m_helpFile; }

    // --- set-up data files ----------------------------------------------------
    // 0: nothing to save; otherwise the answer to "Save Changes to File?"
    // (6 Yes, 7 No, 2 Cancel).
    int SaveChangesPrompt();
    // Asks the save question where the data changed; true when the command
    // may go on: nothing to save, No, or Yes and the file was written.
    bool SaveOrDiscardChanges();
    void FileNew();
    void mnuFileNew_Click() { FileNew(); }
    void mnuFileOpen_Click();
    // True when the file was written.
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    void mnuFileExport_Click();
    // Makes FileData the current data.
    void AcceptFileData();

    // --- group upload and download ---------------------------------------------
    void mnuFileUploadData_Click(int index);
    void mnuFileDownloadData_Click(int index);
    // Performs the transfer of the code in the progress window, after the
    // question that offers to go online.
    void RunTransfer(int code);
    // The compare window: what differs between the board, memory and files.
    void mnuFileCompare_Click();
    // --- the set-up history --------------------------------------------------
    // The History window: the presses, their snapshots and fault logs.
    void mnuFileHistory_Click();
    // Puts a snapshot into memory, after the save question (and the version
    // question, as for a file); true when it did.
    bool OpenSnapshot(const Snapshot& snapshot);
    SetupHistory& history() { return m_history; }
    // The print dialog the compare window prints through (none: it cannot print).
    void setPrintDialogs(PrintDialogs* dialogs) { m_printDialogs = dialogs; }
    // --- program download and the target board window --------------------------
    // 0: pick a project and download its program; 1: open the target board
    // window for the picked (or the previous) project.
    void ProgramFileCommand(int mode);

    void tmrBackgroungUpdate_Timer();
    void sbrMain_PanelDblClick(int panelIndex);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    bool WriteSetupFile();
    void FileWarning(const QString& text);
    void connectMenus();
    // The print command and the target board window come through the view
    // context (the main window cannot depend on the layers that make them).
    void CommandsChanged();
    void connectTransferMenus();
    // The comparison of a snapshot with another side, in the compare window.
    void CompareSnapshot(qint64 left, int otherSource, std::optional<qint64> otherSnapshot,
                         int groups);
    // Once a run: the history could not be kept, and why.
    void HistoryNotice(const HistoryError& error);
    // The fault log follows the online mode.
    void FaultLogFollows(bool online, bool failed);
    void SetCaption();
    void ShowOnlineMode(bool online);
    void OnlineModeChanged(bool online, bool goOnlineFailed);
    void mnuViewOnline_Click();
    void mnuViewOffline_Click();
    void mnuEditCommPort_Click();
    void mnuWindowCommTraffic_Click();
    void mnuHelpHelpTopics_Click();
    void mnuHelpAbout_Click();
    void RetireView();
    void ReapRetiredViews();
    bool SafeToDeleteViews() const;

    Prompt& m_prompt;
    SerialPort& m_commControl;
    QString m_programFolder;
    RSComm m_link;
    SharedState m_shared;
    BackgroundUpdate m_background;
    SetupHistory m_history;
    HistoryKeeper m_historyKeeper;
    FaultWatch m_faultWatch;

    MainMenus m_menus;
    StatusPanels* m_sbrMain = nullptr;
    // Declared after the link: it takes itself off the link before the link goes.
    std::unique_ptr<LinkWaitDisplay> m_linkWait;
    QMdiArea* m_mdiArea = nullptr;
    QTimer m_tmrBackgroungUpdate;
    QTimer m_reaper;
    QPointer<HelpWindow> m_helpWindow;
    QPointer<frmCommTraffic> m_commTraffic;
    QtFileDialogs m_qtFileDialogs;
    PrintDialogs* m_printDialogs = nullptr;
    std::unique_ptr<ViewContext> m_context;

    QString m_helpFile;
    QString m_originalCaption;
    QString m_unnamedCaption;
    bool m_startupDone = false;
    // Going online failed: the status line points to the search for the board.
    bool m_suggestFindBoard = false;
    bool m_shutDown = false;
    ViewTable m_viewTable;
    int m_currentView = 0;
    QPointer<QMdiSubWindow> m_viewWindow;
    QList<QPointer<QMdiSubWindow>> m_retired;
};
