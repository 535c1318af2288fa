#include "Address.h"
#include "RSComm.h"

#include <gtest/gtest.h>

namespace {

struct Resolved {
    const char* text;
    char letter;
    int address;
    int mask; // 0: no bit
};

TEST(Address, ResolvesEveryForm) {
    const Resolved cases[] = {
        {"B110.6", 'B', 110, 64},  {"b110.6", 'B', 110, 64},  {"W110.6", 'B', 110, 64},
        {"B1018.0", 'B', 1018, 1}, {"F0", 'B', 32, 1},        {"F7", 'B', 32, 128},
        {"F8", 'B', 33, 1},        {"F858", 'B', 139, 4},     {"w32", 'W', 32, 0},
        {"W1020", 'W', 1020, 0},   {"D1100", 'D', 1100, 0},   {"B8176", 'B', 8176, 0},
        {"EFF0H", 'B', 61424, 0},  {"5H", 'B', 5, 0},         {"effh", 'B', 0x0E * 256 + 0xFF, 0},
        {"Z5", 'B', 32, 0},        {"W12abc", 'W', 12, 0},    {"B", 'B', 0, 0},
        {"W65534", 'W', 65534, 0}, {"D65532", 'D', 65532, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto a = Address::parse(QString::fromLatin1(c.text));
        ASSERT_TRUE(a.has_value());
        EXPECT_EQ(a->letter, QChar(c.letter));
        EXPECT_EQ(a->boardAddress, c.address);
        EXPECT_EQ(a->bitFlag, c.mask != 0);
        if (c.mask) {
            EXPECT_EQ(a->bitMask, c.mask);
        }
    }
}

TEST(Address, RefusesWhatDoesNotResolveOrLeavesSixteenBits) {
    for (const char* text : {"", "Bx.3", "B.6", "B110.x", "B-1.2", "XYZH", "H", "1FFFFH", "B65536",
                             "W65535", "D65533", "F524032", "B99999999999999999999"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Address::parse(QString::fromLatin1(text)).has_value());
    }
}

TEST(Address, WellFormedTextsResolveAsTheLinkDoes) {
    const Resolved cases[] = {
        {"B110.6", 'B', 110, 64},    {"b110.7", 'B', 110, 128}, {"B0.0", 'B', 0, 1},
        {"B65535.0", 'B', 65535, 1}, {"w32", 'W', 32, 0},       {"W1020", 'W', 1020, 0},
        {"W65534", 'W', 65534, 0},   {"D1100", 'D', 1100, 0},   {"D65532", 'D', 65532, 0},
        {"B8176", 'B', 8176, 0},     {"B65535", 'B', 65535, 0}, {"B0032", 'B', 32, 0},
        {"F0", 'B', 32, 1},          {"f858", 'B', 139, 4},     {"F524031", 'B', 65535, 128},
        {"EFF0H", 'B', 61424, 0},    {"5H", 'B', 5, 0},         {"effh", 'B', 0x0EFF, 0},
        {"FFFFH", 'B', 65535, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto strict = Address::parseWellFormed(QString::fromLatin1(c.text));
        ASSERT_TRUE(strict.has_value());
        EXPECT_EQ(strict->letter, QChar(c.letter));
        EXPECT_EQ(strict->boardAddress, c.address);
        EXPECT_EQ(strict->bitFlag, c.mask != 0);
        if (c.mask) {
            EXPECT_EQ(strict->bitMask, c.mask);
        }
    }
}

TEST(Address, MalformedTextsAreRefusedEvenWhereTheLinkWouldGuess) {
    // Each of these resolves somewhere under the lenient rules (byte 32, a
    // leading number, bit 8 or 9) or not at all; none names a register.
    for (const char* text : {"",       "XYZ",     "1020",
                             "Q1",     "Z5",      "B",
                             "W",      "B110.9",  "B110.8",
                             "W110.6", "F110.6",  "B110.",
                             "B.6",    "B1.10",   "B1.2.3",
                             "Bx.3",   "W65535",  "D65533",
                             "B65536", "F524032", "1FFFFH",
                             "EFFGH",  "H",       "0xFFH",
                             "W-5",    "W+5",     "W 32",
                             " W32",   "W32 ",    "W12x",
                             "W12abc", "W3.5e2",  "W99999999999999999999",
                             "B１２"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Address::parseWellFormed(QString::fromUtf8(text)).has_value());
    }
}

TEST(Address, EquateAddTranslatesPointsOfEachBoard) {
    EXPECT_EQ(RSComm::EquateAdd("X30.5", '1'), "B49.5");
    EXPECT_EQ(RSComm::EquateAdd("X30.9", '1'), "B49.7");
    EXPECT_EQ(RSComm::EquateAdd("x30", '1'), "B49");
    EXPECT_EQ(RSComm::EquateAdd("Y141", '1'), "B67");
    EXPECT_EQ(RSComm::EquateAdd("Q12", '1'), "Q12");
    EXPECT_EQ(RSComm::EquateAdd("X0", '2'), "B160");
    EXPECT_EQ(RSComm::EquateAdd("Y151", '2'), "B191");
    EXPECT_EQ(RSComm::EquateAdd("I151.3", '2'), "B223.3");
    EXPECT_EQ(RSComm::EquateAdd("X12", '2'), "X12");
    EXPECT_EQ(RSComm::EquateAdd("X161", '2'), "X161");
    EXPECT_EQ(RSComm::EquateAdd("X11", ':'), "B52");
    EXPECT_EQ(RSComm::EquateAdd("X21", 'B'), "B54");
    EXPECT_EQ(RSComm::EquateAdd("Y21", 'A'), "B54");
    EXPECT_EQ(RSComm::EquateAdd("Y11", '='), "B52");
    EXPECT_EQ(RSComm::EquateAdd("X30", 'D'), "X30");
    EXPECT_EQ(RSComm::EquateAdd("", '1'), "");
}

TEST(Address, ValidAddChecksBoardRanges) {
    EXPECT_FALSE(RSComm::ValidAdd("W33", '1'));
    EXPECT_TRUE(RSComm::ValidAdd("W32", '1'));
    EXPECT_FALSE(RSComm::ValidAdd("B31", '1'));
    EXPECT_FALSE(RSComm::ValidAdd("X12", '1'));
    EXPECT_TRUE(RSComm::ValidAdd("B255", '1'));
    EXPECT_FALSE(RSComm::ValidAdd("B256", '1'));
    EXPECT_TRUE(RSComm::ValidAdd("B8275", 'D'));
    EXPECT_FALSE(RSComm::ValidAdd("B8276", 'D'));
    EXPECT_TRUE(RSComm::ValidAdd("B65535", '7'));
    EXPECT_TRUE(RSComm::ValidAdd("W65534", 'F'));
    EXPECT_TRUE(RSComm::ValidAdd("F120", '1'));
    EXPECT_FALSE(RSComm::ValidAdd("F121", '1'));
    EXPECT_TRUE(RSComm::ValidAdd("F991", '2'));
    EXPECT_TRUE(RSComm::ValidAdd("I151", '2'));
    EXPECT_FALSE(RSComm::ValidAdd("I21", 'D'));
    EXPECT_FALSE(RSComm::ValidAdd("X10", 'D'));
    EXPECT_FALSE(RSComm::ValidAdd("X10", 0));
    EXPECT_TRUE(RSComm::ValidAdd("X21", '3'));
    EXPECT_FALSE(RSComm::ValidAdd("X31", '3'));
    EXPECT_TRUE(RSComm::ValidAdd("B40.9", '1')); // the bit digit is not tested
    EXPECT_TRUE(RSComm::ValidAdd("Q0", '1'));
    EXPECT_FALSE(RSComm::ValidAdd("Q1", '1'));
}

TEST(Address, OctalConversionsAndTheirSixteenBitLimit) {
    EXPECT_EQ(RSComm::Dec2Octal(15), 17);
    EXPECT_EQ(RSComm::Dec2Octal(63), 77);
    EXPECT_EQ(RSComm::Octal2Dec(17), 15);
    EXPECT_EQ(RSComm::Octal2Dec(77), 63);
    EXPECT_EQ(RSComm::Dec2Octal(32767), std::nullopt);
    EXPECT_EQ(RSComm::Octal2Dec(32767), 26215);
}

} // namespace
