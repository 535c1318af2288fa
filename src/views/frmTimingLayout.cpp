// The controls of the machine timing view and their places.
#include "FocusButton.h"
#include "RegisterNames.h"
#include "UpDown.h"
#include "frmTiming.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

static_assert(RegisterNames::TimingChannelLabels.size() == frmTiming::Channels);

const char* const FrameCaptions[5] = {"Timing Channels", RegisterNames::ResolverOffset,
                                      "P&LS Channel", "PLS Configuration", "Speed Compensation"};

QLabel* namedLabel(const QString& text, const QString& name) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QLineEdit* numberBox(const QString& name) {
    auto* text = new QLineEdit;
    text->setObjectName(name);
    text->setFixedWidth(60);
    return text;
}

QPushButton* button(const char* caption, const QString& name) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// A page of the tab strip: a frame without border; its caption names it.
QFrame* pageFrame(int index, const char* caption) {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("fraTiming%1").arg(index));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWindowTitle(QString::fromLatin1(caption));
    frame->setAccessibleName(frame->windowTitle());
    return frame;
}

// A box with its up-down beside it.
QWidget* boxWithArrows(QLineEdit* text, UpDown* upDown) {
    auto* pair = new QWidget;
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    row->addWidget(text);
    row->addWidget(upDown);
    return pair;
}

} // namespace

void frmTiming::BuildControls() {
    for (int i = 0; i < 5; ++i) {
        m_fraTmg[size_t(i)] = new QGroupBox(QString::fromLatin1(FrameCaptions[i]));
        m_fraTmg[size_t(i)]->setObjectName(QStringLiteral("fraTmg%1").arg(i));
    }
    m_tbsTiming = new QTabBar;
    m_tbsTiming->setObjectName(QStringLiteral("tbsTiming"));
    m_tbsTiming->addTab(QStringLiteral("&Timing Channels"));
    m_tbsTiming->addTab(QStringLiteral("&PLS Configuration"));
    // A click on a tab takes the focus, so that an edit in progress ends
    // (and is validated) before the page changes.
    m_tbsTiming->setFocusPolicy(Qt::StrongFocus);
    m_tbsTiming->setExpanding(false);

    m_fraTiming[0] = pageFrame(0, "Set Timing Channels");
    m_fraTiming[1] = pageFrame(1, "PLS Configuration");
    auto* channelPage = new QHBoxLayout(m_fraTiming[0]);
    channelPage->addWidget(BuildChannelPage());
    channelPage->addStretch();
    auto* configPage = new QHBoxLayout(m_fraTiming[1]);
    configPage->addWidget(BuildConfigPage());
    configPage->addStretch();

    m_cmdDefault = NewFocusButton();

    m_sbrMachineTiming = new QStatusBar;
    m_sbrMachineTiming->setObjectName(QStringLiteral("sbrMachineTiming"));
    m_sbrMachineTiming->setSizeGripEnabled(false);
    const char* const panelTexts[4] = {"RPM: ", "Position: ", "Offset: ", "Scale: "};
    for (int i = 0; i < 4; ++i) {
        m_panels[size_t(i)] = namedLabel(QString::fromLatin1(panelTexts[i]) + u'-',
                                         QStringLiteral("sbrMachineTimingPanel%1").arg(i + 1));
        m_panels[size_t(i)]->setMinimumWidth(140);
        m_sbrMachineTiming->addPermanentWidget(m_panels[size_t(i)], 1);
    }

    auto* window = new QVBoxLayout(this);
    window->addWidget(m_tbsTiming);
    window->addWidget(m_fraTiming[0], 1);
    window->addWidget(m_fraTiming[1], 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_cmdDefault);
    bottom->addStretch();
    window->addLayout(bottom);
    window->addWidget(m_sbrMachineTiming);

    // Tab order: the channel boxes row by row, the PLS channel, the offset,
    // the configuration tab's button, then the focus button.
    QList<QWidget*> order{m_tbsTiming};
    for (int n = 0; n < Channels; ++n)
        order << m_txtChannel[size_t(n)] << m_txtChannel[size_t(n + Channels)];
    order << m_txtTmg[1] << m_cmdRecallChan << m_cmdClearChan << m_txtTmg[0] << m_cmdSetOffset
          << m_cmdResetPLSConfig << m_cmdDefault;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QWidget* frmTiming::BuildChannelPage() {
    auto* channels = new QGridLayout(m_fraTmg[0]);
    m_lblChannel[Channels] = namedLabel(QStringLiteral("ON"), QStringLiteral("lblChannel8"));
    m_lblChannel[Channels + 1] = namedLabel(QStringLiteral("OFF"), QStringLiteral("lblChannel9"));
    channels->addWidget(m_lblChannel[Channels], 0, 1, Qt::AlignCenter);
    channels->addWidget(m_lblChannel[Channels + 1], 0, 2, Qt::AlignCenter);
    for (int n = 0; n < Channels; ++n) {
        auto* label = namedLabel(QString::fromLatin1(RegisterNames::TimingChannelLabels[size_t(n)]),
                                 QStringLiteral("lblChannel%1").arg(n));
        m_lblChannel[size_t(n)] = label;
        channels->addWidget(label, n + 1, 0, Qt::AlignRight);
        for (int column = 0; column < 2; ++column) {
            const int field = n + column * Channels;
            const int index = n + column * OffBoxIndex; // the box's own index
            m_txtChannel[size_t(field)] = numberBox(QStringLiteral("txtChannel%1").arg(index));
            m_updChannel[size_t(field)] = new UpDown(QStringLiteral("updChannel%1").arg(index));
            channels->addWidget(
                boxWithArrows(m_txtChannel[size_t(field)], m_updChannel[size_t(field)]), n + 1,
                column + 1);
        }
        label->setBuddy(m_txtChannel[size_t(n)]);
    }

    for (int i = 0; i < 2; ++i) {
        m_txtTmg[size_t(i)] = numberBox(QStringLiteral("txtTmg%1").arg(i));
        m_txtTmg[size_t(i)]->setText(QStringLiteral("0"));
        m_updTmg[size_t(i)] = new UpDown(QStringLiteral("updTmg%1").arg(i));
    }
    m_cmdRecallChan = button("&Recall Channel", QStringLiteral("cmdRecallChan"));
    m_cmdClearChan = button("&Clear Channel", QStringLiteral("cmdClearChan"));
    auto* plsChannel = new QHBoxLayout(m_fraTmg[2]);
    plsChannel->addWidget(boxWithArrows(m_txtTmg[1], m_updTmg[1]));
    plsChannel->addWidget(m_cmdRecallChan);
    plsChannel->addWidget(m_cmdClearChan);

    m_cmdSetOffset = button("Set &Offset", QStringLiteral("cmdSetOffset"));
    // Enter in the offset box moves here; a second Enter presses it.
    m_cmdSetOffset->setAutoDefault(true);
    auto* offset = new QHBoxLayout(m_fraTmg[1]);
    offset->addWidget(boxWithArrows(m_txtTmg[0], m_updTmg[0]));
    offset->addWidget(m_cmdSetOffset);

    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_fraTmg[0]);
    auto* lower = new QHBoxLayout;
    lower->addWidget(m_fraTmg[2]);
    lower->addWidget(m_fraTmg[1]);
    column->addLayout(lower);
    column->addStretch();
    return page;
}

QWidget* frmTiming::BuildConfigPage() {
    for (int i = 0; i < ConfigLabels; ++i) {
        const QString caption =
            i == 0   ? QStringLiteral("Number of PLS Channels:")
            : i == 1 ? QStringLiteral("PLS Program:")
                     : RegisterNames::channelName(i - 2) + QStringLiteral(" (msec):");
        m_lblCfgDescription[size_t(i)] =
            namedLabel(caption, QStringLiteral("lblCfgDescription%1").arg(i));
        m_lblPLSCfg[size_t(i)] = namedLabel(QString(), QStringLiteral("lblPLSCfg%1").arg(i));
        m_lblPLSCfg[size_t(i)]->setMinimumWidth(60);
        m_lblPLSCfg[size_t(i)]->setFrameShape(QFrame::Panel);
        m_lblPLSCfg[size_t(i)]->setFrameShadow(QFrame::Sunken);
    }
    auto* config = new QGridLayout(m_fraTmg[3]);
    for (int i = 0; i < 2; ++i) {
        config->addWidget(m_lblCfgDescription[size_t(i)], i, 0, Qt::AlignRight);
        config->addWidget(m_lblPLSCfg[size_t(i)], i, 1);
    }
    auto* speed = new QGridLayout(m_fraTmg[4]);
    for (int i = 2; i < ConfigLabels; ++i) {
        speed->addWidget(m_lblCfgDescription[size_t(i)], i - 2, 0, Qt::AlignRight);
        speed->addWidget(m_lblPLSCfg[size_t(i)], i - 2, 1);
    }
    m_cmdResetPLSConfig = button("&Reset PLS Config", QStringLiteral("cmdResetPLSConfig"));
    speed->addWidget(m_cmdResetPLSConfig, ConfigLabels - 2, 0, 1, 2);

    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_fraTmg[3]);
    column->addWidget(m_fraTmg[4]);
    column->addStretch();
    return page;
}

void frmTiming::ShowPage(int page) {
    m_fraTiming[0]->hide();
    m_fraTiming[1]->hide();
    m_fraTiming[size_t(page)]->show();
}
