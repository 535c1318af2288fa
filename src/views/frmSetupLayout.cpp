// The controls of the set-up parameters view and their places.
#include "FocusButton.h"
#include "OnOffSwitch.h"
#include "RegisterNames.h"
#include "UpDown.h"
#include "frmSetup.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QGroupBox* groupFrame(int index, const char* caption) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption));
    frame->setObjectName(QStringLiteral("fraParameters%1").arg(index));
    return frame;
}

// A page of the tab strip: a frame without border; its caption names it.
QFrame* pageFrame(int index, const char* caption) {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("fraSetup%1").arg(index));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWindowTitle(QString::fromLatin1(caption));
    frame->setAccessibleName(frame->windowTitle());
    return frame;
}

} // namespace

void frmSetup::BuildControls() {
    for (int i = 0; i < FieldCount; ++i) {
        auto* label = new QLabel(RegisterNames::setupFields()[size_t(i)].text);
        label->setObjectName(QStringLiteral("lblSetup%1").arg(i));
        auto* text = new QLineEdit(QStringLiteral("-"));
        text->setObjectName(QStringLiteral("txtSetup%1").arg(i));
        text->setFixedWidth(80);
        label->setBuddy(text);
        auto* upDown = new UpDown(QStringLiteral("updSetup%1").arg(i));
        m_lblSetup[size_t(i)] = label;
        m_txtSetup[size_t(i)] = text;
        m_updSetup[size_t(i)] = upDown;
    }
    // The fields of every group start at one column, however long the labels
    // of that group are.
    int labelWidth = 0;
    for (QLabel* label : m_lblSetup)
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    auto addRow = [this, labelWidth](QGridLayout* grid, int row, int i) {
        grid->setColumnMinimumWidth(0, labelWidth);
        grid->addWidget(m_lblSetup[size_t(i)], row, 0, Qt::AlignRight);
        grid->addWidget(m_txtSetup[size_t(i)], row, 1);
        grid->addWidget(m_updSetup[size_t(i)], row, 2, Qt::AlignLeft);
    };

    m_tbsSetup = new QTabBar;
    m_tbsSetup->setObjectName(QStringLiteral("tbsSetup"));
    m_tbsSetup->addTab(QStringLiteral("&Cupper Setup Parameters"));
    m_tbsSetup->addTab(QStringLiteral("&Lubrication Parameters"));
    // A click on a tab takes the focus, so that an edit in progress ends
    // (and is validated) before the page changes.
    m_tbsSetup->setFocusPolicy(Qt::StrongFocus);
    m_tbsSetup->setExpanding(false);

    m_fraParameters[0] = groupFrame(0, "Cupper Running Speeds");
    m_fraParameters[1] = groupFrame(1, "Brake Wear Compensation");
    m_fraParameters[2] = groupFrame(2, "Lubricator Speed References");

    auto* speeds = new QGridLayout(m_fraParameters[0]);
    addRow(speeds, 0, 3);
    addRow(speeds, 1, 4);
    speeds->setColumnStretch(3, 1);

    m_chkBrakeWearCompEnable = new OnOffSwitch(RegisterNames::setupSwitch().text);
    m_chkBrakeWearCompEnable->setObjectName(QStringLiteral("chkBrakeWearCompEnable"));
    auto* brake = new QGridLayout(m_fraParameters[1]);
    brake->addWidget(m_chkBrakeWearCompEnable, 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i)
        addRow(brake, i + 1, i);
    brake->setColumnStretch(3, 1);

    auto* lube = new QGridLayout(m_fraParameters[2]);
    addRow(lube, 0, 5);
    addRow(lube, 1, 6);
    lube->setColumnStretch(3, 1);

    m_fraSetup[0] = pageFrame(0, "Set Cupper Parameters");
    auto* cupper = new QVBoxLayout(m_fraSetup[0]);
    cupper->addWidget(m_fraParameters[0]);
    cupper->addWidget(m_fraParameters[1]);
    cupper->addStretch();
    m_fraSetup[1] = pageFrame(1, "Set Lubrication Parameters");
    auto* lubrication = new QVBoxLayout(m_fraSetup[1]);
    lubrication->addWidget(m_fraParameters[2]);
    lubrication->addStretch();

    m_cmdDefault = NewFocusButton();

    auto* window = new QVBoxLayout(this);
    window->addWidget(m_tbsSetup);
    window->addWidget(m_fraSetup[0], 1);
    window->addWidget(m_fraSetup[1], 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_cmdDefault);
    bottom->addStretch();
    window->addLayout(bottom);

    // Tab order: the page's frames top to bottom, then the focus button.
    QWidget* order[] = {m_tbsSetup,    m_txtSetup[3], m_txtSetup[4], m_chkBrakeWearCompEnable,
                        m_txtSetup[0], m_txtSetup[1], m_txtSetup[2], m_txtSetup[5],
                        m_txtSetup[6], m_cmdDefault};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}
