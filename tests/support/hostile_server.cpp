// hostile-server: a serial device server on the loopback address that
// misbehaves on purpose, in front of the simulated board, for the tests of
// the network link. Its first line on standard output is its port; it serves
// one connection after another until ended, and after each says what it got:
//   "connection N: received BYTES, speed requests K, speeds [B1 B2 ...]"
// Only the first connection misbehaves; those after it serve the board as
// a well-kept RFC 2217 server does (so that Retry has something to find).
//
//   hostile-server MODE [ARGUMENT]
//   flood            offers telnet options without end and reads nothing
//   reoffer          answers every refusal with the same offer again
//   toggle N         turns the COM port option off and on N times, then serves
//   speed BAUD       sets its port to BAUD whatever is asked
//   empty-speed      answers the speed request without a speed
//   unagreed-speed   answers a speed for the COM port option it never agreed to
//   endless-sub N    after N data bytes, a subnegotiation that never ends
//   endless-iac N    the same, made of escaped 255s
//   raw-flood N      raw TCP (socket://): after N data bytes, data without end
//   silent           a well-kept server whose board never answers
#include "BoardSimulator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <linux/tcp.h> // tcp_info with its byte counts
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr unsigned char Iac = 255, Se = 240, Sb = 250, Will = 251, Wont = 252, Do = 253, Dont = 254;
constexpr unsigned char ComPort = 44, SetBaud = 1;

struct Options {
    std::string mode;
    long argument = 0;
};

long long nowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

bool sendAll(int fd, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// One connection: the server's side of telnet, and the board behind it.
class Connection {
public:
    Connection(int fd, const Options& options, bool misbehave)
        : m_fd(fd), m_telnet(options.mode.rfind("raw", 0) != 0),
          m_mode(misbehave ? options.mode : std::string(m_telnet ? "serve" : "raw")),
          m_argument(options.argument) {}

    void run() {
        if (m_mode == "flood") {
            flood();
            return;
        }
        if (m_mode == "unagreed-speed")
            put({Iac, Sb, ComPort, SetBaud + 100, 0, 0, 0x25, 0x80, Iac, Se}); // 9600
        if (m_mode == "reoffer")
            put({Iac, Will, 5});
        unsigned char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            m_received += n;
            for (ssize_t i = 0; i < n; ++i)
                if (!take(buffer[i]))
                    return;
            if (!flush())
                return;
        }
    }

    void report(int number) const {
        std::printf("connection %d: received %lld, speed requests %d, speeds", number, m_received,
                    int(m_speeds.size()));
        for (const long baud : m_speeds)
            std::printf(" %ld", baud);
        std::printf("\n");
        std::fflush(stdout);
    }

private:
    // Offers, without reading a byte, until the client goes.
    void flood() {
        std::vector<unsigned char> offers;
        for (int option = 0; option < 256; ++option)
            offers.insert(offers.end(),
                          {Iac, Will, (unsigned char)option, Iac, Do, (unsigned char)option});
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end && sendAll(m_fd, offers)) {
        }
        tcp_info info{};
        socklen_t size = sizeof info;
        if (::getsockopt(m_fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0)
            m_received = (long long)info.tcpi_bytes_received;
    }

    void put(std::initializer_list<unsigned char> bytes) { m_out.insert(m_out.end(), bytes); }
    bool flush() {
        const bool sent = sendAll(m_fd, m_out);
        m_out.clear();
        return sent;
    }

    bool take(unsigned char byte) {
        if (!m_telnet)
            return data(byte);
        switch (m_state) {
        case State::Data:
            if (byte == Iac)
                m_state = State::Command;
            else
                return data(byte);
            return true;
        case State::Command:
            m_state = State::Data;
            if (byte == Iac)
                return data(Iac);
            if (byte >= Will) {
                m_verb = byte;
                m_state = State::Option;
            } else if (byte == Sb) {
                m_sub.clear();
                m_state = State::Sub;
            }
            return true;
        case State::Option:
            m_state = State::Data;
            option(m_verb, byte);
            return true;
        case State::Sub:
            if (byte == Iac)
                m_state = State::SubIac;
            else
                m_sub.push_back(byte);
            return true;
        case State::SubIac:
            m_state = byte == Iac ? State::Sub : State::Data;
            if (byte == Iac)
                m_sub.push_back(Iac);
            else if (byte == Se)
                subnegotiation();
            return true;
        }
        return true;
    }

    void option(unsigned char verb, unsigned char option) {
        if (m_mode == "reoffer") {
            if (verb == Dont)
                put({Iac, Will, option});
            else if (verb == Wont)
                put({Iac, Do, option});
            return;
        }
        const bool ours = option == 0 || option == 3 || option == ComPort;
        if (verb == Will && !m_agreed[option] && ours && m_mode != "unagreed-speed") {
            m_agreed[option] = true;
            put({Iac, Do, option});
            if (option == ComPort)
                for (long i = 0; m_mode == "toggle" && i < m_argument; ++i)
                    put({Iac, Dont, ComPort, Iac, Do, ComPort});
        } else if (verb == Will && !ours) {
            put({Iac, Dont, option});
        } else if (verb == Do && !m_willing[option]) {
            m_willing[option] = true;
            put({Iac, (option == 0 || option == 3) ? Will : Wont, option});
        }
    }

    void subnegotiation() {
        if (m_sub.size() < 2 || m_sub[0] != ComPort)
            return;
        std::vector<unsigned char> answer{Iac, Sb, ComPort, (unsigned char)(m_sub[1] + 100)};
        std::vector<unsigned char> value(m_sub.begin() + 2, m_sub.end());
        if (m_sub[1] == SetBaud && value.size() == 4) {
            long baud =
                long(value[0]) << 24 | long(value[1]) << 16 | long(value[2]) << 8 | long(value[3]);
            m_speeds.push_back(baud);
            if (m_mode == "speed") {
                baud = m_argument;
                value = {(unsigned char)(baud >> 24), (unsigned char)(baud >> 16),
                         (unsigned char)(baud >> 8), (unsigned char)baud};
            } else if (m_mode == "empty-speed") {
                value.clear();
            }
        }
        for (const unsigned char c : value) {
            answer.push_back(c);
            if (c == Iac)
                answer.push_back(Iac);
        }
        answer.insert(answer.end(), {Iac, Se});
        m_out.insert(m_out.end(), answer.begin(), answer.end());
    }

    // A data byte for the board; its answer goes back (or the misbehaviour).
    bool data(unsigned char byte) {
        if (m_mode == "silent")
            return true;
        if (++m_dataBytes > m_argument && m_mode.rfind("endless-", 0) == 0)
            return endless();
        for (const char c : m_board.receive(byte, nowUs())) {
            m_out.push_back((unsigned char)c);
            if ((unsigned char)c == Iac && m_telnet)
                m_out.push_back(Iac);
        }
        if (m_mode == "raw-flood" && m_dataBytes > m_argument)
            return endless();
        return true;
    }

    // What never ends: sent until the client goes (or for a minute).
    bool endless() {
        std::vector<unsigned char> chunk(4096, 'x');
        if (m_mode == "endless-iac")
            chunk.assign(4096, Iac);
        if (m_telnet)
            put({Iac, Sb, ComPort});
        flush();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end && sendAll(m_fd, chunk)) {
        }
        return false;
    }

    enum class State { Data, Command, Option, Sub, SubIac };
    int m_fd;
    bool m_telnet;
    std::string m_mode;
    long m_argument;
    State m_state = State::Data;
    unsigned char m_verb = 0;
    std::vector<unsigned char> m_sub;
    std::vector<unsigned char> m_out;
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
        std::fprintf(stderr, "usage: hostile-server MODE [ARGUMENT]\n");
        return 2;
    }
    Options options{argv[1], argc > 2 ? std::strtol(argv[2], nullptr, 10) : 0};
    ::signal(SIGPIPE, SIG_IGN);
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
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
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Connection connection(fd, options, number == 1);
        connection.run();
        connection.report(number);
        ::close(fd);
    }
}
