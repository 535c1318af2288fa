// The link through serial device servers that misbehave on purpose
// (hostile-server): each is left with words that name it after a few bytes,
// and one that breaks off mid-session is a lost connection that Retry makes
// again.
#include "HostileServer.h"
#include "NetworkLink.h"
#include "TelnetClient.h"

#include <gtest/gtest.h>

namespace {

TEST(HostileServerTest, AServerThatFloodsOrOffersAgainWhatWasRefusedIsLeftAfterAFewBytes) {
    for (const QString& mode : {QStringLiteral("flood"), QStringLiteral("reoffer")}) {
        SCOPED_TRACE(mode.toStdString());
        HostileServer server({mode});
        ASSERT_TRUE(server.started());
        NetworkLink net;
        EXPECT_FALSE(net.open(server.url()));
        ASSERT_EQ(net.prompt.shown().size(), 1);
        EXPECT_EQ(net.prompt.shown()[0].title, "Comm Port Error");
        const int option = mode == u"flood" ? 1 : 5;
        EXPECT_EQ(net.reason(),
                  QString("%1 keeps renegotiating telnet option %2 (refused %3 times)")
                      .arg(server.hostPort())
                      .arg(option)
                      .arg(TelnetClient::RefusalLimit));
        // What the client sent in all: its options, a few refusals.
        EXPECT_LT(HostileServer::received(server.report()), 2048);
    }
}

TEST(HostileServerTest, ASpeedOtherThanTheOneAskedForIsAFailureThatNamesBoth) {
    const struct {
        QStringList mode;
        QString words;
    } cases[] = {
        {{"speed", "9600"}, "set its port to 9600 baud, not 19200 baud as asked"},
        {{"empty-speed"}, "answered the request for 19200 baud without a speed"},
        {{"unagreed-speed"},
         "answered 9600 baud for the COM port option it never agreed to (19200 baud asked)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode.join(' ').toStdString());
        HostileServer server(c.mode);
        ASSERT_TRUE(server.started());
        NetworkLink net;
        EXPECT_FALSE(net.open(server.url()));
        EXPECT_EQ(net.reason(), server.hostPort() + ' ' + c.words);
    }
}

TEST(HostileServerTest, ThePortSettingsGoOncePerConnectionHoweverOftenTheOptionIsTaken) {
    HostileServer server({"toggle", "2"});
    ASSERT_TRUE(server.started());
    NetworkLink net;
    ASSERT_TRUE(net.open(server.url())) << net.reason().toStdString();
    const QString value = net.link.RSRead("W1020");
    EXPECT_FALSE(net.link.LastReadFailed());
    EXPECT_EQ(net.link.RSRead("W1020"), value);
    net.link.CloseRSComm();
    EXPECT_TRUE(server.report().endsWith("speed requests 1, speeds 19200"));
}

TEST(HostileServerTest, ASubnegotiationWithoutEndIsALostConnectionThatRetryMakesAgain) {
    // Seven data bytes go through: the greeting, the read mode's handshake
    // and one word read; the eighth meets IAC SB and no end.
    for (const char* mode : {"endless-sub", "endless-iac"}) {
        SCOPED_TRACE(mode);
        HostileServer server({mode, "7"});
        ASSERT_TRUE(server.started());
        NetworkLink net;
        ASSERT_TRUE(net.open(server.url()));
        const QString value = net.link.RSRead("W1020");
        EXPECT_TRUE(net.prompt.shown().isEmpty());
        net.prompt.queue(Prompt::Answer::Retry);
        EXPECT_EQ(net.link.RSRead("W1020"), value);
        ASSERT_EQ(net.prompt.shown().size(), 1);
        EXPECT_EQ(net.prompt.shown()[0].text,
                  CableText + "\r\r" + server.hostPort() +
                      QString(" sent a telnet subnegotiation longer than %1 bytes without its end")
                          .arg(TelnetClient::SubnegotiationCap));
        EXPECT_FALSE(net.link.CommError());
    }
}

TEST(HostileServerTest, ABoardThatDoesNotAnswerBehindAServerIsAskedAboutWithTheServersWords) {
    HostileServer server({"silent"});
    ASSERT_TRUE(server.started());
    NetworkLink net;
    EXPECT_FALSE(net.open(server.url()));
    ASSERT_EQ(net.prompt.shown().size(), 1);
    EXPECT_EQ(net.prompt.shown()[0].text,
              CableText + "\r\r" + server.hostPort() +
                  " is connected, but the board behind it did not answer (the server set its "
                  "port to 19200 baud).");
}

} // namespace
