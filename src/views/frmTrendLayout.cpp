// The Trend view's controls: the chart on the left; the registers, the time
// window, Pause and the recording on the right.
#include "frmTrend.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

void frmTrend::buildLayout() {
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis;
    m_timeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    m_timeAxis->setTitleText(QStringLiteral("Time"));
    m_valueAxis = new QValueAxis;
    m_valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    m_chvTrend = named(new QChartView(m_chart), "chvTrend");
    m_chvTrend->setRenderHint(QPainter::Antialiasing);
    m_chvTrend->setMinimumSize(480, 320);
    m_lblNoSamples = named(new QLabel, "lblNoSamples");
    m_lblNoSamples->setAlignment(Qt::AlignCenter);
    m_lblNoSamples->setWordWrap(true);
    m_lblNoSamples->setStyleSheet(QStringLiteral("background: white; color: rgb(96, 96, 96)"));
    auto* chartArea = new QWidget;
    m_chartPages = new QStackedLayout(chartArea);
    m_chartPages->addWidget(m_chvTrend);
    m_chartPages->addWidget(m_lblNoSamples);

    auto* fraRegisters = named(new QGroupBox(QStringLiteral("Registers")), "fraRegisters");
    m_lstRegisters = named(new QListWidget, "lstRegisters");
    m_lstRegisters->setToolTip(QStringLiteral("Untick a register to hide its line"));
    // A long name wraps rather than hiding its value off to the right.
    m_lstRegisters->setWordWrap(true);
    m_lstRegisters->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Wide enough for a name and its value: "W1042 Brake Response (High Speed): 27°".
    m_lstRegisters->setMinimumWidth(m_lstRegisters->fontMetrics().horizontalAdvance(
                                        QStringLiteral("W1042 Brake Response (High Speed): 27°")) +
                                    48);
    m_txtAddress = named(new QLineEdit, "txtAddress");
    m_txtAddress->setPlaceholderText(QStringLiteral("Address, e.g. W1020"));
    // Access keys apart from each other and from the main window's menus
    // (File, Edit, View, Window, Help), which share the keyboard with them.
    m_cmdAdd = named(new QPushButton(QStringLiteral("&Add")), "cmdAdd");
    m_cmdRemove = named(new QPushButton(QStringLiteral("&Remove")), "cmdRemove");
    auto* registers = new QGridLayout(fraRegisters);
    registers->addWidget(m_lstRegisters, 0, 0, 1, 2);
    registers->addWidget(m_txtAddress, 1, 0);
    registers->addWidget(m_cmdAdd, 1, 1);
    registers->addWidget(m_cmdRemove, 2, 1);

    auto* fraView = named(new QGroupBox(QStringLiteral("Time Window")), "fraView");
    m_cboWindow = named(new QComboBox, "cboWindow");
    for (int minutes : WindowMinutes)
        m_cboWindow->addItem(minutes == 1 ? QStringLiteral("Last minute")
                                          : QStringLiteral("Last %1 minutes").arg(minutes));
    m_cmdPause = named(new QPushButton(QStringLiteral("&Pause")), "cmdPause");
    m_cmdPause->setCheckable(true);
    m_cmdPause->setToolTip(QStringLiteral("Freeze the chart; sampling and recording go on"));
    auto* view = new QVBoxLayout(fraView);
    view->addWidget(m_cboWindow);
    view->addWidget(m_cmdPause);

    auto* fraInterval = named(new QGroupBox(QStringLiteral("Sampling")), "fraInterval");
    m_cboInterval = named(new QComboBox, "cboInterval");
    for (int ms : IntervalsMs)
        m_cboInterval->addItem(ms == 0      ? QStringLiteral("As fast as possible")
                               : ms < 1000  ? QStringLiteral("Every %1 ms").arg(ms)
                               : ms == 1000 ? QStringLiteral("Every second")
                                            : QStringLiteral("Every %1 seconds").arg(ms / 1000));
    m_cboInterval->setToolTip(
        QStringLiteral("How often the registers are read: the chart and the recording follow"));
    auto* interval = new QVBoxLayout(fraInterval);
    interval->addWidget(m_cboInterval);

    auto* fraRecord = named(new QGroupBox(QStringLiteral("Recording")), "fraRecord");
    m_cmdRecord = named(new QPushButton(QStringLiteral("Re&cord...")), "cmdRecord");
    m_cmdStop = named(new QPushButton(QStringLiteral("S&top")), "cmdStop");
    m_lblRecording = named(new QLabel, "lblRecording");
    m_lblRecording->setWordWrap(true);
    auto* record = new QGridLayout(fraRecord);
    record->addWidget(m_cmdRecord, 0, 0);
    record->addWidget(m_cmdStop, 0, 1);
    record->addWidget(m_lblRecording, 1, 0, 1, 2);

    m_lblOffline = named(new QLabel(QStringLiteral("The Trend window needs the board online: "
                                                   "choose Online Data (F3).")),
                         "lblOffline");
    m_lblOffline->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold"));
    m_lblOffline->hide();
    m_lblHover = named(new QLabel, "lblHover");

    auto* side = new QVBoxLayout;
    side->addWidget(fraRegisters, 1);
    side->addWidget(fraView);
    side->addWidget(fraInterval);
    side->addWidget(fraRecord);
    auto* left = new QVBoxLayout;
    left->addWidget(m_lblOffline);
    left->addWidget(chartArea, 1);
    left->addWidget(m_lblHover);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(side);

    connect(m_cmdAdd, &QPushButton::clicked, this, [this] { addRegister(m_txtAddress->text()); });
    connect(m_txtAddress, &QLineEdit::returnPressed, this,
            [this] { addRegister(m_txtAddress->text()); });
    connect(m_cmdRemove, &QPushButton::clicked, this,
            [this] { removeRegister(m_lstRegisters->currentRow()); });
    connect(m_lstRegisters, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = m_lstRegisters->row(item);
        if (row >= 0 && row < m_registers.size())
            setVisible(row, item->checkState() == Qt::Checked);
    });
    connect(m_cboWindow, &QComboBox::currentIndexChanged, this, [this] {
        refreshChart();
        saveSettings();
    });
    connect(m_cboInterval, &QComboBox::currentIndexChanged, this, [this] {
        if (m_settingsRestored)
            intervalChanged();
    });
    connect(m_cmdPause, &QPushButton::toggled, this, [this](bool paused) {
        if (!paused)
            refreshChart();
    });
    connect(m_cmdRecord, &QPushButton::clicked, this, &frmTrend::chooseFileAndRecord);
    connect(m_cmdStop, &QPushButton::clicked, this, &frmTrend::stopRecording);
}
