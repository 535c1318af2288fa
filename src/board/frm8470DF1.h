#pragma once

#include "ViewBase.h"

#include <QList>
#include <QString>
#include <array>
#include <memory>

class FieldEditor;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// The DF1 communication set-up view: the link between the board and an
// Allen-Bradley PLC. Online it polls the DF1 driver's status rows one per
// step, decodes them into text and writes every accepted set-up edit at
// once; offline it shows the set-up in CurrentData, and with offline editing
// enabled edits it there only.
class frm8470DF1 final : public ViewBase {
    Q_OBJECT
public:
    static constexpr int StatusRows = 9;
    static constexpr int RegisterCount = 12;
    static constexpr int FieldCount = 2;
    // Rows of the register table that are not status rows.
    static constexpr int PlcTypeRow = 9;
    static constexpr int FirstFieldRow = 10;
    // The link layer status, decoded with STS and EXT STS.
    static constexpr int LinkStatusRow = 7;
    // ValueTable entries: the PLC type, then the two fields.
    static constexpr int PlcTypeEntry = 46;
    static constexpr int FirstFieldEntry = 47;
    // EditActive index of the list; 0 and 1 are the fields.
    static constexpr int ListEdit = 2;

    static inline const QString StsAddress = QStringLiteral("B4018");
    static inline const QString ExtStsAddress = QStringLiteral("B4019");
    // The flag that the board's DF1 driver is enabled.
    static inline const QString DriverEnabledAddress = QStringLiteral("F152");

    explicit frm8470DF1(ViewContext& context, QWidget* parent = nullptr);
    ~frm8470DF1() override;

    void cboSetup_Click(int index);
    void updSetup_Change(int Index);

    bool ListReady() const { return m_listReady; }
    bool EditActive(int Index) const;
    const QString& RegisterAddress(int Index) const { return m_registerAddress[size_t(Index)]; }
    FieldEditor& editor() { return *m_editor; }

protected:
    void PrepareOnline() override;
    void PrepareOffline() override;
    QList<PollItem> PollItems() override;
    void MemoryPass() override;
    void FormUnload() override;
    void DataReplaced() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    void PrepareControls();
    void SetParametersEnabled(bool enabled);
    void ShowStatus(int row, const QString& text);
    void AppendLinkStatus(QList<PollItem>& items);
    void ShowPlcType(qint64 value);
    void EndEdits();
    bool txtSetup_Commit(int Index, qint32 value);
    void StoreEntry(int entry, qint32 value);
    void WriteIfOnline(const QString& address, qint32 value);

    std::array<QString, RegisterCount> m_registerAddress;
    std::array<QGroupBox*, 3> m_fraSetup{};
    std::array<QLabel*, RegisterCount> m_lblDescription{};
    std::array<QLabel*, StatusRows> m_lblDisplay{};
    std::array<QLineEdit*, FieldCount> m_txtSetup{};
    std::array<UpDown*, FieldCount> m_updSetup{};
    QComboBox* m_cboSetup = nullptr;
    QPushButton* m_cmdDefault = nullptr;
    // Declared after the controls it watches; destroyed first, so that no
    // focus event of a dying control reaches it.
    std::unique_ptr<FieldEditor> m_editor;

    bool m_listEditActive = false;
    bool m_listReady = false;
    bool m_offlineEditingSeen = false;
    // The driver flag is still to be checked for this online preparation.
    bool m_checkDriver = false;
    // Row 7 of this pass is not zero: STS and EXT STS are read for it.
    bool m_replyCodesDue = false;
    int m_linkStatus = 0;
    int m_sts = 0;
};
