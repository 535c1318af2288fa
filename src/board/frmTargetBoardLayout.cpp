// The controls of the Target Board Interface and where they sit.
#include "FieldEditor.h"
#include "FocusButton.h"
#include "Prompt.h"
#include "UpDown.h"
#include "frmTargetBoard.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& text, const QString& name = {}) {
    auto* l = new QLabel(text);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QPushButton* button(const QString& text, const QString& name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPlainTextEdit* faultField(int index, int lines) {
    auto* t = new QPlainTextEdit;
    t->setObjectName(QStringLiteral("txtTargetBoard%1").arg(index));
    t->setReadOnly(true);
    t->setVerticalScrollBarPolicy(index == FaultStatus::ActionSlot ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
    const int height = t->fontMetrics().lineSpacing() * lines + 12;
    t->setFixedHeight(height);
    return t;
}

} // namespace

QWidget* frmTargetBoard::BuildFaultsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* internal = new QGroupBox(QStringLiteral("Internal Fault Code:"));
    auto* grid = new QGridLayout(internal);
    const char* captions[FaultStatus::Slots] = {
        "Current Fault:",     "Last Fault:",         "CO-CPU Slot:",
        "Corrective Action:", "Current Comm Error:", "Last Comm Error:"};
    for (int i = 0; i < FaultStatus::Slots; ++i) {
        m_lblTargetBoard[size_t(i)] =
            label(QString::fromLatin1(captions[i]), QStringLiteral("lblTargetBoard%1").arg(i));
        m_lblTargetBoard[size_t(i)]->setMinimumWidth(220);
        if (i != FaultStatus::CoCpuSlot)
            m_txtTargetBoard[size_t(i)] = faultField(i, i == FaultStatus::ActionSlot ? 4 : 2);
    }
    grid->addWidget(m_lblTargetBoard[0], 0, 0, Qt::AlignTop);
    grid->addWidget(m_txtTargetBoard[0], 0, 1);
    grid->addWidget(m_lblTargetBoard[1], 1, 0, Qt::AlignTop);
    grid->addWidget(m_txtTargetBoard[1], 1, 1);
    grid->addWidget(m_lblTargetBoard[2], 2, 0);
    grid->addWidget(m_lblTargetBoard[3], 3, 0, Qt::AlignTop);
    grid->addWidget(m_txtTargetBoard[3], 3, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(internal);

    auto* comm = new QGroupBox(QStringLiteral("Communications Network Error Codes:"));
    auto* commGrid = new QGridLayout(comm);
    commGrid->addWidget(m_lblTargetBoard[4], 0, 0, Qt::AlignTop);
    commGrid->addWidget(m_txtTargetBoard[4], 0, 1);
    commGrid->addWidget(m_lblTargetBoard[5], 1, 0, Qt::AlignTop);
    commGrid->addWidget(m_txtTargetBoard[5], 1, 1);
    commGrid->setColumnStretch(1, 1);
    layout->addWidget(comm);

    m_cmdResetFaults = button(QStringLiteral("&Reset Faults"), QStringLiteral("cmdResetFaults"));
    m_cmdResetFaults->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_cmdResetFaults);
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

QWidget* frmTargetBoard::BuildIdentPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto column = [](const QString& title, const QStringList& captions, auto& values,
                     const QString& name) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        for (int i = 0; i < captions.size(); ++i) {
            grid->addWidget(new QLabel(captions[i]), i, 0);
            values[size_t(i)] = label(QStringLiteral("-"), name + QString::number(i));
            grid->addWidget(values[size_t(i)], i, 1);
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(int(captions.size()), 1);
        return box;
    };
    layout->addWidget(
        column(QStringLiteral("In Target Board:"),
               {QStringLiteral("Name:"), QStringLiteral("Revision:"), QStringLiteral("Checksum:")},
               m_lblRevIdentInPLC, QStringLiteral("lblRevIdentInPLC")));
    layout->addWidget(
        column(QStringLiteral("On Disk:"),
               {QStringLiteral("Name:"), QStringLiteral("Revision:"), QStringLiteral("Checksum:"),
                QStringLiteral("Target Board:"), QStringLiteral("Rev Date:")},
               m_lblRevIdentOnDisk, QStringLiteral("lblRevIdentOnDisk")));
    return page;
}

QWidget* frmTargetBoard::BuildNetworkPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    for (int i = 0; i <= TargetBoardData::NetworkAddress2; ++i) {
        grid->addWidget(m_lblSetupDesc[size_t(i)], i, 0);
        grid->addWidget(m_txtSetup[size_t(i)], i, 1);
        grid->addWidget(m_updSetup[size_t(i)], i, 2);
    }
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    m_lblNetworkAddComment = label({}, QStringLiteral("lblNetworkAddComment"));
    m_lblNetworkAddComment->setWordWrap(true);
    layout->addWidget(m_lblNetworkAddComment);
    layout->addStretch();
    return page;
}

QWidget* frmTargetBoard::BuildClockPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* computer = new QGridLayout;
    computer->addWidget(label(QStringLiteral("Current Time:")), 0, 0);
    m_lblCurrTime = label(QStringLiteral("XX : XX : XX"), QStringLiteral("lblCurrTime"));
    computer->addWidget(m_lblCurrTime, 0, 1);
    computer->addWidget(label(QStringLiteral("Current Date:")), 1, 0);
    m_lblCurrDate = label(QStringLiteral("XX - XX - XX"), QStringLiteral("lblCurrDate"));
    computer->addWidget(m_lblCurrDate, 1, 1);
    computer->setColumnStretch(2, 1);
    layout->addLayout(computer);

    m_lblTargetBoardTime =
        label(QStringLiteral("Target Board Time:"), QStringLiteral("lblTargetBoardTime"));
    m_lblTargetBoardDate =
        label(QStringLiteral("Target Board Date:"), QStringLiteral("lblTargetBoardDate"));
    m_cmdSetToCurrTime =
        button(QStringLiteral("Set to Current &Time"), QStringLiteral("cmdSetToCurrTime"));
    m_cmdSetToCurrDate =
        button(QStringLiteral("Set to Current &Date"), QStringLiteral("cmdSetToCurrDate"));
    auto* board = new QGridLayout;
    auto addGroup = [&](int row, QLabel* heading, int first, QPushButton* set) {
        board->addWidget(heading, row, 0, 2, 1, Qt::AlignVCenter);
        for (int k = 0; k < 3; ++k) {
            const int i = first + k;
            board->addWidget(m_lblSetupDesc[size_t(i)], row, 1 + 2 * k, 1, 2, Qt::AlignHCenter);
            board->addWidget(m_txtSetup[size_t(i)], row + 1, 1 + 2 * k);
            board->addWidget(m_updSetup[size_t(i)], row + 1, 2 + 2 * k);
        }
        board->addWidget(set, row + 1, 7);
    };
    addGroup(0, m_lblTargetBoardTime, 2, m_cmdSetToCurrTime);
    addGroup(2, m_lblTargetBoardDate, 5, m_cmdSetToCurrDate);
    board->setColumnStretch(8, 1);
    layout->addLayout(board);
    auto* note = new QHBoxLayout;
    note->addWidget(label(QStringLiteral("Note:")), 0, Qt::AlignTop);
    auto* noteText = label(QStringLiteral("Only the V6610 Display Module and the R8060 "
                                          "Communications CO-CPU board are equipped with real "
                                          "time clocks."),
                           QStringLiteral("lblClockNote"));
    noteText->setWordWrap(true);
    note->addWidget(noteText, 1);
    layout->addLayout(note);
    layout->addStretch();
    return page;
}

void frmTargetBoard::BuildControls() {
    for (int i = 0; i < FieldCount; ++i) {
        const auto& f = TargetBoardData::Fields[size_t(i)];
        m_lblSetupDesc[size_t(i)] =
            label(QString::fromLatin1(f.label), QStringLiteral("lblSetupDesc%1").arg(i));
        m_txtSetup[size_t(i)] = new QLineEdit;
        m_txtSetup[size_t(i)]->setObjectName(QStringLiteral("txtSetup%1").arg(i));
        m_txtSetup[size_t(i)]->setMaximumWidth(i < TargetBoardData::FirstClockField ? 60 : 40);
        m_updSetup[size_t(i)] = new UpDown(QStringLiteral("updSetup%1").arg(i));
    }

    auto* layout = new QVBoxLayout(this);
    m_tabTargetBoard = new QTabBar;
    m_tabTargetBoard->setObjectName(QStringLiteral("tabTargetBoard"));
    for (const char* caption : {"&Fault Codes / Status", "&Program Ident/Revision",
                                "&Set Network Address", "S&et Time && Date"})
        m_tabTargetBoard->addTab(QString::fromLatin1(caption));
    layout->addWidget(m_tabTargetBoard);

    QWidget* pages[4] = {BuildFaultsPage(), BuildIdentPage(), BuildNetworkPage(), BuildClockPage()};
    const char* frames[4] = {"Fault Codes / Status", "Program Ident/Revision",
                             "Set Network Address", "Set Time && Date"};
    for (int i = 0; i < 4; ++i) {
        auto* frame = new QFrame;
        frame->setObjectName(QStringLiteral("fraTargetBoard%1").arg(i));
        frame->setAccessibleName(QString::fromLatin1(frames[i]));
        frame->setFrameShape(QFrame::NoFrame);
        auto* inner = new QVBoxLayout(frame);
        inner->setContentsMargins(0, 0, 0, 0);
        inner->addWidget(pages[i]);
        m_fraTargetBoard[size_t(i)] = frame;
        layout->addWidget(frame, 1);
        // One page at a time, from the first layout on: the window is sized
        // for a page, not for four stacked.
        frame->setVisible(i == 0);
    }

    m_cmdOk = button(QStringLiteral("&Ok"), QStringLiteral("cmdOk"));
    m_cmdGoOnline = button(QStringLiteral("&Go Online"), QStringLiteral("cmdGoOnline"));
    m_cmdDefault = NewFocusButton();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_cmdDefault);
    bottom->addStretch();
    bottom->addWidget(m_cmdGoOnline);
    bottom->addWidget(m_cmdOk);
    layout->addLayout(bottom);
    resize(620, 420);
}
