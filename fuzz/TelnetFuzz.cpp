// libFuzzer target: the telnet reader takes whatever a server sends, in
// pieces of any size, without a crash, a hang or a leak; it never makes more
// data than it was given, its answers stay in proportion to what it read,
// and data it escapes reads back as it was.
#include "TelnetClient.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

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
    return 0;
}
