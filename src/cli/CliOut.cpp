#include "CliOut.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace CliOut {
namespace {

enum class State { Open, ReaderGone, WriteFailed };
State state = State::Open;
QString failure; // the reason of a failed write
bool closedAtStart = false;
int errorCount = 0;

// A pipe whose reader has closed it reports an error condition to the
// writer; files and terminals never do.
bool readerGone() {
#ifdef _WIN32
    return false;
#else
    pollfd out{STDOUT_FILENO, POLLOUT, 0};
    return poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
#endif
}

bool write(const QByteArray& bytes) {
    if (closedAtStart) {
        state = State::WriteFailed;
        failure = QStringLiteral("standard output is closed");
    }
    if (failed())
        return false;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
        std::fflush(stdout) == 0)
        return true;
    const int reason = errno;
    if (reason == EPIPE) {
        state = State::ReaderGone;
    } else {
        state = State::WriteFailed;
        failure = reason ? QString::fromLocal8Bit(std::strerror(reason))
                         : QStringLiteral("the stream refused it");
    }
    return false;
}

} // namespace

void begin() {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
    // A standard stream the caller closed (">&-") would be the number the
    // serial port gets next, and results would go to the board: it is held
    // by /dev/null instead, and output is refused.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            closedAtStart = true;
        const int held = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (held != -1 && held != fd) {
            dup2(held, fd);
            close(held);
        }
    }
#endif
}

bool line(const QString& text) {
    return write(text.toLocal8Bit() + '\n');
}

bool text(const QString& text) {
    return write(text.toLocal8Bit());
}

bool failed() {
    if (state == State::Open && readerGone())
        state = State::ReaderGone;
    return state != State::Open;
}

int finish(int status, int writeFailedStatus) {
    if (state != State::WriteFailed)
        return status;
    error(QStringLiteral("cannot write the output: ") + failure);
    return writeFailedStatus;
}

void error(const QString& text) {
    ++errorCount;
    std::fprintf(stderr, "telvane-cli: %s\n", qPrintable(text));
    std::fflush(stderr);
}

int errors() {
    return errorCount;
}

} // namespace CliOut
