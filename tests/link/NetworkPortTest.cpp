// The link through a serial device server: Debian's ser2net in front of
// telvane-boardsim's pseudo-terminal, raw and with RFC 2217, one that is not
// there, and one that goes away in the middle of a session.
#include "BoardProcess.h"
#include "HostLookup.h"
#include "NetworkLink.h"
#include "Ser2netProcess.h"

#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(NetworkPortTest, ReadsAndWritesThroughARawAndAnRfc2217ServerWith255AsOneByte) {
    BoardProcess board({"--baud", "19200"});
    ASSERT_TRUE(board.started());
    // The telnet server opens the port at the wrong speed: the link sets it.
    for (const auto& [mode, serverBaud] :
         {std::pair{Ser2netProcess::Mode::Raw, 19200}, {Ser2netProcess::Mode::Rfc2217, 9600}}) {
        Ser2netProcess server(board.pty(), mode, serverBaud);
        ASSERT_TRUE(server.started());
        NetworkLink net;
        ASSERT_TRUE(net.open(server.url())) << server.url().toStdString();
        EXPECT_EQ(net.port.portName(), server.url());
        // 65535: data bytes 255, which telnet doubles on the wire both ways.
        for (const char* value : {"65535", "300"}) {
            net.link.RSWrite("W1020", value);
            EXPECT_FALSE(net.link.LastWriteFailed());
            EXPECT_EQ(net.link.RSRead("W1020"), value) << server.url().toStdString();
        }
        EXPECT_TRUE(net.prompt.shown().isEmpty());
        net.link.CloseRSComm();
    }
}

TEST(NetworkPortTest, AServerNotThereOrGoneIsACommFailureNamingHostAndPortAndRetryReconnects) {
    NetworkLink net;
    const quint16 nobody = Ser2netProcess::freePort();
    for (const auto& [device, reason] :
         {std::pair{QString("socket://127.0.0.1:%1").arg(nobody),
                    QString("connection refused by 127.0.0.1:%1").arg(nobody)},
          {QString("rfc2217://no-such-host.invalid:3001"),
           QString("the host of no-such-host.invalid:3001 cannot be found (no such name)")}}) {
        net.prompt.clear();
        EXPECT_FALSE(net.open(device));
        ASSERT_EQ(net.prompt.shown().size(), 1);
        EXPECT_EQ(net.prompt.shown()[0].title, "Comm Port Error");
        EXPECT_TRUE(net.prompt.shown()[0].text.endsWith("\n\n" + reason))
            << net.prompt.shown()[0].text.toStdString();
    }

    BoardProcess board;
    ASSERT_TRUE(board.started());
    auto server =
        std::make_unique<Ser2netProcess>(board.pty(), Ser2netProcess::Mode::Rfc2217, 19200);
    ASSERT_TRUE(server->started());
    const quint16 port = server->port();
    net.prompt.clear();
    ASSERT_TRUE(net.open(server->url()));
    net.link.RSWrite("W1020", "250");

    // Gone mid-session: asked at once, with the reason; Retry connects again
    // (to the server back on its port) and the read goes through.
    server->stop();
    const QString closed =
        CableText + "\r\rconnection closed by 127.0.0.1:" + QString::number(port);
    net.prompt.queue(Prompt::Answer::Retry);
    net.prompt.onShown = [&](const ScriptedPrompt::Shown&) {
        server = std::make_unique<Ser2netProcess>(board.pty(), Ser2netProcess::Mode::Rfc2217, 19200,
                                                  port);
    };
    EXPECT_EQ(net.link.RSRead("W1020"), "250");
    ASSERT_EQ(net.prompt.shown().size(), 1);
    EXPECT_EQ(net.prompt.shown()[0].text, closed);
    EXPECT_FALSE(net.link.CommError());

    // Gone again, Cancel: the link has failed; going online connects anew.
    net.prompt.onShown = nullptr;
    server->stop();
    EXPECT_EQ(net.link.RSRead("W1020"), "0");
    EXPECT_TRUE(net.link.CommError());
    EXPECT_EQ(net.prompt.shown().last().text, closed);
    net.link.CloseRSComm();
    server =
        std::make_unique<Ser2netProcess>(board.pty(), Ser2netProcess::Mode::Rfc2217, 19200, port);
    ASSERT_TRUE(net.open(server->url()));
    EXPECT_EQ(net.link.RSRead("W1020"), "250");
    EXPECT_EQ(net.prompt.shown().size(), 2);
    net.link.CloseRSComm();
}

TEST(NetworkPortTest, ANameLookupThatRunsOutOfTimeSaysSoWhileTheEventLoopRuns) {
    // A resolver that does not answer, as one behind a dead name server:
    // released only when the test ends.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    const auto system = HostLookup::useResolver([released](const QString&) {
        released.wait();
        return HostLookup::Result{};
    });
    NetworkLink net;
    int ticks = 0; // a window's repaints and clocks run as these do
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);
    EXPECT_FALSE(net.open("socket://press7-server.example:3001"));
    ASSERT_EQ(net.prompt.shown().size(), 1);
    EXPECT_TRUE(net.prompt.shown()[0].text.endsWith(
        "\n\nthe name of press7-server.example:3001 was not looked up within 3 s: no answer from "
        "the name server"))
        << net.prompt.shown()[0].text.toStdString();
    EXPECT_GT(ticks, 0);
    HostLookup::useResolver(system);
    release.set_value();
}

} // namespace
