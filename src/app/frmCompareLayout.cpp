// The controls of the compare window and their places.
#include "frmCompare.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* caption, const QString& name) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

void frmCompare::BuildControls() {
    auto* sides = new QGroupBox(QStringLiteral("Compare"));
    sides->setObjectName(QStringLiteral("fraSides"));
    auto* sideGrid = new QGridLayout(sides);
    const char* const sideCaptions[2] = {"&Left:", "R&ight:"};
    for (int s = 0; s < 2; ++s) {
        auto* label = new QLabel(QString::fromLatin1(sideCaptions[s]));
        m_cboSide[size_t(s)] = new QComboBox;
        m_cboSide[size_t(s)]->setObjectName(QStringLiteral("cboSide%1").arg(s));
        m_cboSide[size_t(s)]->addItems({QStringLiteral("The board"), QStringLiteral("Memory"),
                                        QStringLiteral("A set-up file"),
                                        QStringLiteral("A snapshot of the history")});
        label->setBuddy(m_cboSide[size_t(s)]);
        m_txtFile[size_t(s)] = new QLineEdit;
        m_txtFile[size_t(s)]->setObjectName(QStringLiteral("txtFile%1").arg(s));
        // Typed, pasted or browsed; read when Compare is pressed.
        m_txtFile[size_t(s)]->setPlaceholderText(QStringLiteral("Path of a set-up file (.sdt)"));
        m_txtFile[size_t(s)]->setClearButtonEnabled(true);
        m_txtFile[size_t(s)]->setMinimumWidth(320);
        m_cmdBrowse[size_t(s)] = button("Bro&wse...", QStringLiteral("cmdBrowse%1").arg(s));
        sideGrid->addWidget(label, s, 0, Qt::AlignRight);
        sideGrid->addWidget(m_cboSide[size_t(s)], s, 1);
        sideGrid->addWidget(m_txtFile[size_t(s)], s, 2);
        sideGrid->addWidget(m_cmdBrowse[size_t(s)], s, 3);
    }
    sideGrid->setColumnStretch(2, 1);

    auto* groups = new QGroupBox(QStringLiteral("Groups"));
    groups->setObjectName(QStringLiteral("fraGroups"));
    auto* groupRow = new QHBoxLayout(groups);
    const char* const groupCaptions[3] = {"Set-up &Parameters", "Timing &Channels", "Shift &Data"};
    for (int g = 0; g < 3; ++g) {
        m_chkGroup[size_t(g)] = new QCheckBox(QString::fromLatin1(groupCaptions[g]));
        m_chkGroup[size_t(g)]->setObjectName(QStringLiteral("chkGroup%1").arg(g));
        groupRow->addWidget(m_chkGroup[size_t(g)]);
    }
    m_chkAll = new QCheckBox(QStringLiteral("&All"));
    m_chkAll->setObjectName(QStringLiteral("chkAll"));
    groupRow->addWidget(m_chkAll);
    groupRow->addStretch();
    m_cmdCompare = button("C&ompare", QStringLiteral("cmdCompare"));
    m_cmdCompare->setDefault(true);
    groupRow->addWidget(m_cmdCompare);

    for (int s = 0; s < 2; ++s) {
        m_lblSide[size_t(s)] = new QLabel;
        m_lblSide[size_t(s)]->setObjectName(QStringLiteral("lblSide%1").arg(s));
        m_lblSide[size_t(s)]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_lblCount = new QLabel;
    m_lblCount->setObjectName(QStringLiteral("lblCount"));
    QFont bold = m_lblCount->font();
    bold.setBold(true);
    m_lblCount->setFont(bold);

    m_lstDifferences = new QTreeWidget;
    m_lstDifferences->setObjectName(QStringLiteral("lstDifferences"));
    m_lstDifferences->setRootIsDecorated(false);
    m_lstDifferences->setUniformRowHeights(true);
    m_lstDifferences->setAlternatingRowColors(true);
    m_lstDifferences->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Address"),
                                       QStringLiteral("Left"), QStringLiteral("Right")});
    m_lstDifferences->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_lstDifferences->header()->setStretchLastSection(false);
    m_lstDifferences->setColumnWidth(1, 90);
    m_lstDifferences->setColumnWidth(2, 110);
    m_lstDifferences->setColumnWidth(3, 110);

    m_cmdSaveAs = button("&Save As...", QStringLiteral("cmdSaveAs"));
    m_cmdPrint = button("P&rint...", QStringLiteral("cmdPrint"));
    m_cmdClose = button("Close", QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdSaveAs);
    buttons->addWidget(m_cmdPrint);
    buttons->addStretch();
    buttons->addWidget(m_cmdClose);

    auto* window = new QVBoxLayout(this);
    window->addWidget(sides);
    window->addWidget(groups);
    window->addWidget(m_lblSide[0]);
    window->addWidget(m_lblSide[1]);
    window->addWidget(m_lblCount);
    window->addWidget(m_lstDifferences, 1);
    window->addLayout(buttons);
}
