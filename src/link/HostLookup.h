#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Looks a host name up on a thread of its own and hands the answer to the
// thread that asked, through its event loop, so that nobody waits on the
// system's resolver longer than they choose: a resolver that does not answer
// holds a lookup for 10 s and more. A lookup given up is left to end by
// itself, unwatched. (Qt's QHostInfo is not used: the program could not end
// before every lookup it ever started had ended.)
class HostLookup final : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Found, NoSuchName, Failed };
    struct Result {
        Outcome outcome = Outcome::Failed;
        QList<QHostAddress> addresses;
        QString systemText; // the resolver's words when it failed
    };
    // The system's resolver (getaddrinfo), or another that stands in for it.
    using Resolver = std::function<Result(const QString& host)>;
    static Result systemResolver(const QString& host);
    // For tests: the resolver every later lookup uses (an empty one: the
    // system's); returns the one it replaces.
    static Resolver useResolver(Resolver resolver);

    explicit HostLookup(QObject* parent = nullptr);
    ~HostLookup() override;

    // Starts looking host up; a lookup still running is given up first.
    void start(const QString& host);
    // Gives the running lookup up: finished() does not come for it.
    void abandon();
    bool running() const { return m_pending != nullptr; }

signals:
    void finished(const HostLookup::Result& result);

private:
    struct Pending;
    static void deliver(const std::shared_ptr<Pending>& pending, const Result& result);
    std::shared_ptr<Pending> m_pending;
};
