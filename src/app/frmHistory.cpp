#include "frmHistory.h"

#include "DataTransfer.h"
#include "FileDialogs.h"
#include "HistoryKeeper.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedState.h"
#include "ViewContext.h"
#include "WholeFile.h"
#include "frmCompare.h"
#include "frmProcessing.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

namespace {

const QString SetupFilter = QStringLiteral("Setup Files (*.sdt *.SDT)");
const QString ReadingCaption =
    QStringLiteral("Reading the Board for a Snapshot, Please Standby...");
constexpr int NumberRole = Qt::UserRole;

QString timeText(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString groupsText(int groups) {
    return GroupWords(groups, {"All", "Set-up", "Timing", "Shift", ", "});
}

QString actionText(const QString& action) {
    return action.isEmpty() ? action : action.front().toUpper() + action.mid(1);
}

QString faultText(const FaultEntry& f) {
    QString text = (f.kind == u"alarm" ? QStringLiteral("Alarm: ") : QString()) + f.text;
    if (!f.ended.isValid())
        return text + QStringLiteral(" (showing)");
    const QString until = f.ended.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    return text + (f.seenCleared ? QStringLiteral(" (cleared %1)").arg(until)
                                 : QStringLiteral(" (until %1, not seen to clear)").arg(until));
}

} // namespace

frmHistory::frmHistory(ViewContext& context, OpenSnapshot open, CompareSnapshot compare,
                       QWidget* parent)
    : QDialog(parent), m_context(context), m_open(std::move(open)), m_compare(std::move(compare)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Set-up History"));
    setModal(true);
    BuildControls();
    resize(820, 520);
    connect(m_lstPresses, &QListWidget::currentRowChanged, this, &frmHistory::ShowPress);
    connect(m_lstTimeline, &QTreeWidget::itemSelectionChanged, this, &frmHistory::SelectionChanged);
    connect(m_cmdTakeSnapshot, &QPushButton::clicked, this, &frmHistory::cmdTakeSnapshot_Click);
    connect(m_cmdCompare, &QPushButton::clicked, this, &frmHistory::cmdCompare_Click);
    connect(m_cmdOpen, &QPushButton::clicked, this, &frmHistory::cmdOpen_Click);
    connect(m_cmdExport, &QPushButton::clicked, this, &frmHistory::cmdExport_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    // The press of the board the link talks to comes first, if it has any.
    const QString device = m_context.boardDevice();
    QString press = device;
    if (HistoryKeeper* keeper = m_context.history()) {
        const auto name = keeper->history().PressName(device);
        if (const QString* known = std::get_if<QString>(&name); known && !known->isEmpty())
            press = *known;
    }
    Reload(press);
}

void frmHistory::Reload(const QString& press) {
    m_snapshots.clear();
    m_faults.clear();
    QString trouble;
    if (HistoryKeeper* keeper = m_context.history()) {
        SetupHistory& history = keeper->history();
        auto listed = history.List();
        auto faults = history.Faults();
        if (auto* list = std::get_if<QList<SnapshotInfo>>(&listed))
            m_snapshots = std::move(*list);
        else
            trouble = std::get<HistoryError>(listed).reason;
        if (auto* list = std::get_if<QList<FaultEntry>>(&faults))
            m_faults = std::move(*list);
        m_lblStatus->setText(
            trouble.isEmpty()
                ? QStringLiteral("History file: %1 (%2); nothing in it is ever deleted.")
                      .arg(QDir::toNativeSeparators(history.path()),
                           QLocale().formattedDataSize(history.FileSize()))
                : QStringLiteral("The set-up history cannot be read: ") + trouble);
    } else {
        m_lblStatus->setText(QStringLiteral("No set-up history is kept."));
    }
    m_cmdTakeSnapshot->setEnabled(trouble.isEmpty() && m_context.history());

    QStringList presses;
    for (const SnapshotInfo& s : std::as_const(m_snapshots))
        presses << s.pressOrDevice();
    for (const FaultEntry& f : std::as_const(m_faults))
        presses << f.pressOrDevice();
    presses.removeDuplicates();
    presses.sort(Qt::CaseInsensitive);
    const QSignalBlocker blocker(m_lstPresses);
    m_lstPresses->clear();
    m_lstPresses->addItems(presses);
    const int chosen = std::max<int>(0, int(presses.indexOf(press)));
    m_lstPresses->setCurrentRow(presses.isEmpty() ? -1 : chosen);
    ShowPress();
}

void frmHistory::ShowPress() {
    m_lstTimeline->clear();
    const QListWidgetItem* current = m_lstPresses->currentItem();
    if (current) {
        const QString press = current->text();
        QList<QTreeWidgetItem*> rows;
        for (const SnapshotInfo& s : std::as_const(m_snapshots)) {
            if (s.pressOrDevice() != press)
                continue;
            auto* row = new QTreeWidgetItem({QString::number(s.number), timeText(s.time),
                                             actionText(s.action), s.user, groupsText(s.groups)});
            row->setData(0, NumberRole, s.number);
            row->setData(1, NumberRole, s.time);
            row->setToolTip(2, QStringLiteral("%1 on %2, device %3").arg(s.user, s.host, s.device));
            rows << row;
        }
        for (const FaultEntry& f : std::as_const(m_faults)) {
            if (f.pressOrDevice() != press)
                continue;
            auto* row = new QTreeWidgetItem({QString(), timeText(f.appeared), faultText(f)});
            row->setData(1, NumberRole, f.appeared);
            row->setFlags(Qt::ItemIsEnabled); // a fault is nothing to compare or open
            for (int c = 0; c < 5; ++c)
                row->setForeground(c, QColor(192, 0, 0));
            rows << row;
        }
        std::stable_sort(rows.begin(), rows.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
            return a->data(1, NumberRole).toDateTime() > b->data(1, NumberRole).toDateTime();
        });
        m_lstTimeline->addTopLevelItems(rows);
    }
    SelectionChanged();
}

QList<qint64> frmHistory::SelectedSnapshots() const {
    QList<qint64> numbers;
    for (const QTreeWidgetItem* item : m_lstTimeline->selectedItems())
        numbers << item->data(0, NumberRole).toLongLong();
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void frmHistory::SelectionChanged() {
    const qsizetype selected = SelectedSnapshots().size();
    m_cmdCompare->setEnabled(selected == 1 || selected == 2);
    m_cboCompareWith->setEnabled(selected == 1);
    m_cmdOpen->setEnabled(selected == 1);
    m_cmdExport->setEnabled(selected == 1);
}

void frmHistory::Warn(const QString& text) {
    m_context.prompt().message(QStringLiteral("TELVANE"), text, Prompt::Icon::Exclamation);
}

std::optional<Snapshot> frmHistory::FetchSelected() {
    const QList<qint64> selected = SelectedSnapshots();
    if (selected.size() != 1 || !m_context.history())
        return std::nullopt;
    auto fetched = m_context.history()->history().Fetch(selected.front());
    if (const auto* error = std::get_if<HistoryError>(&fetched)) {
        Warn(QStringLiteral("The set-up history cannot be read.\n\n") + error->reason);
        return std::nullopt;
    }
    return std::get<Snapshot>(fetched);
}

void frmHistory::cmdTakeSnapshot_Click() {
    if (m_context.link().Busy() || !m_context.OfferToGoOnline())
        return;
    SetupRecord board = m_context.shared().DefaultData;
    frmProcessing processing(m_context, board, DataTransfer::AllGroups, ReadingCaption, this);
    processing.exec();
    const DataTransfer& read = processing.transfer();
    // A part-read board is no snapshot: the read's message has said so.
    if (!processing.Finished() || read.Failed() || read.CancelRequested())
        return;
    const auto number =
        m_context.TakeSnapshot(QStringLiteral("snapshot"), DataTransfer::AllGroups, board);
    if (!number)
        return;
    // The new snapshot shows, selected, under its press.
    const auto taken = m_context.history()->history().Fetch(*number);
    if (const auto* snapshot = std::get_if<Snapshot>(&taken))
        Reload(snapshot->info.pressOrDevice());
    Select({*number});
}

void frmHistory::cmdCompare_Click() {
    const QList<qint64> selected = SelectedSnapshots();
    if (selected.isEmpty() || selected.size() > 2 || !m_compare)
        return;
    // What a snapshot holds from the board: the rest came from memory or a file.
    int groups = GroupsOf(selected[0]);
    if (selected.size() == 2 && (groups & GroupsOf(selected[1])))
        groups &= GroupsOf(selected[1]);
    if (selected.size() == 2)
        m_compare(selected[0], frmCompare::History, selected[1], groups);
    else
        m_compare(selected[0], m_cboCompareWith->currentIndex(), std::nullopt, groups);
    // A board the compare read is a snapshot now.
    const QString press =
        m_lstPresses->currentItem() ? m_lstPresses->currentItem()->text() : QString();
    Reload(press);
    Select(selected);
}

void frmHistory::Select(const QList<qint64>& numbers) {
    for (int i = 0; i < m_lstTimeline->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_lstTimeline->topLevelItem(i);
        item->setSelected(numbers.contains(item->data(0, NumberRole).toLongLong()));
    }
}

int frmHistory::GroupsOf(qint64 number) const {
    for (const SnapshotInfo& s : m_snapshots)
        if (s.number == number)
            return s.groups;
    return 0;
}

void frmHistory::cmdOpen_Click() {
    const auto snapshot = FetchSelected();
    if (snapshot && m_open && m_open(*snapshot))
        accept();
}

void frmHistory::cmdExport_Click() {
    const auto snapshot = FetchSelected();
    if (!snapshot)
        return;
    const QString folder = m_context.setupFolder() + u'/';
    const QString path =
        m_context.fileDialogs().getSaveFileName(this, SetupFilter, folder, QStringLiteral("sdt"));
    if (path.isEmpty())
        return;
    if (const auto failed = WriteWholeFile(path, snapshot->setup))
        Warn(QStringLiteral("Unable to save ") + path + QStringLiteral(".\n\n") +
             failed->description);
}
