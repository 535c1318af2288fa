#pragma once

#include "PlantModel.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class BrokerClient;
class QLabel;
class QPushButton;
class QTableView;
class ViewContext;

// The Plant window (Window, Plant): every press seen on the plant's MQTT
// broker, live, as telvane-monitor publishes them. The broker is named once
// and kept in the user's settings. A double click on a press makes its
// device the Comm Port and goes online to it.
class frmPlant final : public QWidget {
    Q_OBJECT
public:
    static inline const QString DefaultBroker = QStringLiteral("mqtt://localhost:1883");
    static inline const QString DefaultTopic = QStringLiteral("telvane");

    explicit frmPlant(ViewContext& context, QWidget* parent = nullptr);
    ~frmPlant() override;

    // Connects to the broker the user named, asking for one the first time.
    void Start();
    // Asks for the broker (mqtt://HOST:PORT, a topic prefix other than
    // telvane after a '/'), keeps it and connects to it.
    void cmdBroker_Click();
    // The press's device becomes the Comm Port, and the program goes online
    // to it (after "Save Changes to File?" where memory changed).
    void lstPresses_DoubleClick(int row);

    PlantModel& model() { return m_model; }
    QTableView* lstPresses() const { return m_lstPresses; }
    QString connectionText() const;

    // The broker the user named ("" before the first time).
    static QString SavedBroker();

private:
    void Connect(const QString& url);
    void MessageArrived(const QString& topic, const QByteArray& payload);

    ViewContext& m_context;
    PlantModel m_model;
    QLabel* m_lblBroker = nullptr;
    QLabel* m_lblConnection = nullptr;
    QPushButton* m_cmdBroker = nullptr;
    QTableView* m_lstPresses = nullptr;
    std::unique_ptr<BrokerClient> m_client;
    QString m_topic;
    QTimer m_clock;
};
