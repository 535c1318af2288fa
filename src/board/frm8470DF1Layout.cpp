// The controls of the DF1 communication set-up view and their places.
#include "FocusButton.h"
#include "RegisterNames.h"
#include "UpDown.h"
#include "frm8470DF1.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The status rows; the set-up rows are named with their registers.
const char* const Descriptions[frm8470DF1::PlcTypeRow] = {"R8470 Configuration Status:",
                                                          "Transmit Data Status",
                                                          "Transmit Data Status (prev.):",
                                                          "Current Transaction:",
                                                          "Active Command:",
                                                          "Number of BYTES Received:",
                                                          "Received Command BIT Status",
                                                          "Status:",
                                                          "Current Transaction Received:"};

const char* const Frames[3] = {"R8470-DF1 Communication Status", "A/B Link Layer Status",
                               "DF1 Communication Set-up"};

} // namespace

void frm8470DF1::BuildControls() {
    for (int i = 0; i < 3; ++i) {
        auto* frame = new QGroupBox(QString::fromLatin1(Frames[i]));
        frame->setObjectName(QStringLiteral("fraSetup%1").arg(i));
        m_fraSetup[size_t(i)] = frame;
    }
    for (int i = 0; i < RegisterCount; ++i) {
        auto* label =
            new QLabel(i < PlcTypeRow ? QString::fromLatin1(Descriptions[i])
                                      : RegisterNames::df1Setup()[size_t(i - PlcTypeRow)].text);
        label->setObjectName(QStringLiteral("lblDescription%1").arg(i));
        m_lblDescription[size_t(i)] = label;
    }
    for (int i = 0; i < StatusRows; ++i) {
        auto* display = new QLabel(QStringLiteral("0"));
        display->setObjectName(QStringLiteral("lblDisplay%1").arg(i));
        display->setMinimumWidth(360);
        display->setTextInteractionFlags(Qt::NoTextInteraction);
        m_lblDisplay[size_t(i)] = display;
    }

    // Status rows: caption on the left, decoded value beside it.
    auto* status = new QGridLayout(m_fraSetup[0]);
    for (int row = 0; row < LinkStatusRow; ++row) {
        status->addWidget(m_lblDescription[size_t(row)], row, 0, Qt::AlignRight);
        status->addWidget(m_lblDisplay[size_t(row)], row, 1);
    }
    status->setColumnStretch(1, 1);
    auto* link = new QGridLayout(m_fraSetup[1]);
    for (int row = LinkStatusRow; row < StatusRows; ++row) {
        link->addWidget(m_lblDescription[size_t(row)], row - LinkStatusRow, 0, Qt::AlignRight);
        link->addWidget(m_lblDisplay[size_t(row)], row - LinkStatusRow, 1);
    }
    link->setColumnStretch(1, 1);

    m_cboSetup = new QComboBox;
    m_cboSetup->setObjectName(QStringLiteral("cboSetup"));
    m_lblDescription[PlcTypeRow]->setBuddy(m_cboSetup);
    auto* setup = new QGridLayout(m_fraSetup[2]);
    setup->addWidget(m_lblDescription[PlcTypeRow], 0, 0, Qt::AlignRight);
    setup->addWidget(m_cboSetup, 0, 1, 1, 2);
    for (int i = 0; i < FieldCount; ++i) {
        auto* text = new QLineEdit(QStringLiteral("-"));
        text->setObjectName(QStringLiteral("txtSetup%1").arg(i));
        text->setFixedWidth(80);
        auto* upDown = new UpDown(QStringLiteral("updSetup%1").arg(i));
        m_txtSetup[size_t(i)] = text;
        m_updSetup[size_t(i)] = upDown;
        QLabel* label = m_lblDescription[size_t(FirstFieldRow + i)];
        label->setBuddy(text);
        setup->addWidget(label, i + 1, 0, Qt::AlignRight);
        setup->addWidget(text, i + 1, 1);
        setup->addWidget(upDown, i + 1, 2, Qt::AlignLeft);
    }
    setup->setColumnStretch(3, 1);

    m_cmdDefault = NewFocusButton();

    auto* window = new QVBoxLayout(this);
    window->addWidget(m_fraSetup[0]);
    window->addWidget(m_fraSetup[1]);
    window->addWidget(m_fraSetup[2]);
    window->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_cmdDefault);
    bottom->addStretch();
    window->addLayout(bottom);

    setTabOrder(m_cboSetup, m_txtSetup[0]);
    setTabOrder(m_txtSetup[0], m_txtSetup[1]);
    setTabOrder(m_txtSetup[1], m_cmdDefault);
}
