// hostile-server: an RFC 2217 serial device server on the loopback address
// that misbehaves on purpose, in front of the simulated board, for the
// network link's tests. Its first line out is its port; it serves one
// connection after another until ended and after each says what it got:
// "connection N: received BYTES, speed requests K, speeds B1 B2 ...". Only
// the first connection misbehaves, so that Retry finds a good one.
//
//   hostile-server MODE [N]
//   flood            offers every telnet option without end, reads nothing
//   reoffer          answers every refusal with the same offer again
//   toggle N         turns the COM port option off and on N times
//   speed N          sets its port to N baud whatever is asked
//   empty-speed      answers the speed request without a speed
//   unagreed-speed   answers a speed for the COM port option it never agreed to
//   endless-sub N    after N data bytes, IAC SB and no end
//   endless-iac N    the same, made of escaped 255s
//   silent           serves well, but no board answers
#include "BoardSimulator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <arpa/inet.h>
#include <linux/tcp.h> // tcp_info with its byte counts
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;
constexpr unsigned char Iac = 255, Se = 240, Sb = 250, Will = 251, Wont = 252, Do = 253, Dont = 254,
                        ComPort = 44;

bool sendAll(int fd, const Bytes& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Sends chunk until the client goes (or a minute has passed).
void without_end(int fd, const Bytes& chunk) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < end && sendAll(fd, chunk)) {
    }
}

class Connection {
public:
    Connection(int fd, std::string mode, long n) : m_fd(fd), m_mode(std::move(mode)), m_n(n) {}

    void run() {
        if (m_mode == "flood") {
            Bytes offers;
            for (int option = 0; option < 256; ++option)
                offers.insert(offers.end(),
                              {Iac, Will, (unsigned char)option, Iac, Do, (unsigned char)option});
            without_end(m_fd, offers);
            tcp_info info{};
            socklen_t size = sizeof info;
            ::getsockopt(m_fd, IPPROTO_TCP, TCP_INFO, &info, &size);
            m_received = (long long)info.tcpi_bytes_received;
            return;
        }
        if (m_mode == "unagreed-speed")
            m_out = {Iac, Sb, ComPort, 101, 0, 0, 0x25, 0x80, Iac, Se}; // 9600
        if (m_mode == "reoffer")
            m_out = {Iac, Will, 5};
        unsigned char buffer[4096];
        for (ssize_t n = 0;
             sendAll(m_fd, m_out) && (n = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0;) {
            m_out.clear();
            m_received += n;
            for (ssize_t i = 0; i < n; ++i)
                if (!take(buffer[i]))
                    return;
        }
    }

    void report(int number) const {
        std::printf("connection %d: received %lld, speed requests %zu, speeds", number, m_received,
                    m_speeds.size());
        for (const long baud : m_speeds)
            std::printf(" %ld", baud);
        std::printf("\n");
        std::fflush(stdout);
    }

private:
    // The client's telnet, one byte at a time; false once the connection is to end.
    bool take(unsigned char byte) {
        if (m_sub) {
            if (m_last == Iac) {
                m_last = 0;
                if (byte == Se) {
                    m_sub = false;
                    subnegotiation();
                } else if (byte == Iac) {
                    m_subBytes.push_back(Iac);
                }
            } else if (byte == Iac) {
                m_last = Iac;
            } else {
                m_subBytes.push_back(byte);
            }
            return true;
        }
        if (m_verb) {
            option(std::exchange(m_verb, 0), byte);
        } else if (m_last == Iac) {
            m_last = 0;
            if (byte == Iac)
                return data(Iac);
            if (byte >= Will)
                m_verb = byte;
            m_sub = byte == Sb;
            m_subBytes.clear();
        } else if (byte == Iac) {
            m_last = Iac;
        } else {
            return data(byte);
        }
        return true;
    }

    void option(unsigned char verb, unsigned char option) {
        const auto put = [&](unsigned char v) { m_out.insert(m_out.end(), {Iac, v, option}); };
        if (m_mode == "reoffer") {
            if (verb == Dont || verb == Wont)
                put(verb == Dont ? Will : Do);
            return;
        }
        const bool ours = option == 0 || option == 3 || option == ComPort;
        if (verb == Will && !m_agreed[option] && m_mode != "unagreed-speed") {
            m_agreed[option] = true;
            put(ours ? Do : Dont);
            for (long i = 0; option == ComPort && m_mode == "toggle" && i < m_n; ++i)
                m_out.insert(m_out.end(), {Iac, Dont, ComPort, Iac, Do, ComPort});
        } else if (verb == Do && !m_willing[option]) {
            m_willing[option] = true;
            put(option == 0 || option == 3 ? Will : Wont);
        }
    }

    // Each COM port command is answered with its own value (code + 100).
    void subnegotiation() {
        if (m_subBytes.size() < 2 || m_subBytes[0] != ComPort)
            return;
        Bytes value(m_subBytes.begin() + 2, m_subBytes.end());
        if (m_subBytes[1] == 1 && value.size() == 4) {
            m_speeds.push_back(long(value[0]) << 24 | value[1] << 16 | value[2] << 8 | value[3]);
            if (m_mode == "speed")
                value = {(unsigned char)(m_n >> 24), (unsigned char)(m_n >> 16),
                         (unsigned char)(m_n >> 8), (unsigned char)m_n};
            if (m_mode == "empty-speed")
                value.clear();
        }
        m_out.insert(m_out.end(), {Iac, Sb, ComPort, (unsigned char)(m_subBytes[1] + 100)});
        for (const unsigned char c : value)
            m_out.insert(m_out.end(), c == Iac ? 2 : 1, c);
        m_out.insert(m_out.end(), {Iac, Se});
    }

    // A data byte for the board; its answer goes back (or the misbehaviour).
    bool data(unsigned char byte) {
        if (m_mode.rfind("endless-", 0) == 0 && ++m_dataBytes > m_n) {
            sendAll(m_fd, m_out);
            sendAll(m_fd, {Iac, Sb, ComPort});
            without_end(m_fd, Bytes(4096, m_mode == "endless-iac" ? Iac : 'x'));
            return false;
        }
        if (m_mode == "silent")
            return true;
        for (const char c : m_board.receive(byte, 0))
            m_out.insert(m_out.end(), (unsigned char)c == Iac ? 2 : 1, (unsigned char)c);
        return true;
    }

    int m_fd;
    std::string m_mode;
    long m_n;
    Bytes m_out;
    Bytes m_subBytes;
    unsigned char m_last = 0;
    unsigned char m_verb = 0;
    bool m_sub = false;
    bool m_agreed[256] = {};
    bool m_willing[256] = {};
    long long m_received = 0;
    long m_dataBytes = 0;
    std::vector<long> m_speeds;
    BoardSimulator m_board;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hostile-server MODE [N]\n");
        return 2;
    }
    ::signal(SIGPIPE, SIG_IGN);
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener, 4) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("hostile-server");
        return 1;
    }
    std::printf("%d\n", int(ntohs(address.sin_port)));
    std::fflush(stdout);
    for (int number = 1;; ++number) {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0)
            return 1;
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Connection connection(fd, number == 1 ? argv[1] : "serve",
                              argc > 2 ? std::strtol(argv[2], nullptr, 10) : 0);
        connection.run();
        connection.report(number);
        ::close(fd);
    }
}
