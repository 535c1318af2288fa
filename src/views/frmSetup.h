#pragma once

#include "RegisterNames.h"
#include "ViewBase.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>

class FieldEditor;
class OnOffSwitch;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class UpDown;

// The set-up parameters view: the cupper's running speeds, brake wear
// compensation and lubricator speed references. Online it polls the board
// without pause and writes every accepted edit at once; offline it shows
// CurrentData, and with offline editing enabled edits it there only.
class frmSetup final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int FieldCount = 7;
    // ValueTable entries: the switch, then field 0 and the six after it.
    static constexpr int SwitchEntry = 38;
    static constexpr int FirstFieldEntry = 39;
    // Bit 0 of byte register 1018.
    static inline const QString SwitchAddress = RegisterNames::setupSwitch().address;

    explicit frmSetup(ViewContext& context, QWidget* parent = nullptr);
    ~frmSetup() override;

    void tbsSetup_Click();
    void chkBrakeWearCompEnable_Click();
    void updSetup_Change(int Index);

    bool SwitchReady() const { return m_switchReady; }
    bool EditActive(int Index) const;
    int FirstPolled() const { return m_firstPolled; }
    int LastPolled() const { return m_lastPolled; }
    FieldEditor& editor() { return *m_editor; }

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override;
    void FormUnload() override;
    void DataReplaced() override;

private:
    void BuildControls();
    void Form_Load();
    void ShowPage(int page);
    void SetControlsEnabled(bool enabled);
    void ShowUnknownValues();
    void ShowSwitch(qint64 value);
    bool txtSetup_Commit(int Index, qint32 value);
    void StoreEntry(int entry, qint32 value);
    void WriteIfOnline(const QString& address, const QString& value);

    std::array<QString, FieldCount> RegisterAddress;
    QTabBar* m_tbsSetup = nullptr;
    std::array<QFrame*, 2> m_fraSetup{};
    std::array<QGroupBox*, 3> m_fraParameters{};
    std::array<QLabel*, FieldCount> m_lblSetup{};
    std::array<QLineEdit*, FieldCount> m_txtSetup{};
    std::array<UpDown*, FieldCount> m_updSetup{};
    OnOffSwitch* m_chkBrakeWearCompEnable = nullptr;
    QPushButton* m_cmdDefault = nullptr;
    // Declared after the controls it watches; destroyed first, so that no
    // focus event of a dying control reaches it.
    std::unique_ptr<FieldEditor> m_editor;

    int m_firstPolled = 0;
    int m_lastPolled = 4;
    bool m_switchReady = false;
    bool m_offlineEditingSeen = false;
};
