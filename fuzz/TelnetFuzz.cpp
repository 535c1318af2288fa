// libFuzzer target: the telnet reader takes whatever a server sends, in
// pieces of any size, without a crash, a hang or a leak; it never makes more
// data than it was given, its answers stay in proportion to what it read,
// and data it escapes reads back as it was. Then an adversary answers the
// client's own replies as the input tells it to (offering again what was
// refused, turning off what was agreed, setting other speeds): the client
// either falls silent or gives the server up within a few rounds, so that no
// renegotiation goes on without end.
#include "TelnetClient.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr quint8 Iac = 255, Se = 240, Sb = 250, Will = 251, Wont = 252, Do = 253, Dont = 254;

// The server's answer to what the client sent, by the rules in `rules`.
QByteArray answer(const QByteArray& sent, quint8 rules, quint8 speedByte) {
    QByteArray out;
    for (qsizetype i = 0; i + 2 < sent.size(); ++i) {
        if (quint8(sent[i]) != Iac)
            continue;
        const quint8 verb = quint8(sent[i + 1]);
        const quint8 option = quint8(sent[i + 2]);
        const auto put = [&](quint8 v) {
            const char command[] = {char(Iac), char(v), char(option)};
            out.append(command, sizeof command);
        };
        if (verb == Dont && (rules & 1))
            put(Will); // offers again what was refused
        else if (verb == Wont && (rules & 2))
            put(Do);
        else if (verb == Will && (rules & 4))
            put(Dont); // turns off what the client takes
        else if (verb == Do && (rules & 8))
            put(Wont);
        else if (verb == Will && option == 44 && (rules & 16))
            put(Do);
        else if (verb == Sb && option == 44 && i + 3 < sent.size() && (rules & 32)) {
            // A speed answered with the input's byte (another speed, mostly).
            const char speed[] = {
                char(Iac), char(Sb), char(44),        char(quint8(sent[i + 3]) + 100),
                0,         0,        char(speedByte), char(speedByte),
                char(Iac), char(Se)};
            out.append(speed, sizeof speed);
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    TelnetClient client;
    client.opening(19200);
    QByteArray read;
    qsizetype answered = 0;
    // Each piece is as long as its first byte says, as a network hands them over.
    for (size_t i = 0; i < size;) {
        const size_t piece = std::min<size_t>(1 + data[i] % 16, size - i);
        client.read(bytes + i, qsizetype(piece), read);
        answered += client.takeReplies().size();
        answered += client.purge().size() + client.setBaud(9600).size();
        i += piece;
    }
    if (read.size() > qsizetype(size) || answered > 40 * qsizetype(size) + 64)
        std::abort();

    QByteArray wire;
    for (size_t i = 0; i < size; ++i)
        TelnetClient::appendData(wire, data[i]);
    TelnetClient fresh;
    QByteArray back;
    fresh.read(wire.constData(), wire.size(), back);
    if (back != QByteArray(bytes, qsizetype(size)) || !fresh.takeReplies().isEmpty())
        std::abort();

    // The adversary: the input's first bytes are its rules, the rest its
    // opening words; then it answers whatever the client says.
    if (size < 2)
        return 0;
    TelnetClient client2;
    QByteArray said = client2.opening(data[1] & 1 ? 19200 : 9600);
    QByteArray heard(bytes + 2, qsizetype(size - 2));
    qsizetype sentInAll = said.size();
    constexpr int Rounds = 64;
    for (int round = 0; round < Rounds && !client2.failure(); ++round) {
        heard += answer(said, data[0], data[1]);
        QByteArray ignored;
        client2.read(heard.constData(), heard.size(), ignored);
        said = client2.takeReplies();
        heard.clear();
        sentInAll += said.size();
        if (said.isEmpty())
            break;
    }
    // Still renegotiating after every round, or more than a few options'
    // worth of replies: a loop the limits did not end.
    if ((!said.isEmpty() && !client2.failure()) || sentInAll > 64 * 1024)
        std::abort();
    return 0;
}
