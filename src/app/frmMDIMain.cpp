#include "frmMDIMain.h"

#include "FileDialogs.h"
#include "HelpWindow.h"
#include "KeypadPasscode.h"
#include "LinkWaitDisplay.h"
#include "ProgramFolder.h"
#include "Prompt.h"
#include "StatusPanels.h"
#include "ViewBase.h"
#include "frmCommTraffic.h"
#include "frmSetupComm.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

frmMDIMain::frmMDIMain(Prompt& prompt, Clock& clock, SerialPort& commControl, QString programFolder,
                       const ViewTable& views, QWidget* parent)
    : QMainWindow(parent), m_prompt(prompt), m_commControl(commControl),
      m_programFolder(std::move(programFolder)),
      m_link(prompt, clock, m_programFolder, &commControl), m_background(m_link, m_shared),
      m_historyKeeper(m_history, [this](const HistoryError& error) { HistoryNotice(error); }),
      m_faultWatch(m_historyKeeper), m_viewTable(views) {
    m_context =
        std::make_unique<ViewContext>(m_link, m_shared, m_prompt, m_qtFileDialogs, m_programFolder);
    m_context->setSaveOrDiscardChanges([this] { return SaveOrDiscardChanges(); });
    m_context->setHistory(&m_historyKeeper, [this] { return m_commControl.portName(); });
    setObjectName(QStringLiteral("frmMDIMain"));
    setWindowTitle(QStringLiteral("TELVANE - "));
    resize(900, 640);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdiArea);
    m_sbrMain = new StatusPanels(this);
    setStatusBar(m_sbrMain);
    m_linkWait = std::make_unique<LinkWaitDisplay>(m_link, *m_sbrMain);
    m_menus.build(*this, m_viewTable);
    connectMenus();
    connect(m_context.get(), &ViewContext::commandsChanged, this, &frmMDIMain::CommandsChanged);
    connect(m_sbrMain, &StatusPanels::PanelDblClick, this, &frmMDIMain::sbrMain_PanelDblClick);
    connect(&m_link, &RSComm::onlineModeChanged, this, &frmMDIMain::OnlineModeChanged);

    m_tmrBackgroungUpdate.setObjectName(QStringLiteral("tmrBackgroungUpdate"));
    m_tmrBackgroungUpdate.setParent(this);
    m_tmrBackgroungUpdate.setInterval(BackgroundUpdate::IntervalMs);
    connect(&m_tmrBackgroungUpdate, &QTimer::timeout, this, &frmMDIMain::tmrBackgroungUpdate_Timer);
    m_reaper.setSingleShot(true);
    connect(&m_reaper, &QTimer::timeout, this, &frmMDIMain::ReapRetiredViews);

    Form_Load();
    m_tmrBackgroungUpdate.start();
}

frmMDIMain::~frmMDIMain() {
    m_tmrBackgroungUpdate.stop();
    m_faultWatch.Stop(QDateTime::currentDateTime());
    if (ViewBase* view = currentViewWidget())
        view->Unload();
    // Views go before the link they use.
    delete m_commTraffic.data();
    delete m_viewWindow.data();
    for (const auto& window : std::as_const(m_retired))
        delete window.data();
    m_retired.clear();
    // The timer is a member: take it out of the child list before QObject
    // deletes the children.
    m_tmrBackgroungUpdate.setParent(nullptr);
}

void frmMDIMain::Form_Load() {
    // 1. The help file; 2. the serial control and the link (members).
    m_helpFile = ProgramFolder::resolve(m_programFolder, QStringLiteral("Help/TELVANE.hlp"));
    // 3. The table of views came with the window.
    // 4. Alarm tables.
    InitAlarmTables(m_shared);
    // 5. Captions.
    m_unnamedCaption = QStringLiteral("[unnamed]");
    m_originalCaption = windowTitle();
    // 6. The main display; its loop starts once the window is on screen.
    ShowView(0);
    // 7 to 9. The data, the Open dialog's start, a new unnamed set.
    InitRegisterMap(m_shared);
    m_shared.Files.gFileNamePath = FileDialogStart(m_programFolder) + QStringLiteral("/*.sdt");
    FileNew();
    m_startupDone = true;
}

void frmMDIMain::connectMenus() {
    connect(m_menus.mnuFileNew, &QAction::triggered, this, &frmMDIMain::mnuFileNew_Click);
    connect(m_menus.mnuFileOpen, &QAction::triggered, this, &frmMDIMain::mnuFileOpen_Click);
    connect(m_menus.mnuFileSave, &QAction::triggered, this, &frmMDIMain::mnuFileSave_Click);
    connect(m_menus.mnuFileSaveAs, &QAction::triggered, this, &frmMDIMain::mnuFileSaveAs_Click);
    connect(m_menus.mnuFileExport, &QAction::triggered, this, &frmMDIMain::mnuFileExport_Click);
    m_menus.mnuFilePrint->setEnabled(false);
    connect(m_menus.mnuFilePrint, &QAction::triggered, this, [this] {
        if (m_context->printCommand())
            m_context->printCommand()();
    });
    connectTransferMenus();
    connect(m_menus.mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(m_menus.mnuEditOfflineEditing, &QAction::toggled, this,
            [this](bool checked) { m_shared.OfflineEditing = checked; });
    connect(m_menus.mnuEditCommPort, &QAction::triggered, this, &frmMDIMain::mnuEditCommPort_Click);
    connect(m_menus.mnuEditPasscode, &QAction::triggered, this, [this] {
        // Never inside another transaction's message box.
        if (m_link.OnlineMode() && !m_link.Busy())
            SetupPasscode(m_link, m_prompt);
    });
    connect(m_menus.mnuFileDownloadProgram, &QAction::triggered, this,
            [this] { ProgramFileCommand(0); });
    connect(m_menus.mnuViewTargetBoardStatus, &QAction::triggered, this,
            [this] { ProgramFileCommand(1); });
    connect(m_menus.mnuViewOnline, &QAction::triggered, this, &frmMDIMain::mnuViewOnline_Click);
    connect(m_menus.mnuViewOffline, &QAction::triggered, this, &frmMDIMain::mnuViewOffline_Click);
    for (int i = 0; i < ViewCount; ++i)
        connect(m_menus.mnuWindowForm[size_t(i)], &QAction::triggered, this,
                [this, i] { ShowView(i); });
    connect(m_menus.mnuWindowCommTraffic, &QAction::triggered, this,
            &frmMDIMain::mnuWindowCommTraffic_Click);
    connect(m_menus.mnuWindowPlant, &QAction::triggered, this, [this] {
        if (m_context->plantOpener())
            m_context->plantOpener()();
    });
    connect(m_menus.mnuHelpHelpTopics, &QAction::triggered, this,
            &frmMDIMain::mnuHelpHelpTopics_Click);
    connect(m_menus.mnuHelpAbout, &QAction::triggered, this, &frmMDIMain::mnuHelpAbout_Click);
}

void frmMDIMain::CommandsChanged() {
    m_menus.mnuFilePrint->setEnabled(bool(m_context->printCommand()));
    m_menus.mnuViewTargetBoardStatus->setEnabled(bool(m_context->targetBoardOpener()));
    m_menus.mnuWindowPlant->setEnabled(bool(m_context->plantOpener()));
}

void frmMDIMain::SetCaption() {
    setWindowTitle(m_originalCaption + m_shared.Files.gFileNameCaption);
}

void frmMDIMain::ApplyOnlineMode() {
    if (m_link.OnlineMode())
        m_link.GoOnline();
    else
        m_link.GoOffline();
}

void frmMDIMain::ShowOnlineMode(bool online) {
    m_sbrMain->setPanelText(StatusPanels::Mode,
                            online ? QStringLiteral("ONLINE") : QStringLiteral("OFFLINE"));
    m_menus.mnuViewOnline->setChecked(online);
    m_menus.mnuViewOffline->setChecked(!online);
    m_menus.mnuEditPasscode->setEnabled(online);
}

void frmMDIMain::OnlineModeChanged(bool online, bool goOnlineFailed) {
    ShowOnlineMode(online);
    FaultLogFollows(online, m_link.CommError());
    if (!online)
        m_context->setKnownBoard({}); // the next connection may be another board
    // Going online failed: the port is not there (an adapter plugged in
    // again comes back under another name), cannot be opened, or no board
    // answered on it. The board may be on another port or speed.
    // Or the link failed with its port gone, and it was not back under its
    // name when Retry opened it again.
    const bool portGone =
        !online && m_link.CommError() && !m_commControl.lostConnection().isEmpty();
    if (online) {
        m_suggestFindBoard = false;
    } else if (goOnlineFailed || portGone) {
        m_suggestFindBoard = true;
        tmrBackgroungUpdate_Timer();
    }
}

// A menu can only be chosen between transactions, but never start one
// inside another's message box. Choosing toggles the item's check mark:
// the marks show the mode again whatever came of it.
void frmMDIMain::mnuViewOnline_Click() {
    if (!m_link.Busy())
        m_link.GoOnline();
    ShowOnlineMode(m_link.OnlineMode());
}

void frmMDIMain::mnuViewOffline_Click() {
    if (!m_link.Busy())
        m_link.GoOffline();
    ShowOnlineMode(m_link.OnlineMode());
}

void frmMDIMain::mnuEditCommPort_Click() {
    if (m_link.Busy())
        return;
    frmSetupComm form(*m_context, SystemSerialPorts, this);
    form.exec();
}

void frmMDIMain::sbrMain_PanelDblClick(int panelIndex) {
    if (panelIndex != StatusPanels::Mode || m_link.Busy())
        return;
    if (m_link.OnlineMode())
        m_link.GoOffline();
    else
        m_link.GoOnline();
}

void frmMDIMain::tmrBackgroungUpdate_Timer() {
    const auto status = m_background.Tick();
    if (!status)
        return;
    m_sbrMain->setPanelText(StatusPanels::Status,
                            m_suggestFindBoard && !m_link.OnlineMode()
                                ? *status + QStringLiteral("  (Comm Port: Find Board)")
                                : *status);
    if (m_link.OnlineMode() && !m_link.CommError())
        m_faultWatch.Alarms(m_commControl.portName(), alarms(), m_shared,
                            QDateTime::currentDateTime());
}

void frmMDIMain::mnuWindowCommTraffic_Click() {
    if (!m_commTraffic)
        m_commTraffic = new frmCommTraffic(*m_context, this);
    m_commTraffic->show();
    m_commTraffic->raise();
    m_commTraffic->activateWindow();
}

void frmMDIMain::mnuHelpHelpTopics_Click() {
    const QString page = HelpDocumentFor(m_programFolder, m_helpFile);
    if (page.isEmpty()) {
        m_prompt.message(QStringLiteral("TELVANE"),
                         QStringLiteral("Cannot find the help file ") + m_helpFile +
                             QStringLiteral("."),
                         Prompt::Icon::Exclamation);
        return;
    }
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(this);
    m_helpWindow->showContents(page);
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void frmMDIMain::mnuHelpAbout_Click() {
    m_prompt.message(QStringLiteral("About TELVANE"),
                     QStringLiteral("TELVANE Set-up Utility\r\n"
                                    "Version ") +
                         BuildVersionNumber() + QStringLiteral(" (") + m_shared.ProgramVersionTag +
                         QStringLiteral(")\r\n\r\n"
                                        "Set-up and diagnostics for the cupper controller.\r\n"
                                        "For support, contact your machine supplier's "
                                        "service department."),
                     Prompt::Icon::Information);
}
