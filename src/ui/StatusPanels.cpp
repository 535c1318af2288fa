#include "StatusPanels.h"

#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QLocale>

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("sbrMain"));
    setSizeGripEnabled(true);
    const char* const keys[] = {"STATUS", "MODE", "DATE", "TIME"};
    const char* const tips[] = {"System Status Display Messages", "Communications Mode", "", ""};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(keys[i]));
        label->setToolTip(QString::fromLatin1(tips[i]));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setContentsMargins(4, 0, 4, 0);
        label->installEventFilter(this);
        m_panels[size_t(i)] = label;
        // Permanent, so that menu status tips never hide the panels.
        addPermanentWidget(label, i == 0 ? 1 : 0);
    }
    setPanelText(Status, QStringLiteral("System Message:"));
    setPanelText(Mode, QStringLiteral("OFFLINE"));
    m_panels[1]->setMinimumWidth(80);
    m_panels[1]->setAlignment(Qt::AlignCenter);
    updateClock();
    connect(&m_clock, &QTimer::timeout, this, &StatusPanels::updateClock);
    m_clock.start(1000);
}

QString StatusPanels::panelText(int index) const {
    return panel(index)->text();
}

void StatusPanels::setPanelText(int index, const QString& text) {
    if (panel(index)->text() != text)
        panel(index)->setText(text);
}

void StatusPanels::updateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    setPanelText(Date, locale.toString(now.date(), QLocale::ShortFormat));
    setPanelText(Time, locale.toString(now.time(), QLocale::ShortFormat));
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 4; ++i) {
            if (watched == m_panels[size_t(i)])
                emit PanelDblClick(i + 1);
        }
    }
    return QStatusBar::eventFilter(watched, event);
}
