#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT as a signal of the event loop: the handler only writes
// a byte into a pipe (nothing else is safe in a signal handler), and the
// event loop reads it and emits requested().
class StopRequests final : public QObject {
    Q_OBJECT
public:
    explicit StopRequests(QObject* parent = nullptr);
    ~StopRequests() override;

signals:
    void requested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
