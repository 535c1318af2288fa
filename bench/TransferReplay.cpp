#include "TransferReplay.h"

#include "Stopwatch.h"

#include <QStringList>

namespace {

bool is(const std::vector<ReplayedExchange>& e, std::size_t i, int host, int reply) {
    return i < e.size() && !e[i].attention && e[i].host == host && e[i].reply == reply;
}

// The PLS ready poll (56, 85 answered 85 while busy, 0 once ready, then one
// more 85) lasts as long as the board is busy: it becomes one step, polled
// as the link does.
std::vector<ReplayedExchange> collapseReadyPolls(const std::vector<ReplayedExchange>& in) {
    std::vector<ReplayedExchange> out;
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t j = i;
        while (is(in, j, 56, 85) && is(in, j + 1, 85, 85))
            j += 2;
        if (is(in, j, 56, 85) && is(in, j + 1, 85, 0) && j + 2 < in.size() &&
            in[j + 2].host == 85) {
            ReplayedExchange ready;
            ready.plsReady = true;
            out.push_back(ready);
            i = j + 3;
        } else {
            out.push_back(in[i]);
            ++i;
        }
    }
    return out;
}

bool plsReady(MinimalHost& host) {
    for (int polls = 0; polls < 10000; ++polls) {
        if (host.sendAndRead(56) != 85)
            return false;
        const int answer = host.sendAndRead(85);
        if (answer == 0)
            return host.sendAndRead(85) != MinimalHost::NoReply;
        if (answer != 85)
            return false;
    }
    return false;
}

bool attention(MinimalHost& host) {
    for (int tries = 0; tries < 8; ++tries) {
        const int answer = host.sendAndRead(MinimalHost::Attention);
        if (answer == MinimalHost::AttentionAnswer)
            return true;
        if (answer == MinimalHost::NoReply)
            return false;
    }
    return false;
}

} // namespace

// A run of host 255s ended by an 85 at the start of a transaction becomes
// one attention.
std::optional<std::vector<ReplayedExchange>> parseTrace(const QString& trace, int* hostBytes) {
    const QStringList t = trace.split(u' ', Qt::SkipEmptyParts);
    std::vector<ReplayedExchange> out;
    *hostBytes = 0;
    bool transactionStart = true;
    qsizetype i = 0;
    while (i < t.size()) {
        if (!t[i].startsWith(u'h'))
            return std::nullopt; // a board byte nobody asked for
        ReplayedExchange e;
        e.host = t[i].mid(1).toInt(nullptr, 16);
        ++*hostBytes;
        ++i;
        while (i < t.size() && t[i].startsWith(u'b')) {
            if (e.replies == 0)
                e.reply = t[i].mid(1).toInt(nullptr, 16);
            ++e.replies;
            ++i;
        }
        if (e.replies > 1)
            return std::nullopt;
        if (e.host == 0xFF && transactionStart) {
            // Swallow the run of 255s up to the 85.
            qsizetype j = i;
            bool answered = e.reply == 0x55;
            while (!answered && j + 1 < t.size() && t[j] == u"hFF" && t[j + 1].startsWith(u'b')) {
                answered = t[j + 1] == u"b55";
                *hostBytes += 1;
                j += 2;
            }
            if (answered) {
                i = j;
                out.push_back(ReplayedExchange{true, false, 0xFF, 0x55, 1});
                transactionStart = false;
                continue;
            }
        }
        out.push_back(e);
        // The next attention comes after a mode byte's 85 at the earliest;
        // after any completed exchange a new transaction may begin.
        transactionStart = true;
    }
    return collapseReadyPolls(out);
}

// The minimal host's replay; the seconds it took, or nullopt when an answer
// did not come.
std::optional<double> replay(MinimalHost& host, const std::vector<ReplayedExchange>& exchanges,
                             int* mismatches) {
    const Stopwatch watch;
    for (const ReplayedExchange& e : exchanges) {
        if (e.plsReady) {
            if (!plsReady(host))
                return std::nullopt;
            continue;
        }
        if (e.attention) {
            if (!attention(host))
                return std::nullopt;
            continue;
        }
        if (e.replies == 0) {
            // Nothing to wait for: as the link, which gives up on it at once.
            if (host.sendAndRead(std::uint8_t(e.host), 0) != MinimalHost::NoReply)
                ++*mismatches;
            continue;
        }
        const int answer = host.sendAndRead(std::uint8_t(e.host));
        if (answer == MinimalHost::NoReply)
            return std::nullopt;
        if (answer != e.reply)
            ++*mismatches;
    }
    return watch.wallSeconds();
}
