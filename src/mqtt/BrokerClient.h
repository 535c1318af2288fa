#pragma once

#include "BrokerAddress.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

namespace mqtt {
class async_client;
class token;
} // namespace mqtt

// One connection to the plant's broker through the Eclipse Paho C++ client
// (no MQTT of our own). Paho calls back on threads of its own; each callback
// is handed to this object's thread as a queued call, so that its owner sees
// plain signals and shares no state with Paho's threads.
//
// A connection that is lost is made again by Paho itself (automatic
// reconnect); a first connection that fails (no broker yet, a refused login,
// a certificate that does not verify) is tried again here, with back-off.
class BrokerClient final : public QObject {
    Q_OBJECT
public:
    struct Options {
        BrokerAddress address;
        QString clientId;
        QString username; // none: no login
        QByteArray password;
        QString caFile; // TLS: the certificates that may sign the broker's; none: the system's
        // Retained, sent by the broker when this client goes without a word.
        QString willTopic;
        QByteArray willPayload;
        QStringList subscriptions; // made again on every connection
        int retryMinMs = 1000;
        int retryMaxMs = 30000;
    };

    explicit BrokerClient(Options options, QObject* parent = nullptr);
    ~BrokerClient() override;

    // Connects, and keeps trying until it does.
    void start();
    bool isConnected() const { return m_connected; }
    // Hands the message to Paho; false (nothing sent) while not connected.
    // delivered(tag) follows once the broker has it (QoS 1) or it was sent
    // (QoS 0).
    bool publish(const QString& topic, const QByteArray& payload, int qos, bool retained,
                 qint64 tag);
    // Ends the connection cleanly (the broker sends no will), waiting for it
    // at most waitMs; no more tries.
    void stop(int waitMs);

signals:
    void connected();
    void connectionLost(const QString& reason);
    // A try to connect failed; the next one comes in retryMs.
    void connectFailed(const QString& reason, int retryMs);
    void delivered(qint64 tag);
    void messageArrived(const QString& topic, const QByteArray& payload);

private:
    class Listener;
    struct Owner;
    void tryConnect();
    void onConnectDone(bool ok, int code);
    void retryLater(const QString& why);
    void explainTls(const QString& fallback);
    void onConnected();
    void onConnectionLost(const QString& cause);

    Options m_options;
    std::shared_ptr<Owner> m_owner;
    std::unique_ptr<mqtt::async_client> m_client;
    std::unique_ptr<Listener> m_connectListener;
    std::unique_ptr<Listener> m_deliveryListener;
    std::shared_ptr<mqtt::token> m_connectToken; // of the try in progress
    QTimer m_retry;
    int m_retryMs = 0;
    bool m_connected = false;
    bool m_stopped = false;
};
