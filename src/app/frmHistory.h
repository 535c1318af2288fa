#pragma once

#include "SetupHistory.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class ViewContext;

// The History window (File, History...): the presses on the left; the
// snapshots and fault log entries of the chosen press on a timeline, the
// newest first. Two snapshots, or one and the board, memory or a file,
// are compared in the compare window; Open puts a snapshot into memory,
// Export writes it as a set-up data file, Take Snapshot keeps what the
// board holds now.
class frmHistory final : public QDialog {
    Q_OBJECT
public:
    // Puts the snapshot into memory (after the save question); true when it did.
    using OpenSnapshot = std::function<bool(const Snapshot&)>;
    // Compares snapshot left with another side: the compare window's Board,
    // Memory or File, or (otherSnapshot given) a second snapshot; in the
    // groups the snapshots hold.
    using CompareSnapshot = std::function<void(qint64 left, int otherSource,
                                               std::optional<qint64> otherSnapshot, int groups)>;

    frmHistory(ViewContext& context, OpenSnapshot open, CompareSnapshot compare,
               QWidget* parent = nullptr);

    void cmdTakeSnapshot_Click();
    void cmdCompare_Click();
    void cmdOpen_Click();
    void cmdExport_Click();

    // Reads the history again and shows the press chosen (by its name, or
    // its device), or the first.
    void Reload(const QString& press = {});
    // The numbers of the snapshots selected, the oldest first.
    QList<qint64> SelectedSnapshots() const;

private:
    void BuildControls();
    void ShowPress();
    void SelectionChanged();
    std::optional<Snapshot> FetchSelected();
    int GroupsOf(qint64 number) const;
    void Select(const QList<qint64>& numbers);
    void Warn(const QString& text);

    ViewContext& m_context;
    OpenSnapshot m_open;
    CompareSnapshot m_compare;
    QList<SnapshotInfo> m_snapshots;
    QList<FaultEntry> m_faults;

    QListWidget* m_lstPresses = nullptr;
    QTreeWidget* m_lstTimeline = nullptr;
    QComboBox* m_cboCompareWith = nullptr;
    QLabel* m_lblStatus = nullptr;
    QPushButton* m_cmdTakeSnapshot = nullptr;
    QPushButton* m_cmdCompare = nullptr;
    QPushButton* m_cmdOpen = nullptr;
    QPushButton* m_cmdExport = nullptr;
    QPushButton* m_cmdClose = nullptr;
};
