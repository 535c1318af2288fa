#include "BrokerClient.h"

#include <mqtt/async_client.h>

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <mutex>

// Completion of a Paho request, on a Paho thread.
class BrokerClient::Listener final : public mqtt::iaction_listener {
public:
    using Done = std::function<void(const mqtt::token&, bool ok)>;
    explicit Listener(Done done) : m_done(std::move(done)) {}
    void on_success(const mqtt::token& token) override { m_done(token, true); }
    void on_failure(const mqtt::token& token) override { m_done(token, false); }

private:
    Done m_done;
};

// What Paho's threads reach of this object: calls queued to its thread
// while it lives, none once it is going.
struct BrokerClient::Owner {
    std::mutex mutex;
    BrokerClient* client = nullptr;

    template <typename F> void post(F call) {
        std::lock_guard lock(mutex);
        if (client)
            QMetaObject::invokeMethod(client, std::move(call), Qt::QueuedConnection);
    }
};

namespace {

// The broker's answer to a refused connection (MQTT 3.1.1), in words.
QString refusal(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("the broker does not speak MQTT 3.1.1");
    case 2:
        return QStringLiteral("the broker refused the client id");
    case 3:
        return QStringLiteral("the broker is unavailable");
    case 4:
        return QStringLiteral("the broker refused the login: bad user name or password");
    case 5:
        return QStringLiteral("the broker refused the login: not authorized");
    default:
        return {};
    }
}

void* tagContext(qint64 tag) {
    // Paho hands a pointer-sized context back with each completion; the tag
    // travels in it, so that no table is shared with Paho's threads.
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(tag));
}

} // namespace

BrokerClient::BrokerClient(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_owner(std::make_shared<Owner>()),
      m_retryMs(m_options.retryMinMs) {
    m_owner->client = this;
    const std::shared_ptr<Owner> owner = m_owner;
    m_client = std::make_unique<mqtt::async_client>(m_options.address.serverUri(),
                                                    m_options.clientId.toStdString());
    m_connectListener =
        std::make_unique<Listener>([this, owner](const mqtt::token& token, bool ok) {
            const int code = token.get_return_code();
            owner->post([this, ok, code] { onConnectDone(ok, code); });
        });
    m_deliveryListener =
        std::make_unique<Listener>([this, owner](const mqtt::token& token, bool ok) {
            if (!ok)
                return; // a message not delivered is sent again after the next connection
            const qint64 tag =
                static_cast<qint64>(reinterpret_cast<std::intptr_t>(token.get_user_context()));
            owner->post([this, tag] { emit delivered(tag); });
        });
    m_client->set_connected_handler(
        [this, owner](const std::string&) { owner->post([this] { onConnected(); }); });
    m_client->set_connection_lost_handler([this, owner](const std::string& cause) {
        const QString text = QString::fromStdString(cause);
        owner->post([this, text] { onConnectionLost(text); });
    });
    m_client->set_message_callback([this, owner](mqtt::const_message_ptr message) {
        const QString topic = QString::fromStdString(message->get_topic());
        const std::string& payload = message->get_payload();
        const QByteArray bytes(payload.data(), qsizetype(payload.size()));
        owner->post([this, topic, bytes] { emit messageArrived(topic, bytes); });
    });
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &BrokerClient::tryConnect);
}

BrokerClient::~BrokerClient() {
    stop(0);
    {
        // No callback reaches this object from here on.
        std::lock_guard lock(m_owner->mutex);
        m_owner->client = nullptr;
    }
    m_client.reset();
}

void BrokerClient::start() {
    m_stopped = false;
    tryConnect();
}

void BrokerClient::tryConnect() {
    if (m_stopped || m_connected)
        return;
    using std::chrono::seconds;
    auto options = mqtt::connect_options_builder()
                       .mqtt_version(MQTTVERSION_3_1_1)
                       .clean_session(true)
                       .keep_alive_interval(seconds(20))
                       .connect_timeout(seconds(10))
                       // Paho counts these in whole seconds.
                       .automatic_reconnect(seconds(std::max(1, m_options.retryMinMs / 1000)),
                                            seconds(std::max(1, m_options.retryMaxMs / 1000)))
                       .finalize();
    if (!m_options.willTopic.isEmpty())
        options.set_will(mqtt::will_options(m_options.willTopic.toStdString(),
                                            m_options.willPayload.constData(),
                                            size_t(m_options.willPayload.size()), 1, true));
    if (!m_options.username.isEmpty()) {
        options.set_user_name(m_options.username.toStdString());
        options.set_password(m_options.password.toStdString());
    }
    if (m_options.address.tls) {
        auto ssl = mqtt::ssl_options_builder()
                       .enable_server_cert_auth(true)
                       .verify(true) // the certificate must name the host
                       .finalize();
        if (!m_options.caFile.isEmpty())
            ssl.set_trust_store(m_options.caFile.toStdString());
        options.set_ssl(std::move(ssl));
    }
    try {
        m_connectToken = m_client->connect(options, nullptr, *m_connectListener);
    } catch (const mqtt::exception& e) {
        const QString why = QString::fromStdString(e.what());
        QMetaObject::invokeMethod(
            this, [this, why] { retryLater(why); }, Qt::QueuedConnection);
    }
}

void BrokerClient::onConnectDone(bool ok, int code) {
    if (ok || m_stopped)
        return; // onConnected follows a success
    // Paho says no more than a code; the broker's refusal or the TLS
    // layer's complaint is what a user can act on.
    QString said;
    try {
        if (m_connectToken)
            m_connectToken->try_wait(); // done: it throws with what Paho said
    } catch (const mqtt::exception& e) {
        said = QString::fromStdString(e.get_message());
    }
    QString why = refusal(code);
    if (!why.isEmpty()) {
        retryLater(why);
        return;
    }
    why = QStringLiteral("no broker answers at %1%2")
              .arg(m_options.address.url(),
                   said.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(said));
    if (m_options.address.tls && QSslSocket::supportsSsl())
        explainTls(why);
    else
        retryLater(why);
}

// Paho tells a TLS failure from a broker that is not there by neither code
// nor words: a handshake of our own, checked as Paho checks it (the CA
// file or the system's certificates, the host's name), says which.
void BrokerClient::explainTls(const QString& fallback) {
    auto* probe = new QSslSocket(this);
    QSslConfiguration config = probe->sslConfiguration();
    if (!m_options.caFile.isEmpty())
        config.setCaCertificates(QSslCertificate::fromPath(m_options.caFile));
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    probe->setSslConfiguration(config);
    auto said = std::make_shared<QString>();
    const auto done = [this, probe, said, fallback] {
        if (probe->property("done").toBool())
            return;
        probe->setProperty("done", true);
        probe->deleteLater();
        retryLater(said->isEmpty() ? fallback
                                   : QStringLiteral("the TLS connection to %1 failed: %2")
                                         .arg(m_options.address.url(), *said));
    };
    connect(probe, &QSslSocket::sslErrors, this, [said](const QList<QSslError>& errors) {
        QStringList texts;
        for (const QSslError& e : errors)
            texts.append(e.errorString());
        *said = texts.join(QStringLiteral("; "));
    });
    connect(probe, &QSslSocket::encrypted, this, done);
    connect(probe, &QAbstractSocket::errorOccurred, this, done);
    QTimer::singleShot(5000, probe, done);
    probe->connectToHostEncrypted(m_options.address.host, m_options.address.port);
}

void BrokerClient::retryLater(const QString& why) {
    if (m_stopped)
        return;
    emit connectFailed(why, m_retryMs);
    m_retry.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, m_options.retryMaxMs);
}

void BrokerClient::onConnected() {
    if (m_stopped)
        return;
    m_connected = true;
    m_retryMs = m_options.retryMinMs;
    for (const QString& filter : m_options.subscriptions) {
        try {
            m_client->subscribe(filter.toStdString(), 1);
        } catch (const mqtt::exception&) {
            // the connection went again; the next one subscribes
        }
    }
    emit connected();
}

void BrokerClient::onConnectionLost(const QString& cause) {
    if (!m_connected)
        return;
    m_connected = false;
    emit connectionLost(
        cause.isEmpty()
            ? QStringLiteral("the connection to %1 was lost").arg(m_options.address.url())
            : cause);
}

bool BrokerClient::publish(const QString& topic, const QByteArray& payload, int qos, bool retained,
                           qint64 tag) {
    if (!m_connected)
        return false;
    auto message = mqtt::make_message(topic.toStdString(), payload.constData(),
                                      size_t(payload.size()), qos, retained);
    try {
        m_client->publish(message, tagContext(tag), *m_deliveryListener);
        return true;
    } catch (const mqtt::exception&) {
        return false; // gone in the meantime: connectionLost is on its way
    }
}

void BrokerClient::stop(int waitMs) {
    m_stopped = true;
    m_retry.stop();
    const bool wasConnected = m_connected;
    m_connected = false;
    try {
        if (wasConnected || m_client->is_connected())
            m_client->disconnect(std::chrono::milliseconds(waitMs))
                ->wait_for(std::chrono::milliseconds(waitMs + 1000));
    } catch (const mqtt::exception&) {
        // not connected after all: nothing to end
    }
}
