#include "frmSetupComm.h"

#include "BoardSearch.h"
#include "DeviceText.h"
#include "ErrorText.h"
#include "FieldEditor.h"
#include "FocusButton.h"
#include "HistoryKeeper.h"
#include "NetworkConnection.h"
#include "PortSettingsFile.h"
#include "PortSettingsSave.h"
#include "Prompt.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "SerialAccess.h"
#include "SharedRoutines.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int PortMin = 1;
constexpr int PortMax = 99;

// A wrapped label that takes the width it is given: a word longer than that
// (a device path) is cut off rather than widening the window.
void ignoreWidth(QLabel* label) {
    QSizePolicy policy = label->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    label->setSizePolicy(policy);
}

} // namespace

frmSetupComm::frmSetupComm(ViewContext& context, SerialPortLister ports, QWidget* parent)
    : QDialog(parent), m_context(context), m_listPorts(std::move(ports)) {
    setObjectName(QStringLiteral("frmSetupComm"));
    setWindowTitle(QStringLiteral("Comm Port Settings"));
    setModal(true);
    buildLayout();
    Form_Load();
}

void frmSetupComm::buildLayout() {
    auto* fraCommPort = new QGroupBox(QStringLiteral("Comm Port"), this);
    fraCommPort->setObjectName(QStringLiteral("fraCommPort"));
    txtCommPort = new QLineEdit(fraCommPort);
    txtCommPort->setObjectName(QStringLiteral("txtCommPort"));
    txtCommPort->setMaximumWidth(60);
    updCommPort = new UpDown(QStringLiteral("updCommPort"), fraCommPort);
    auto* portRow = new QHBoxLayout(fraCommPort);
    portRow->addWidget(txtCommPort);
    portRow->addWidget(updCommPort);
    portRow->addStretch();

    auto* fraPortSpeed = new QGroupBox(QStringLiteral("Port Speed"), this);
    fraPortSpeed->setObjectName(QStringLiteral("fraPortSpeed"));
    auto* speedRow = new QHBoxLayout(fraPortSpeed);
    const std::array<QString, 2> speeds{Baud().text(), Baud::fast().text()};
    for (size_t i = 0; i < speeds.size(); ++i) {
        optPortSpeed[i] = new QRadioButton(speeds[i], fraPortSpeed);
        optPortSpeed[i]->setObjectName(QStringLiteral("optPortSpeed%1").arg(i));
        speedRow->addWidget(optPortSpeed[i]);
    }

    // Linux has no COM numbers: a USB adapter is known by its device.
    auto* fraDevice = new QGroupBox(QStringLiteral("Device"), this);
    fraDevice->setObjectName(QStringLiteral("fraDevice"));
    cboDevice = new QComboBox(fraDevice);
    cboDevice->setObjectName(QStringLiteral("cboDevice"));
    // The window keeps its width whatever the device text: a long one
    // scrolls in the box, and the lines below wrap within the width.
    cboDevice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboDevice->setMinimumContentsLength(36);
    lblDeviceHint = new QLabel(fraDevice);
    lblDeviceHint->setObjectName(QStringLiteral("lblDeviceHint"));
    lblDeviceHint->setWordWrap(true);
    ignoreWidth(lblDeviceHint);
    lblDeviceHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDeviceHint->hide();
    // A device the system does not list (a pseudo-terminal, an adapter's
    // by-id link) can be typed in; it is checked on Save.
    cboDevice->setEditable(true);
    cboDevice->setInsertPolicy(QComboBox::NoInsert);
    cmdFindBoard = new QPushButton(QStringLiteral("&Find Board"), fraDevice);
    cmdFindBoard->setObjectName(QStringLiteral("cmdFindBoard"));
    cmdRefresh = new QPushButton(QStringLiteral("&Refresh"), fraDevice);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    lblSearch = new QLabel(fraDevice);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    lblSearch->setWordWrap(true);
    ignoreWidth(lblSearch);
    lblSearch->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSearch->hide();
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(cmdFindBoard);
    searchRow->addWidget(cmdRefresh);
    searchRow->addStretch();
    auto* deviceBox = new QVBoxLayout(fraDevice);
    deviceBox->addWidget(cboDevice);
    deviceBox->addWidget(lblDeviceHint);
    deviceBox->addLayout(searchRow);
    deviceBox->addWidget(lblSearch);

    // Snapshots and faults are listed by the press a device is connected to.
    auto* pressRow = new QHBoxLayout;
    auto* lblPressName = new QLabel(QStringLiteral("Press &name:"), fraDevice);
    txtPressName = new QLineEdit(fraDevice);
    txtPressName->setObjectName(QStringLiteral("txtPressName"));
    txtPressName->setPlaceholderText(QStringLiteral("as the set-up history lists it"));
    txtPressName->setMaxLength(int(PressNameMaxLength));
    lblPressName->setBuddy(txtPressName);
    pressRow->addWidget(lblPressName);
    pressRow->addWidget(txtPressName, 1);
    deviceBox->addLayout(pressRow);

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // A click must not take the focus from the port box before the box is
    // checked: Save checks it itself and stays unclicked when it is refused.
    for (QPushButton* button : {cmdSave, cmdCancel, cmdFindBoard, cmdRefresh}) {
        button->setFocusPolicy(Qt::TabFocus);
        button->setAutoDefault(false);
    }
    FieldEditor::setCausesValidation(cmdCancel, false);
    m_focusButton = NewFocusButton();
    m_focusButton->setParent(this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(m_focusButton);
    auto* form = new QVBoxLayout(this);
    form->addWidget(fraCommPort);
    form->addWidget(fraPortSpeed);
    form->addWidget(fraDevice);
    form->addLayout(buttons);

    m_editor = new FieldEditor(m_context.prompt(), m_focusButton, this);
    FieldSettings port;
    port.min = PortMin;
    port.max = PortMax;
    port.value = FieldValue::ShownText;
    port.messageTitle = QStringLiteral("Comm Port");
    m_editor->addField(txtCommPort, updCommPort, port);
    m_editor->accept = [this](int, qint32, const QString&) {
        ShowAccessHint();
        return true;
    };
    m_editor->change = [this](int) { ShowAccessHint(); };

    connect(cmdSave, &QPushButton::clicked, this, &frmSetupComm::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetupComm::cmdCancel_Click);
    connect(cboDevice, &QComboBox::currentIndexChanged, this, [this] { ShowAccessHint(); });
    connect(cmdFindBoard, &QPushButton::clicked, this, &frmSetupComm::cmdFindBoard_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmSetupComm::cmdRefresh_Click);

    m_search = new BoardSearch(this);
    connect(m_search, &BoardSearch::trying, this,
            [this](const QString& device, int baud, int step, int steps) {
                const QString speed = baud ? QStringLiteral(" at %1 baud").arg(baud) : QString();
                lblSearch->setText(QStringLiteral("Trying %1%2 (%3 of %4)...")
                                       .arg(device, speed)
                                       .arg(step)
                                       .arg(steps));
            });
    connect(m_search, &BoardSearch::finished, this, &frmSetupComm::SearchFinished);
    // A closed window leaves no port open.
    connect(this, &QDialog::finished, m_search, &BoardSearch::cancel);
}

// The field protocol goes before the controls it watches: a focus change
// while the window's children are destroyed must not reach a half-gone window.
frmSetupComm::~frmSetupComm() {
    delete m_editor;
    m_editor = nullptr;
}

void frmSetupComm::Form_Load() {
    m_wasOnline = m_context.link().OnlineMode();
    m_ports = m_listPorts ? m_listPorts() : QList<SerialPortEntry>{};
    LoadPortSettings();
    adjustSize();
    CenterForm(this);
}

void frmSetupComm::LoadPortSettings() {
    PortSettings settings; // port 1 at 9600, no device
    const QString path = m_context.link().CommSettingsFile();
    if (PortSettingsFile::state(path) == PortSettingsFile::FileState::Unreadable) {
        QFile file(path);
        const bool opened = file.open(QIODevice::ReadOnly);
        const int number = opened ? int(QFileDevice::OpenError) : int(file.error());
        const QString description =
            opened ? QStringLiteral("Not a file: %1").arg(path) : file.errorString();
        m_context.prompt().message(QStringLiteral("SetupComm CurrentSettings"),
                                   ErrorText::numbered(number, description, QStringLiteral("\r\n")),
                                   Prompt::Icon::Information);
    } else if (const auto read = PortSettingsFile::read(path)) {
        settings = *read; // clamped to 1..99, and 9600 unless 19200
    }
    m_fileDevice = QtSerialPort::deviceFor(settings);
    m_pressDevice.clear();
    txtPressName->clear(); // the device's own name shows with it
    txtCommPort->setText(QString::number(settings.portNumber));
    const bool fast = settings.speed().isFast();
    optPortSpeed[1]->setChecked(fast);
    optPortSpeed[0]->setChecked(!fast);
    FillDeviceList(settings.device);
}

void frmSetupComm::FillDeviceList(const QString& device) {
    const QSignalBlocker quiet(cboDevice);
    cboDevice->clear();
    cboDevice->addItem(QStringLiteral("By port number"), QString());
    for (const SerialPortEntry& port : std::as_const(m_ports))
        cboDevice->addItem(port.label(), port.device);
    if (!device.isEmpty() && cboDevice->findData(device) < 0) {
        // Named by the file but not reported by the system (unplugged, a
        // pseudo-terminal): kept as it is.
        SerialPortEntry named;
        named.device = device;
        named.description = NetworkDevice::isNetwork(device)
                                ? QStringLiteral("serial device server")
                            : QFileInfo::exists(device) ? QStringLiteral("not listed by the system")
                                                        : QStringLiteral("not present now");
        named.accessDenied = SerialAccess::denied(device);
        m_ports.append(named);
        cboDevice->addItem(named.label(), device);
    }
    cboDevice->setCurrentIndex(std::max(0, cboDevice->findData(device)));
    ShowAccessHint();
    ShowSearchState();
}

QString frmSetupComm::ChosenDevice() const {
    const int listed = cboDevice->findText(cboDevice->currentText());
    if (listed >= 0)
        return cboDevice->itemData(listed).toString();
    return cboDevice->currentText().trimmed();
}

bool frmSetupComm::DeviceTyped() const {
    return cboDevice->findText(cboDevice->currentText()) < 0 &&
           !cboDevice->currentText().trimmed().isEmpty();
}

bool frmSetupComm::Searching() const {
    return m_search->running();
}

void frmSetupComm::ShowSearchState() {
    const bool searching = Searching();
    const bool online = m_context.link().OnlineMode();
    cmdFindBoard->setText(searching ? QStringLiteral("&Stop Search")
                                    : QStringLiteral("&Find Board"));
    cmdFindBoard->setEnabled(searching || !online);
    cmdFindBoard->setToolTip(online ? QStringLiteral("Online, the link has the port: go offline "
                                                     "to search")
                                    : QString());
    cmdRefresh->setEnabled(!searching);
    cmdSave->setEnabled(!searching);
}

void frmSetupComm::cmdRefresh_Click() {
    const QString typed = DeviceTyped() ? cboDevice->currentText() : QString();
    const QString device = ChosenDevice();
    m_ports = m_listPorts ? m_listPorts() : QList<SerialPortEntry>{};
    FillDeviceList(typed.isEmpty() ? device : QString());
    if (!typed.isEmpty())
        cboDevice->setEditText(typed);
}

void frmSetupComm::cmdFindBoard_Click() {
    if (Searching()) {
        m_search->cancel();
        return;
    }
    if (m_context.link().OnlineMode())
        return;
    QStringList devices;
    for (const SerialPortEntry& port : std::as_const(m_ports))
        devices.append(port.device);
    devices.append(m_fileDevice);
    lblSearch->setText(QStringLiteral("Searching..."));
    lblSearch->show();
    m_search->start(BoardSearch::candidates(devices, ChosenDevice()));
    ShowSearchState();
}

void frmSetupComm::SearchFinished() {
    ShowSearchState();
    QStringList lines;
    const auto& boards = m_search->boards();
    if (m_search->cancelled()) {
        lines << QStringLiteral("Search stopped.");
    } else if (boards.isEmpty()) {
        lines << QStringLiteral("No board found. ") + m_search->nothingFound();
    } else {
        FillFoundBoard(boards[0].device, boards[0].baud);
        lines << QStringLiteral("Board found on %1; Save keeps it.").arg(FoundAt(boards[0]));
        for (qsizetype i = 1; i < boards.size(); ++i)
            lines << QStringLiteral("Another board answered on %1.").arg(FoundAt(boards[i]));
        for (const BoardSearch::Unopened& u : m_search->unopened())
            lines << QStringLiteral("Not opened: %1 (%2)").arg(u.device, u.reason);
    }
    lblSearch->setText(lines.join(u'\n'));
    lblSearch->show();
    // A wrapped label asks for no more height than one line: the window
    // grows to the lines it now shows, so that none is cut off.
    lblSearch->setMinimumHeight(lblSearch->heightForWidth(cboDevice->width()));
    adjustSize();
}

// The settings as the window shows them: a device the link knows by its
// port number goes in as the number.
void frmSetupComm::FillFoundBoard(const QString& device, int baud) {
    if (baud) { // else the server's speed: the link's speed does not matter
        optPortSpeed[1]->setChecked(baud == Baud::Fast);
        optPortSpeed[0]->setChecked(baud != Baud::Fast);
    }
    static const QRegularExpression numbered(QStringLiteral("^/dev/ttyS(\\d+)$"));
    const QRegularExpressionMatch match = numbered.match(device);
    const int port = match.hasMatch() ? match.captured(1).toInt() + 1 : 0;
    if (port >= PortMin && port <= PortMax) {
        txtCommPort->setText(QString::number(port));
        cboDevice->setCurrentIndex(0);
        return;
    }
    if (cboDevice->findData(device) < 0)
        cboDevice->addItem(device, device);
    cboDevice->setCurrentIndex(cboDevice->findData(device));
}

// The device the link will open, as this computer lists it: the chosen one,
// or the port number's own.
void frmSetupComm::ShowAccessHint() {
    PortSettings settings;
    settings.portNumber =
        std::clamp(FieldEditor::WholeValue(txtCommPort->text()), qint32(PortMin), qint32(PortMax));
    settings.device = ChosenDevice();
    const QString device = QtSerialPort::deviceFor(settings);
    ShowPressName(device);
    const auto entry = std::find_if(m_ports.cbegin(), m_ports.cend(),
                                    [&](const SerialPortEntry& e) { return e.device == device; });
    const QString hint =
        (entry != m_ports.cend() && entry->accessDenied) ? SerialAccess::advice(device) : QString();
    lblDeviceHint->setText(hint);
    lblDeviceHint->setVisible(!hint.isEmpty());
}

void frmSetupComm::cmdSave_Click() {
    // As a control that causes validation: a refused port box keeps the focus
    // and nothing is saved.
    if (!m_editor->EndEdit())
        return;
    SaveSettings();
}

QString frmSetupComm::FoundAt(const BoardSearch::Board& board) {
    return board.baud ? QStringLiteral("%1 at %2 baud").arg(board.device).arg(board.baud)
                      : QStringLiteral("%1 (its server sets the speed)").arg(board.device);
}

// A typed serial device server is tried as well: online, going online again
// tries it; offline, a connection made and closed at once.
std::optional<QString> frmSetupComm::TypedDeviceProblem() const {
    const QString device = ChosenDevice();
    if (const auto problem = PortSettingsSave::deviceProblem(device))
        return problem;
    if (!NetworkDevice::isNetwork(device) || m_wasOnline)
        return std::nullopt;
    NetworkConnection trial;
    trial.start(std::get<NetworkDevice::Address>(NetworkDevice::parse(device)),
                ChosenSpeed().bitsPerSecond());
    if (!trial.waitUntilSettled())
        return QStringLiteral("Cannot reach %1: %2.")
            .arg(DeviceText::shown(device), trial.failure());
    return std::nullopt;
}

QString frmSetupComm::PressName() const {
    return txtPressName->text().trimmed();
}

// The press name goes with its device: another device chosen shows its own
// name (or none), unless the user has typed one for the device to be saved.
void frmSetupComm::ShowPressName(const QString& device) {
    if (device == m_pressDevice || txtPressName->isModified())
        return;
    m_pressDevice = device;
    QString name;
    if (HistoryKeeper* keeper = m_context.history()) {
        const auto known = keeper->history().PressName(device);
        if (const QString* found = std::get_if<QString>(&known))
            name = *found;
    }
    txtPressName->setText(name);
}

void frmSetupComm::SavePressName(const QString& device) {
    HistoryKeeper* keeper = m_context.history();
    if (!keeper || (device == m_pressDevice && !txtPressName->isModified()))
        return;
    // A history that cannot be kept is said once; the settings are saved.
    if (const auto failed = keeper->history().SetPressName(device, PressName()))
        keeper->Failed(*failed);
}

void frmSetupComm::SaveError(int number, const QString& description) {
    // The link was closed for the save: the program shows it is offline.
    m_context.prompt().message(QStringLiteral("SetupComm"),
                               ErrorText::numbered(number, description, QStringLiteral("\r\n")),
                               Prompt::Icon::Information);
}

Baud frmSetupComm::ChosenSpeed() const {
    return optPortSpeed[1]->isChecked() ? Baud::fast() : Baud();
}

bool frmSetupComm::SaveSettings() {
    RSComm& link = m_context.link();
    if (link.Busy() || Searching())
        return false;
    if (DeviceTyped()) {
        if (const auto problem = TypedDeviceProblem()) {
            m_context.prompt().message(QStringLiteral("Comm Port"), *problem,
                                       Prompt::Icon::Information);
            return false;
        }
    }
    if (const auto problem = PressNameProblem(PressName())) {
        m_context.prompt().message(QStringLiteral("Comm Port"),
                                   QStringLiteral("The press name cannot be kept: ") + *problem +
                                       u'.',
                                   Prompt::Icon::Information);
        txtPressName->setFocus();
        return false;
    }
    link.CloseRSComm();

    PortSettings settings;
    settings.portNumber =
        std::clamp(FieldEditor::WholeValue(txtCommPort->text()), qint32(PortMin), qint32(PortMax));
    settings.baud = ChosenSpeed().text();
    settings.device = ChosenDevice();

    if (const auto failed =
            PortSettingsSave::save(link.CommSettingsFile(), m_context.programFolder(), settings)) {
        SaveError(failed->number, failed->description);
        return false;
    }
    SavePressName(QtSerialPort::deviceFor(settings));

    // Online before: the link opens again with the new settings.
    if (m_wasOnline && !link.GoOnline())
        return false;
    accept();
    return true;
}
