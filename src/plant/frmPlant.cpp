#include "frmPlant.h"

#include "BrokerClient.h"
#include "PortSettingsFile.h"
#include "PortSettingsSave.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SettingsLocation.h"
#include "ViewContext.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHostInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString BrokerKey = QStringLiteral("Plant/broker");
const QString Title = QStringLiteral("Plant");

} // namespace

frmPlant::frmPlant(ViewContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context) {
    setObjectName(QStringLiteral("frmPlant"));
    setWindowTitle(Title);
    resize(1000, 400);

    m_lblBroker = new QLabel(this);
    m_lblBroker->setObjectName(QStringLiteral("lblBroker"));
    m_cmdBroker = new QPushButton(QStringLiteral("&Broker..."), this);
    m_cmdBroker->setObjectName(QStringLiteral("cmdBroker"));
    m_lblConnection = new QLabel(this);
    m_lblConnection->setObjectName(QStringLiteral("lblConnection"));
    m_lstPresses = new QTableView(this);
    m_lstPresses->setObjectName(QStringLiteral("lstPresses"));
    m_lstPresses->setModel(&m_model);
    m_lstPresses->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstPresses->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstPresses->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstPresses->verticalHeader()->hide();
    // The fault's text takes what room is left; it shows whole in its tip.
    m_lstPresses->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lstPresses->horizontalHeader()->setSectionResizeMode(PlantModel::Fault, QHeaderView::Stretch);

    auto* top = new QHBoxLayout;
    top->addWidget(m_lblBroker, 1);
    top->addWidget(m_cmdBroker);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_lstPresses, 1);
    layout->addWidget(m_lblConnection);

    connect(m_cmdBroker, &QPushButton::clicked, this, &frmPlant::cmdBroker_Click);
    connect(m_lstPresses, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { lstPresses_DoubleClick(index.row()); });
    // "Last heard" counts on while nothing arrives.
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this,
            [this] { m_model.setNow(QDateTime::currentDateTime()); });
    m_clock.start();
    m_model.setNow(QDateTime::currentDateTime());
}

frmPlant::~frmPlant() = default;

QString frmPlant::SavedBroker() {
    return QSettings(SettingsLocation::userWindowSettings(), QSettings::IniFormat)
        .value(BrokerKey)
        .toString();
}

QString frmPlant::connectionText() const {
    return m_lblConnection->text();
}

void frmPlant::Start() {
    const QString saved = SavedBroker();
    if (saved.isEmpty())
        cmdBroker_Click();
    else
        Connect(saved);
}

void frmPlant::cmdBroker_Click() {
    const QString current = SavedBroker();
    for (;;) {
        const auto typed = m_context.prompt().input(
            Title,
            QStringLiteral("The plant's MQTT broker, as mqtt://HOST:PORT (mqtts:// for TLS), "
                           "followed by /PREFIX when its topics do not start with telvane:"),
            current.isEmpty() ? DefaultBroker : current);
        if (!typed)
            return;
        const auto address = BrokerAddress::parse(*typed);
        if (const QString* why = std::get_if<QString>(&address)) {
            m_context.prompt().message(Title, *why, Prompt::Icon::Information);
            continue;
        }
        const QString url = typed->trimmed();
        QSettings(SettingsLocation::userWindowSettings(), QSettings::IniFormat)
            .setValue(BrokerKey, url);
        Connect(url);
        return;
    }
}

void frmPlant::Connect(const QString& url) {
    const auto parsed = BrokerAddress::parse(url);
    if (const QString* why = std::get_if<QString>(&parsed)) {
        m_lblConnection->setText(*why);
        return;
    }
    const BrokerAddress address = std::get<BrokerAddress>(parsed);
    m_topic = address.path.isEmpty() ? DefaultTopic : address.path;
    m_lblBroker->setText(
        QStringLiteral("Broker: %1   Topics: %2/PRESS/...").arg(address.url(), m_topic));
    m_model.clear();

    BrokerClient::Options options;
    options.address = address;
    // One connection per window; the broker takes no two clients of one id.
    options.clientId = QStringLiteral("telvane-plant-%1-%2")
                           .arg(QHostInfo::localHostName())
                           .arg(QCoreApplication::applicationPid())
                           .left(64);
    options.subscriptions = Plant::Topics::pressFilters(m_topic);
    m_client = std::make_unique<BrokerClient>(options);
    connect(m_client.get(), &BrokerClient::connected, this,
            [this] { m_lblConnection->setText(QStringLiteral("Connected.")); });
    connect(m_client.get(), &BrokerClient::connectionLost, this, [this](const QString& why) {
        m_lblConnection->setText(QStringLiteral("Connection lost (%1); trying again...").arg(why));
    });
    connect(
        m_client.get(), &BrokerClient::connectFailed, this,
        [this](const QString& why, int retryMs) {
            m_lblConnection->setText(
                QStringLiteral("%1; trying again in %2 s.").arg(why).arg((retryMs + 999) / 1000));
        });
    connect(m_client.get(), &BrokerClient::messageArrived, this, &frmPlant::MessageArrived);
    m_lblConnection->setText(QStringLiteral("Connecting to %1...").arg(address.url()));
    m_client->start();
}

void frmPlant::MessageArrived(const QString& topic, const QByteArray& payload) {
    const auto parsed = Plant::Topics::parse(m_topic, topic);
    if (!parsed)
        return;
    // A message that does not read is left out; the press's next one will.
    if (parsed->kind == u"status") {
        if (const auto status = Plant::PressStatus::fromJson(payload))
            m_model.statusArrived(parsed->press, *status);
    } else if (parsed->kind == u"sample") {
        if (const auto sample = Plant::PressSample::fromJson(payload))
            m_model.sampleArrived(parsed->press, *sample);
    }
}

void frmPlant::lstPresses_DoubleClick(int row) {
    if (row < 0 || row >= m_model.rowCount() || !m_model.status(row))
        return;
    const Plant::PressStatus& status = *m_model.status(row);
    RSComm& link = m_context.link();
    // Never inside another transaction's message box.
    if (status.device.isEmpty() || link.Busy())
        return;
    if (!m_context.SaveOrDiscardChanges())
        return;
    PortSettings settings =
        PortSettingsFile::read(link.CommSettingsFile()).value_or(PortSettings{});
    settings.device = status.device;
    settings.baud = QString::number(status.baud);
    link.CloseRSComm();
    if (const auto failed =
            PortSettingsSave::save(link.CommSettingsFile(), m_context.programFolder(), settings)) {
        m_context.prompt().message(Title,
                                   QStringLiteral("Error Number = ") +
                                       QString::number(failed->number) +
                                       QStringLiteral("\r\n\r\n") + failed->description,
                                   Prompt::Icon::Information);
        m_context.GoOffline();
        return;
    }
    link.GoOnline(); // opens the link on the press's device
}
