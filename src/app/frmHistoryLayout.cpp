// The controls of the History window and their places.
#include "frmHistory.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* caption, const char* name) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

void frmHistory::BuildControls() {
    auto* presses = new QGroupBox(QStringLiteral("&Presses"));
    presses->setObjectName(QStringLiteral("fraPresses"));
    m_lstPresses = new QListWidget;
    m_lstPresses->setObjectName(QStringLiteral("lstPresses"));
    (new QVBoxLayout(presses))->addWidget(m_lstPresses);

    auto* timeline = new QGroupBox(QStringLiteral("&Timeline"));
    timeline->setObjectName(QStringLiteral("fraTimeline"));
    m_lstTimeline = new QTreeWidget;
    m_lstTimeline->setObjectName(QStringLiteral("lstTimeline"));
    m_lstTimeline->setRootIsDecorated(false);
    m_lstTimeline->setUniformRowHeights(true);
    m_lstTimeline->setAlternatingRowColors(true);
    m_lstTimeline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstTimeline->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Time"),
                                    QStringLiteral("Action"), QStringLiteral("User"),
                                    QStringLiteral("Groups")});
    m_lstTimeline->header()->setStretchLastSection(false);
    m_lstTimeline->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_lstTimeline->setColumnWidth(0, 50);
    m_lstTimeline->setColumnWidth(1, 150);
    m_lstTimeline->setColumnWidth(3, 90);
    m_lstTimeline->setColumnWidth(4, 120);
    (new QVBoxLayout(timeline))->addWidget(m_lstTimeline);

    auto* split = new QSplitter;
    split->addWidget(presses);
    split->addWidget(timeline);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 620});

    auto* compareRow = new QHBoxLayout;
    auto* with = new QLabel(QStringLiteral("Compare one snapshot &with:"));
    m_cboCompareWith = new QComboBox;
    m_cboCompareWith->setObjectName(QStringLiteral("cboCompareWith"));
    // In the order of the compare window's kinds of side.
    m_cboCompareWith->addItems(
        {QStringLiteral("The board"), QStringLiteral("Memory"), QStringLiteral("A set-up file")});
    with->setBuddy(m_cboCompareWith);
    m_cmdCompare = button("&Compare", "cmdCompare");
    compareRow->addWidget(with);
    compareRow->addWidget(m_cboCompareWith);
    compareRow->addWidget(m_cmdCompare);
    compareRow->addStretch();

    m_lblStatus = new QLabel;
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);
    m_lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_cmdTakeSnapshot = button("Take &Snapshot", "cmdTakeSnapshot");
    m_cmdOpen = button("&Open", "cmdOpen");
    m_cmdExport = button("&Export...", "cmdExport");
    m_cmdClose = button("Close", "cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdTakeSnapshot);
    buttons->addWidget(m_cmdOpen);
    buttons->addWidget(m_cmdExport);
    buttons->addStretch();
    buttons->addWidget(m_cmdClose);

    auto* window = new QVBoxLayout(this);
    window->addWidget(split, 1);
    window->addLayout(compareRow);
    window->addWidget(m_lblStatus);
    window->addLayout(buttons);
}
