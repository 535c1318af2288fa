#include "frmCompare.h"

#include "ComparisonReport.h"
#include "DataTransfer.h"
#include "FileDialogs.h"
#include "HistoryKeeper.h"
#include "PrintDialogs.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedState.h"
#include "ViewContext.h"
#include "WholeFile.h"
#include "frmProcessing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

namespace {

const QString SetupFilter = QStringLiteral("Setup Files (*.sdt *.SDT)");
const QString CsvFilter = QStringLiteral("CSV Files (*.csv *.CSV)");
const QString ReadingCaption = QStringLiteral("Reading the Board for Compare, Please Standby...");
constexpr int GroupBits[3] = {DataTransfer::SetupGroup, DataTransfer::TimingGroup,
                              DataTransfer::ShiftGroup};

} // namespace

frmCompare::frmCompare(ViewContext& context, std::function<QString()> boardDevice,
                       PrintDialogs* printDialogs, QWidget* parent)
    : QDialog(parent), m_context(context), m_boardDevice(std::move(boardDevice)),
      m_printDialogs(printDialogs) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Compare"));
    setModal(true);
    BuildControls();
    resize(780, 560);

    // "What will a download change on the board?": memory against the board.
    m_cboSide[0]->setCurrentIndex(Memory);
    m_cboSide[1]->setCurrentIndex(Board);
    for (int g = 0; g < 3; ++g)
        m_chkGroup[size_t(g)]->setChecked(SetupCompare::DefaultGroups() & GroupBits[g]);
    for (int s = 0; s < 2; ++s) {
        connect(m_cboSide[size_t(s)], &QComboBox::currentIndexChanged, this,
                [this, s] { SideChanged(s); });
        connect(m_cmdBrowse[size_t(s)], &QPushButton::clicked, this,
                [this, s] { cmdBrowse_Click(s); });
        SideChanged(s);
    }
    for (QCheckBox* box : m_chkGroup)
        connect(box, &QCheckBox::clicked, this, [this, box] { GroupsChanged(box); });
    connect(m_chkAll, &QCheckBox::clicked, this, [this] { GroupsChanged(m_chkAll); });
    GroupsChanged(nullptr);
    connect(m_cmdCompare, &QPushButton::clicked, this, &frmCompare::cmdCompare_Click);
    connect(m_cmdSaveAs, &QPushButton::clicked, this, &frmCompare::cmdSaveAs_Click);
    connect(m_cmdPrint, &QPushButton::clicked, this, &frmCompare::cmdPrint_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    ClearComparison();
}

void frmCompare::SideChanged(int side) {
    const int source = m_cboSide[size_t(side)]->currentIndex();
    const bool file = source == File;
    // A file's path, or a snapshot's number, is typed into the box.
    m_txtFile[size_t(side)]->setEnabled(file || source == History);
    m_txtFile[size_t(side)]->setPlaceholderText(
        source == History ? QStringLiteral("Number of a snapshot")
                          : QStringLiteral("Path of a set-up file (.sdt)"));
    m_cmdBrowse[size_t(side)]->setEnabled(file);
    // The board against itself says nothing, and costs a whole read twice.
    const bool bothBoard =
        m_cboSide[0]->currentIndex() == Board && m_cboSide[1]->currentIndex() == Board;
    m_cmdCompare->setEnabled(Groups() != 0 && !bothBoard);
}

void frmCompare::GroupsChanged(QCheckBox* changed) {
    if (changed == m_chkAll) {
        for (QCheckBox* box : m_chkGroup)
            box->setChecked(m_chkAll->isChecked());
    }
    m_chkAll->setChecked(Groups() == DataTransfer::AllGroups);
    SideChanged(0);
}

int frmCompare::Groups() const {
    int groups = 0;
    for (int g = 0; g < 3; ++g)
        if (m_chkGroup[size_t(g)]->isChecked())
            groups |= GroupBits[g];
    return groups;
}

void frmCompare::cmdBrowse_Click(int side) {
    const QString current = FilePath(side);
    const QString preset = current.isEmpty() ? m_context.shared().Files.gFileNamePath : current;
    const QString path = m_context.fileDialogs().getOpenFileName(this, SetupFilter, preset);
    if (!path.isEmpty())
        m_txtFile[size_t(side)]->setText(path);
}

void frmCompare::SetSide(int side, Source source, const QString& what) {
    m_cboSide[size_t(side)]->setCurrentIndex(source);
    m_txtFile[size_t(side)]->setText(what);
}

void frmCompare::SetGroups(int groups) {
    for (int g = 0; g < 3; ++g)
        m_chkGroup[size_t(g)]->setChecked(groups & GroupBits[g]);
    GroupsChanged(nullptr);
}

void frmCompare::cmdCompare_Click() {
    if (m_context.link().Busy() || !m_cmdCompare->isEnabled())
        return;
    ClearComparison();
    std::array<std::optional<SetupComparison::Side>, 2> sides;
    for (int s = 0; s < 2; ++s) {
        sides[size_t(s)] = ChosenSide(s);
        if (!sides[size_t(s)])
            return;
    }
    const auto outcome = SetupComparison::Run(*sides[0], *sides[1], Groups());
    if (!outcome.comparison)
        return;
    m_sideName = outcome.comparison->names;
    m_rows = outcome.comparison->rows;
    m_compared = true;
    ShowComparison();
}

QString frmCompare::FilePath(int side) const {
    // A path pasted from a file manager may come as a file:// address or in
    // quotes; one typed without a folder is in the folder Browse starts in.
    QString text = m_txtFile[size_t(side)]->text().trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2);
    if (text.startsWith(QStringLiteral("file:")))
        text = QUrl(text).toLocalFile();
    if (text.isEmpty())
        return {};
    return QDir(m_context.setupFolder()).absoluteFilePath(text);
}

std::optional<SetupComparison::Side> frmCompare::ChosenSide(int side) {
    const SharedState& shared = m_context.shared();
    switch (m_cboSide[size_t(side)]->currentIndex()) {
    case Memory:
        return SetupComparison::MemorySide(shared.CurrentData, HasUnsavedChanges(shared));
    case Board:
        return SetupComparison::BoardSide(
            [this](const SetupRecord& addresses, int groups) {
                return ReadBoard(addresses, groups);
            },
            m_boardDevice);
    case History:
        return SnapshotSide(side);
    default:
        break;
    }
    if (FilePath(side).isEmpty())
        cmdBrowse_Click(side);
    const QString path = FilePath(side);
    if (path.isEmpty())
        return std::nullopt;
    return SetupComparison::FileSide(path, shared.ProgramVersionTag, m_context.prompt());
}

std::optional<SetupRecord> frmCompare::ReadBoard(const SetupRecord& addresses, int groups) {
    if (!m_context.OfferToGoOnline())
        return std::nullopt;
    SetupRecord board = addresses;
    frmProcessing processing(m_context, board, groups, ReadingCaption, this);
    processing.exec();
    const DataTransfer& read = processing.transfer();
    // A part-read board is no side to compare: the upload's message has
    // said so, and a Cancel wants nothing shown.
    if (!processing.Finished() || read.Failed() || read.CancelRequested())
        return std::nullopt;
    m_context.TakeSnapshot(QStringLiteral("compare"), groups, board);
    return board;
}

std::optional<SetupComparison::Side> frmCompare::SnapshotSide(int side) {
    auto warn = [this](const QString& why) {
        m_context.prompt().message(QStringLiteral("TELVANE"), why, Prompt::Icon::Exclamation);
    };
    if (!m_context.history()) {
        warn(QStringLiteral("No set-up history is kept."));
        return std::nullopt;
    }
    const auto number = SnapshotNumber(m_txtFile[size_t(side)]->text().trimmed());
    if (!number) {
        warn(QStringLiteral("Type the number of a snapshot of the set-up history."));
        return std::nullopt;
    }
    return SetupComparison::SnapshotSide(m_context.history()->history(), *number, warn);
}

void frmCompare::ClearComparison() {
    m_compared = false;
    m_rows.clear();
    m_sideName = {};
    for (QLabel* label : m_lblSide)
        label->clear();
    m_lblCount->clear();
    m_lstDifferences->clear();
    m_cmdSaveAs->setEnabled(false);
    m_cmdPrint->setEnabled(false);
}

void frmCompare::ShowComparison() {
    m_lblSide[0]->setText(QStringLiteral("Left: ") + m_sideName[0]);
    m_lblSide[1]->setText(QStringLiteral("Right: ") + m_sideName[1]);
    m_lblCount->setText(m_rows.isEmpty()     ? QStringLiteral("No differences")
                        : m_rows.size() == 1 ? QStringLiteral("1 difference")
                                             : QStringLiteral("%1 differences").arg(m_rows.size()));
    for (const SetupCompare::Row& row : std::as_const(m_rows)) {
        auto* item = new QTreeWidgetItem({row.name, row.address, row.left, row.right});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        m_lstDifferences->addTopLevelItem(item);
    }
    m_cmdSaveAs->setEnabled(true);
    m_cmdPrint->setEnabled(m_printDialogs != nullptr);
}

void frmCompare::cmdSaveAs_Click() {
    if (!m_compared)
        return;
    // A folder to start in, never a name to offer (the trailing slash).
    const QString folder = m_context.setupFolder() + u'/';
    const QString path =
        m_context.fileDialogs().getSaveFileName(this, CsvFilter, folder, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const QByteArray csv = SetupCompare::Csv(m_rows, m_sideName[0], m_sideName[1]);
    if (const auto failed = WriteWholeFile(path, csv))
        m_context.prompt().message(QStringLiteral("TELVANE"),
                                   QStringLiteral("Unable to save ") + path +
                                       QStringLiteral(".\n\n") + failed->description,
                                   Prompt::Icon::Exclamation);
}

void frmCompare::cmdPrint_Click() {
    if (!m_compared || !m_printDialogs)
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!m_printDialogs->choosePrinter(this, printer))
        return;
    if (!PrintComparison(printer, m_rows, m_sideName[0], m_sideName[1], PrinterJob(printer)))
        m_context.prompt().message(QStringLiteral("TELVANE"),
                                   QStringLiteral("Unable to print the comparison."),
                                   Prompt::Icon::Exclamation);
}
