#include "frmSetupComm.h"

#include "FieldEditor.h"
#include "FocusButton.h"
#include "PortSettingsFile.h"
#include "ProgramFolder.h"
#include "Prompt.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "SharedRoutines.h"
#include "UpDown.h"
#include "ViewContext.h"
#include "WholeFile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace {

constexpr int PortMin = 1;
constexpr int PortMax = 99;

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
    const std::array<QString, 2> speeds{QStringLiteral("9600"), QStringLiteral("19200")};
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
    cboDevice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblDeviceHint = new QLabel(fraDevice);
    lblDeviceHint->setObjectName(QStringLiteral("lblDeviceHint"));
    lblDeviceHint->setWordWrap(true);
    lblDeviceHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDeviceHint->hide();
    auto* deviceBox = new QVBoxLayout(fraDevice);
    deviceBox->addWidget(cboDevice);
    deviceBox->addWidget(lblDeviceHint);

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // A click must not take the focus from the port box before the box is
    // checked: Save checks it itself and stays unclicked when it is refused.
    for (QPushButton* button : {cmdSave, cmdCancel}) {
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
    for (const char* folder : {"KOR51", "KOR96", "ZUZ51"})
        m_boardProgramFolders.append(
            ProgramFolder::resolve(m_context.programFolder(), QString::fromLatin1(folder)));
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
                                   QStringLiteral("Error Number = ") + QString::number(number) +
                                       QStringLiteral("\r\n\r\n") + description,
                                   Prompt::Icon::Information);
    } else if (const auto read = PortSettingsFile::read(path)) {
        settings = *read; // clamped to 1..99, and 9600 unless 19200
    }
    txtCommPort->setText(QString::number(settings.portNumber));
    const bool fast = settings.baud == u"19200";
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
        named.description = QStringLiteral("not present now");
        named.accessDenied = SerialAccessDenied(device);
        m_ports.append(named);
        cboDevice->addItem(named.label(), device);
    }
    cboDevice->setCurrentIndex(std::max(0, cboDevice->findData(device)));
    ShowAccessHint();
}

QString frmSetupComm::ChosenDevice() const {
    return cboDevice->currentData().toString();
}

// The device the link will open, as this computer lists it: the chosen one,
// or the port number's own.
void frmSetupComm::ShowAccessHint() {
    PortSettings settings;
    settings.portNumber =
        std::clamp(FieldEditor::WholeValue(txtCommPort->text()), qint32(PortMin), qint32(PortMax));
    settings.device = ChosenDevice();
    const QString device = QtSerialPort::deviceFor(settings);
    const auto entry = std::find_if(m_ports.cbegin(), m_ports.cend(),
                                    [&](const SerialPortEntry& e) { return e.device == device; });
    const QString hint = (entry != m_ports.cend() && entry->accessDenied)
                             ? QtSerialPort::permissionHint(device).trimmed()
                             : QString();
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

void frmSetupComm::SaveError(int number, const QString& description) {
    m_context.prompt().message(QStringLiteral("SetupComm"),
                               QStringLiteral("Error Number = ") + QString::number(number) +
                                   QStringLiteral("\r\n\r\n") + description,
                               Prompt::Icon::Information);
    // The link was closed for the save: the program shows it is offline.
    if (m_wasOnline)
        m_context.ApplyOnlineMode();
}

bool frmSetupComm::SaveSettings() {
    RSComm& link = m_context.link();
    if (link.Busy())
        return false;
    link.CloseRSComm();

    PortSettings settings;
    settings.portNumber =
        std::clamp(FieldEditor::WholeValue(txtCommPort->text()), qint32(PortMin), qint32(PortMax));
    settings.baud = optPortSpeed[1]->isChecked() ? QStringLiteral("19200") : QStringLiteral("9600");
    settings.device = ChosenDevice();

    const QString path = link.CommSettingsFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (const auto failed = WriteWholeFile(path, PortSettingsFile::printedLine(settings))) {
        SaveError(failed->number, failed->description);
        return false;
    }
    const QByteArray portIndex = QByteArray::number(settings.portNumber - 1) + "\r\n";
    for (const QString& folder : std::as_const(m_boardProgramFolders)) {
        if (!QFileInfo(folder).isDir())
            continue;
        const QString sfg = ProgramFolder::resolve(folder, QStringLiteral("KORVEL.SFG"));
        if (const auto failed = WriteWholeFile(sfg, portIndex)) {
            SaveError(failed->number, failed->description);
            return false;
        }
    }

    if (m_wasOnline) {
        link.setOnlineMode(true);
        m_context.ApplyOnlineMode(); // opens the link with the new settings
        if (!link.OnlineMode()) {
            link.setOnlineMode(false);
            return false;
        }
    }
    accept();
    return true;
}
