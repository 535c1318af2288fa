#pragma once

#include "FaultStatus.h"
#include "ModalViewBase.h"
#include "SetupHistory.h"
#include "TargetBoardData.h"

#include <QDateTime>
#include <array>
#include <functional>
#include <memory>

class FieldEditor;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class UpDown;
class ViewContext;

// The Target Board Interface: the board's faults with their corrective
// action, the program identity in the board and on disk, the network
// address and the board's clock. Modal; it goes online when it opens and
// runs its own refresh loop until Ok, Esc or the close box ends it.
class frmTargetBoard final : public ModalViewBase {
    Q_OBJECT
public:
    static constexpr int FieldCount = TargetBoardData::FieldCount;

    frmTargetBoard(ViewContext& context, QWidget* parent = nullptr);
    ~frmTargetBoard() override;

    // Prepares the window for the project (empty or missing: none) and shows
    // it modally; returns when it has closed. False when the project's files
    // could not be read (the window was not shown).
    bool InitializeForm(const QString& KorvelFile);
    // The window ready to show, without showing it (InitializeForm's first
    // part).
    bool PrepareForm(const QString& KorvelFile);

    // The computer's clock; tests set their own.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    int BoardCode() const { return m_boardCode; }
    bool FirstPassPending() const { return m_firstPassPending; }
    bool EditActive(int index) const;

    void cmdOk_Click();
    void cmdGoOnline_Click();
    void cmdResetFaults_Click();
    void cmdSetToCurrTime_Click();
    void cmdSetToCurrDate_Click();

protected:
    void reject() override;

private:
    void BuildControls();
    QWidget* BuildFaultsPage();
    QWidget* BuildIdentPage();
    QWidget* BuildNetworkPage();
    QWidget* BuildClockPage();
    void tabTargetBoard_Click(int index);
    // What this board has: the window shows only these.
    bool RowShown(int row) const;
    bool CoCpuShown() const;
    // A field the polls show: its row is there and, for a clock field, the
    // board has a clock.
    bool FieldShown(int index) const;
    void SetRowEnabled(int row, bool enabled);
    void SetClockControlsEnabled(bool enabled);
    void ShowFaultStatus();
    void ShowComputerClock();
    void FaultStatusFailed();
    void FinishFirstPass();
    void EnableFirstPassControls();
    void Write(const QString& address, const QString& value);
    bool accept(int index, const QString& text);
    void updSetup_Change(int index);

    // ViewLifecycle
    void FormActivate() override;
    void FormUnload() override;

    // RefreshView
    void CycleStart() override;
    void PrepareOnline() override;
    void PrepareOffline() override;
    void PassStart() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override {}

    FaultStatusReader m_reader;
    std::function<QDateTime()> m_now;
    std::unique_ptr<FieldEditor> m_editor;

    QTabBar* m_tabTargetBoard = nullptr;
    std::array<QFrame*, 4> m_fraTargetBoard{};
    std::array<QLabel*, FaultStatus::Slots> m_lblTargetBoard{};
    std::array<QPlainTextEdit*, FaultStatus::Slots> m_txtTargetBoard{}; // no field 2
    QPushButton* m_cmdResetFaults = nullptr;
    std::array<QLabel*, 3> m_lblRevIdentInPLC{};
    std::array<QLabel*, 5> m_lblRevIdentOnDisk{};
    std::array<QLabel*, FieldCount> m_lblSetupDesc{};
    std::array<QLineEdit*, FieldCount> m_txtSetup{};
    std::array<UpDown*, FieldCount> m_updSetup{};
    QLabel* m_lblNetworkAddComment = nullptr;
    QLabel* m_lblCurrTime = nullptr;
    QLabel* m_lblCurrDate = nullptr;
    QLabel* m_lblTargetBoardTime = nullptr;
    QLabel* m_lblTargetBoardDate = nullptr;
    QPushButton* m_cmdSetToCurrTime = nullptr;
    QPushButton* m_cmdSetToCurrDate = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdGoOnline = nullptr;
    QPushButton* m_cmdDefault = nullptr;

    int m_boardCode = TargetBoardData::DefaultBoardCode;
    TargetBoardData::DiskIdentity m_disk;
    bool m_firstPassPending = false;
    QString m_identName; // of the pass under way
    // The ident block of this pass, told to the context once it is whole:
    // the snapshots of this connection keep it.
    SnapshotBoard m_identity;
    int m_identNameBytes = 0;
    int m_lastSecondShown = -1;
};
