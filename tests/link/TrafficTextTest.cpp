// The lines of the Comm Traffic window and of telvane-cli --trace, from the
// exchanges of the link with the in-process board on a virtual clock.
#include "TrafficText.h"
#include "LinkFixture.h"

namespace {

class TrafficLines : public LinkFixture {
protected:
    struct Lines final : ExchangeObserver {
        QStringList lines;
        std::optional<qint64> origin;
        void exchanged(const Exchange& e) override {
            if (!origin)
                origin = e.atUs;
            lines.append(TrafficText::line(e, *origin));
        }
    };
    void SetUp() override {
        goOnline();
        link.core().addObserver(lines);
    }
    void TearDown() override { link.core().removeObserver(lines); }
    Lines lines;
};

TEST_F(TrafficLines, AWordReadShowsEachByteWithItsTimeAndMeaningThenTheValue) {
    board.memory().setByte(1020, 0x2C);
    board.memory().setByte(1021, 0x01);
    EXPECT_EQ(link.RSRead("W1020"), "300");
    EXPECT_EQ(lines.lines, (QStringList{"       0.0   2.08  FF 55  attention",
                                        "       2.1   2.08  01 55  read mode",
                                        "       4.2   2.08  03 03  W1020 high address",
                                        "       6.2   2.08  FC 2C  W1020 low address, data",
                                        "       8.3   2.08  03 03  W1020+1 high address",
                                        "      10.4   2.08  FD 01  W1020+1 low address, data",
                                        "      12.5                = W1020 300"}));
}

TEST_F(TrafficLines, ATimeOutItsResendAndAWrongEchoAreNamedAndMarked) {
    board.faults().dropAnswerAt = board.bytesReceived();
    const QString value = link.RSRead("B110.6");
    EXPECT_FALSE(link.LastReadFailed());
    ASSERT_GE(lines.lines.size(), 3);
    EXPECT_TRUE(lines.lines[0].endsWith("FF --  attention: no answer (time-out)"));
    EXPECT_TRUE(lines.lines[1].endsWith("FF --  attention resent after the time-out"));
    EXPECT_TRUE(lines.lines[2].endsWith(
        "FF 55  answer to the resent attention: the transaction starts over"));
    EXPECT_TRUE(lines.lines.last().endsWith("= B110.6 " + value));

    lines.lines.clear();
    board.faults().wrongEchoAt = board.bytesReceived();
    link.RSRead("W1020");
    EXPECT_TRUE(lines.lines.join('\n').contains("03 04  W1020 high address: wrong echo"));
}

TEST_F(TrafficLines, PlsCommandsAreNamedByTheirCommandByte) {
    link.SetPLSOffset(0);
    const QString all = lines.lines.join('\n');
    for (const char* named : {"18 55  PLS read scale factor", "55 68  PLS read scale factor: byte",
                              "2A 55  PLS write offset", "38 55  PLS ready?", "55 00  PLS ready"})
        EXPECT_TRUE(all.contains(QString::fromLatin1(named))) << named;
}

} // namespace
