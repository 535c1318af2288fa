#include "HostLookup.h"

#include <QHostInfo>
#include <QUrl>
#include <mutex>
#include <system_error>
#include <thread>

#ifdef Q_OS_UNIX
#include <netdb.h>
#include <sys/socket.h>
#include <sys/types.h>
#endif

// What the lookup's thread and its owner share: the owner, until it goes or
// gives the lookup up.
struct HostLookup::Pending {
    std::mutex mutex;
    HostLookup* owner = nullptr;
};

namespace {

std::mutex resolverMutex;
HostLookup::Resolver& currentResolver() {
    static HostLookup::Resolver resolver;
    return resolver;
}

} // namespace

HostLookup::Resolver HostLookup::useResolver(Resolver resolver) {
    const std::lock_guard lock(resolverMutex);
    return std::exchange(currentResolver(), std::move(resolver));
}

HostLookup::Result HostLookup::systemResolver(const QString& host) {
    Result result;
#ifdef Q_OS_UNIX
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    const int error = ::getaddrinfo(QUrl::toAce(host).constData(), nullptr, &hints, &found);
    if (error != 0) {
#ifdef EAI_NODATA
        const bool noSuchName = error == EAI_NONAME || error == EAI_NODATA;
#else
        const bool noSuchName = error == EAI_NONAME;
#endif
        result.outcome = noSuchName ? Outcome::NoSuchName : Outcome::Failed;
        result.systemText = QString::fromLocal8Bit(::gai_strerror(error));
        return result;
    }
    for (const addrinfo* a = found; a; a = a->ai_next) {
        const QHostAddress address(a->ai_addr);
        if (!address.isNull() && !result.addresses.contains(address))
            result.addresses.append(address);
    }
    ::freeaddrinfo(found);
#else
    const QHostInfo info = QHostInfo::fromName(host);
    result.addresses = info.addresses();
    result.systemText = info.errorString();
    if (info.error() == QHostInfo::HostNotFound)
        result.outcome = Outcome::NoSuchName;
#endif
    if (!result.addresses.isEmpty())
        result.outcome = Outcome::Found;
    else if (result.outcome == Outcome::Failed && result.systemText.isEmpty())
        result.outcome = Outcome::NoSuchName;
    return result;
}

HostLookup::HostLookup(QObject* parent) : QObject(parent) {}

HostLookup::~HostLookup() {
    abandon();
}

void HostLookup::abandon() {
    if (!m_pending)
        return;
    const std::lock_guard lock(m_pending->mutex);
    m_pending->owner = nullptr;
    m_pending.reset();
}

// Hands the result to the owner on its own thread, unless the owner has
// given this lookup up (or gone) by then.
void HostLookup::deliver(const std::shared_ptr<Pending>& pending, const Result& result) {
    const std::lock_guard lock(pending->mutex);
    if (!pending->owner)
        return;
    QMetaObject::invokeMethod(
        pending->owner,
        [owner = pending->owner, pending, result] {
            if (owner->m_pending != pending)
                return;
            owner->m_pending.reset();
            emit owner->finished(result);
        },
        Qt::QueuedConnection);
}

void HostLookup::start(const QString& host) {
    abandon();
    auto pending = std::make_shared<Pending>();
    pending->owner = this;
    m_pending = pending;
    Resolver resolver;
    {
        const std::lock_guard lock(resolverMutex);
        resolver = currentResolver();
    }
    if (!resolver)
        resolver = systemResolver;
    try {
        std::thread([pending, host, resolver] { deliver(pending, resolver(host)); }).detach();
    } catch (const std::system_error& e) {
        Result failed;
        failed.systemText = QString::fromLocal8Bit(e.what());
        deliver(pending, failed);
    }
}
