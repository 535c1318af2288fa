#pragma once

#include "ViewBase.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>

class FieldEditor;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabBar;
class UpDown;

// The machine timing view: the PLS channels with their ON and OFF setpoints,
// the channel buttons, the resolver's speed, position, offset and scale in
// the status bar, the PLS configuration and the resolver offset. Online an
// accepted setpoint programs the board at once and is kept in memory;
// offline, with offline editing enabled, setpoints change memory only.
class frmTiming final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int Channels = 8;
    // Two index spaces. The boxes' own (control array) index: ON boxes 0..7,
    // a channel's OFF box at channel + OffBoxIndex (8..15 do not exist).
    static constexpr int OffBoxIndex = 16;
    static constexpr int ConfigLabels = 10;
    // The field editor's index: ON boxes 0..7, OFF boxes 8..15, then the two
    // boxes of txtTmg.
    static constexpr int OffsetField = 2 * Channels;     // txtTmg(0)
    static constexpr int ChannelField = OffsetField + 1; // txtTmg(1)
    // Above this speed the position is not shown.
    static constexpr int FastRpm = 50;

    explicit frmTiming(ViewContext& context, QWidget* parent = nullptr);
    ~frmTiming() override;

    void tbsTiming_Click();
    void cmdRecallChan_Click();
    void cmdClearChan_Click();
    void cmdSetOffset_Click();
    void cmdResetPLSConfig_Click();
    void updChannel_Change(int Index);

    bool MachineStopped() const { return m_machineStopped; }
    bool WasStopped() const { return m_wasStopped; }
    FieldEditor& editor() { return *m_editor; }

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override;
    void FormUnload() override;
    void DataReplaced() override;

private:
    // --- layout (frmTimingLayout.cpp)
    void BuildControls();
    QWidget* BuildChannelPage();
    QWidget* BuildConfigPage();
    void ShowPage(int page);

    // --- modes (frmTiming.cpp)
    void FinishPrepareOnline();
    void SetOffsetGroupEnabled(bool enabled);
    void SetChannelEditingEnabled(bool enabled);
    QList<PollItem> StatusBarItems();
    void ShowRpm(const QString& value);
    void SetPanel(int panel, const QString& text);
    bool BoardFree() const;

    // --- channels (frmTimingChannels.cpp)
    QLineEdit* Box(int field) const { return m_txtChannel[size_t(field)]; }
    static int ChannelOf(int field) { return field % Channels; }
    static bool IsOffField(int field) { return field >= Channels && field < 2 * Channels; }
    bool txtChannel_Commit(int field, qint32 value);
    void StoreSetpoint(int field, qint32 value);
    void ProgramChannel(int n);
    void ShowChannel(int n, const QString& on, const QString& off);
    void ShowMemoryChannels();
    bool RecallStep(int n, bool memory);
    void RecallSetpoints(int n, bool memory);
    QList<PollItem> RecallAllItems();
    bool FieldReady(int field);
    int TakeWholeValue(int field);

    // --- PLS configuration and offset (frmTimingPls.cpp)
    void ShowPLSConfig();
    void ShowMemoryConfig();
    void SetConfigEnabled(bool enabled);
    void StoreOffsetReadBack();

    // Controls. Channel boxes by editor field: ON 0..7, OFF 8..15.
    QTabBar* m_tbsTiming = nullptr;
    std::array<QFrame*, 2> m_fraTiming{};
    std::array<QGroupBox*, 5> m_fraTmg{};
    std::array<QLabel*, Channels + 2> m_lblChannel{};
    std::array<QLineEdit*, 2 * Channels> m_txtChannel{};
    std::array<UpDown*, 2 * Channels> m_updChannel{};
    std::array<QLineEdit*, 2> m_txtTmg{};
    std::array<UpDown*, 2> m_updTmg{};
    std::array<QLabel*, ConfigLabels> m_lblCfgDescription{};
    std::array<QLabel*, ConfigLabels> m_lblPLSCfg{};
    QPushButton* m_cmdRecallChan = nullptr;
    QPushButton* m_cmdClearChan = nullptr;
    QPushButton* m_cmdSetOffset = nullptr;
    QPushButton* m_cmdResetPLSConfig = nullptr;
    QPushButton* m_cmdDefault = nullptr;
    QStatusBar* m_sbrMachineTiming = nullptr;
    std::array<QLabel*, 4> m_panels{};
    // Declared after the controls it watches; destroyed first, so that no
    // focus event of a dying control reaches it.
    std::unique_ptr<FieldEditor> m_editor;

    bool m_preparing = false; // the online preparation's reads are under way
    bool m_machineStopped = false;
    bool m_wasStopped = false;
    bool m_offlineEditingSeen = false;
    bool m_recallGoesOn = false; // the channel being recalled has a second setpoint
    int m_positionRpm = 0;       // the speed read for the position panel
};
