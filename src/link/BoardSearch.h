#pragma once

#include "Baud.h"
#include "NetworkConnection.h"

#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QTimer>

// Looks for the board on serial ports without disturbing anything else that
// may be on them: each port is opened, and at each speed (19200, then 9600)
// it is greeted as the link greets a board: the attention byte 255, each
// time with 150 ms to answer, until it answers 85 or AttentionTries are spent
// (a board that the last link left in read or write mode takes the first
// 255s as an address or a value). Silence ends a speed at once. Nothing but
// 255 is ever sent. Runs on the event loop, one port and speed at a time, so
// a window stays alive and can cancel it; the command line waits for
// finished(). A serial device server is reached through the link's own
// connection (NetworkConnection): rfc2217:// is asked at both speeds,
// socket:// once at the speed its server sets (a found board's baud is then 0).
class BoardSearch final : public QObject {
    Q_OBJECT
public:
    static constexpr int AnswerWaitMs = 150;
    // A board in write mode answers three 255s after the link's farewell
    // before it takes one as attention; one more for good measure.
    static constexpr int AttentionTries = 4;
    static constexpr int Speeds[] = {Baud::Fast, Baud::Slow};

    struct Board {
        QString device;
        int baud = 0;
    };
    struct Unopened {
        QString device;
        QString reason; // in words, with the way out where there is one
    };

    explicit BoardSearch(QObject* parent = nullptr);
    ~BoardSearch() override;

    // The serial ports the system lists, by device name.
    static QStringList systemPorts();
    // The devices to search: the system's ports, then the settings' device
    // when the system does not list it; each once.
    static QStringList candidates(const QStringList& systemPorts, const QString& settingsDevice);
    // Why a port could not be opened, in words.
    static QString openFailure(const QString& device, QSerialPort::SerialPortError error,
                               const QString& errorString);

    // Starts a new search (a running one is cancelled first, and finishes
    // with its own number) and returns its number.
    int start(const QStringList& devices);
    void cancel();
    bool running() const { return m_running; }
    bool cancelled() const { return m_cancelled; }

    const QList<Board>& boards() const { return m_boards; }
    const QList<Unopened>& unopened() const { return m_unopened; }
    // The number of the search started last.
    int search() const { return m_generation; }
    // The devices that were opened and asked, in search order.
    const QStringList& asked() const { return m_asked; }
    // One line when no board answered: what was tried.
    QString nothingFound() const;

signals:
    // Before each attempt: step counts from 1 to steps.
    void trying(const QString& device, int baud, int step, int steps);
    void boardFound(const QString& device, int baud);
    void portUnopened(const QString& device, const QString& reason);
    // Once for each search, cancelled or not: the number start() gave it.
    void finished(int search);

private:
    // What the search waits for on a network device.
    enum class Phase { None, Connecting, Settling, Asking };

    static QList<int> speedsFor(const QString& device);
    void nextAttempt();
    void startAttempt();
    void startNetworkAttempt(const QString& device, int baud);
    void networkOpened();
    void networkData();
    void networkFailed();
    void askNetwork();
    void sendAttention();
    void timedOut();
    void answerArrived();
    // One answer to the attention byte: 85 finds the board; anything else
    // asks again while tries are left.
    void answered(char reply);
    void attemptOver(bool answered);
    void deviceUnopened(const QString& device, const QString& reason);
    void closePorts();
    void finish();

    QSerialPort m_port;
    NetworkConnection m_connection;
    Phase m_phase = Phase::None;
    int m_tries = 0; // attention bytes sent at this speed
    QTimer m_answerTimer;
    QStringList m_devices;
    int m_deviceIndex = 0;
    int m_speedIndex = 0;
    int m_generation = 0; // a queued attempt of an earlier search does not run
    bool m_running = false;
    bool m_cancelled = false;
    bool m_waiting = false;
    QList<Board> m_boards;
    QList<Unopened> m_unopened;
    QStringList m_asked;
};
