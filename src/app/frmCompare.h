#pragma once

#include "SetupComparison.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class PrintDialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class ViewContext;

// The compare window: what differs between two of the board, memory and a
// set-up data file, one row per value. Reading the board runs the reads of
// an upload of the chosen groups in the progress window, into a record of
// its own: memory, the board and the caption stay as they are.
class frmCompare final : public QDialog {
    Q_OBJECT
public:
    // The kinds of side, in the order of the side lists.
    enum Source { Board = 0, Memory = 1, File = 2, History = 3 };

    // boardDevice names the port the link talks through; printDialogs may
    // be null (no printer to choose: Print stays disabled).
    frmCompare(ViewContext& context, std::function<QString()> boardDevice,
               PrintDialogs* printDialogs, QWidget* parent = nullptr);

    // Compares the two sides chosen; the list shows the differences, or
    // nothing when a side could not be read.
    void cmdCompare_Click();
    void cmdSaveAs_Click();
    void cmdPrint_Click();
    // Picks the file of side 0 (left) or 1 (right).
    void cmdBrowse_Click(int side);
    // Chooses a side before a compare: its kind, and the file's path or the
    // snapshot's number.
    void SetSide(int side, Source source, const QString& what = {});
    // Ticks the groups (a set of DataTransfer::Group) and nothing else.
    void SetGroups(int groups);

    const QList<SetupCompare::Row>& rows() const { return m_rows; }
    bool HasComparison() const { return m_compared; }

private:
    void BuildControls();
    void SideChanged(int side);
    void GroupsChanged(QCheckBox* changed);
    int Groups() const;
    // The path in the side's file box, as typed, pasted or browsed; empty
    // when there is none.
    QString FilePath(int side) const;
    // The side chosen; nullopt when a file side has no file.
    std::optional<SetupComparison::Side> ChosenSide(int side);
    std::optional<SetupRecord> ReadBoard(const SetupRecord& addresses, int groups);
    // A snapshot of the history by the number typed; nullopt when none is.
    std::optional<SetupComparison::Side> SnapshotSide(int side);
    void ShowComparison();
    void ClearComparison();

    ViewContext& m_context;
    std::function<QString()> m_boardDevice;
    PrintDialogs* m_printDialogs;

    std::array<QComboBox*, 2> m_cboSide{};
    std::array<QLineEdit*, 2> m_txtFile{};
    std::array<QPushButton*, 2> m_cmdBrowse{};
    std::array<QCheckBox*, 3> m_chkGroup{}; // set-up parameters, timing channels, shift data
    QCheckBox* m_chkAll = nullptr;
    QPushButton* m_cmdCompare = nullptr;
    std::array<QLabel*, 2> m_lblSide{};
    QLabel* m_lblCount = nullptr;
    QTreeWidget* m_lstDifferences = nullptr;
    QPushButton* m_cmdSaveAs = nullptr;
    QPushButton* m_cmdPrint = nullptr;
    QPushButton* m_cmdClose = nullptr;

    bool m_compared = false;
    std::array<QString, 2> m_sideName;
    QList<SetupCompare::Row> m_rows;
};
