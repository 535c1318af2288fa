#include "BoardCodes.h"
#include "RSComm.h"

#include <gtest/gtest.h>

TEST(BoardCodes, NamesAndConfigurationCodes) {
    EXPECT_EQ(RSComm::TargetboardName(49), "R8030");
    EXPECT_EQ(RSComm::TargetboardName(57), "Not Defined");
    EXPECT_EQ(RSComm::TargetboardName(64), "K2401");
    EXPECT_EQ(RSComm::TargetboardName(68), "K2700(PLC)");
    EXPECT_EQ(RSComm::TargetboardName(69), "K2700(PLS)");
    EXPECT_EQ(RSComm::TargetboardName(70), "F Is Not Defined.");
    EXPECT_EQ(RSComm::TargetboardName(48), "0 Is Not Defined.");
    EXPECT_EQ(RSComm::LCFBoardIndex(50), "1");
    EXPECT_EQ(RSComm::LCFBoardIndex(55), "");
    EXPECT_EQ(RSComm::LCFBoardIndex(58), "@");
    EXPECT_EQ(RSComm::LCFBoardIndex(68), "G");
    EXPECT_EQ(RSComm::LCFBoardIndex(70), "");
}

TEST(BoardCodes, Groups) {
    for (int code : {'7', '>', '?', '@', 'C', 'E'})
        EXPECT_TRUE(BoardCodes::isPlsProgram(code)) << code;
    EXPECT_FALSE(BoardCodes::isPlsProgram('D'));
    EXPECT_TRUE(BoardCodes::isConfigured('8'));
    EXPECT_TRUE(BoardCodes::isConfigured('A'));
    EXPECT_FALSE(BoardCodes::isConfigured('B'));
    EXPECT_FALSE(BoardCodes::isConfigured('7'));
    EXPECT_TRUE(BoardCodes::isUndefined('9'));
    EXPECT_TRUE(BoardCodes::isUndefined('1'));
    EXPECT_TRUE(BoardCodes::isUndefined('F'));
    EXPECT_FALSE(BoardCodes::isUndefined('2'));
    EXPECT_FALSE(BoardCodes::isUndefined('E'));
}
