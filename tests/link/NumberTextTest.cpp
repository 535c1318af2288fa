#include "NumberText.h"

#include <gtest/gtest.h>

TEST(NumberText, LeadingNumberRule) {
    EXPECT_EQ(NumberText::leadingNumber("  12abc"), 12);
    EXPECT_EQ(NumberText::leadingNumber("-3.5e2x"), -350);
    EXPECT_EQ(NumberText::leadingNumber("1e"), 1);
    EXPECT_EQ(NumberText::leadingNumber(".5"), 0.5);
    EXPECT_EQ(NumberText::leadingNumber("abc"), 0);
    EXPECT_EQ(NumberText::leadingNumber(""), 0);
    EXPECT_EQ(NumberText::leadingNumber("+"), 0);
    EXPECT_EQ(NumberText::leadingNumber("1e999"), 0); // not a finite number
}

TEST(NumberText, NumericMeansTheWholeText) {
    EXPECT_TRUE(NumberText::isNumeric(" 180 "));
    EXPECT_TRUE(NumberText::isNumeric("-1.5E+3"));
    EXPECT_FALSE(NumberText::isNumeric("180°"));
    EXPECT_FALSE(NumberText::isNumeric("1,000"));
    EXPECT_FALSE(NumberText::isNumeric(""));
    EXPECT_FALSE(NumberText::isNumeric("."));
}

TEST(NumberText, RoundsHalvesToEven) {
    EXPECT_EQ(NumberText::roundHalfEven(12.5), 12);
    EXPECT_EQ(NumberText::roundHalfEven(13.5), 14);
    EXPECT_EQ(NumberText::roundHalfEven(-2.5), -2);
    EXPECT_EQ(NumberText::toWhole("359.5", 0, 359), std::nullopt);
    EXPECT_EQ(NumberText::toWhole("358.5", 0, 359), 358);
    EXPECT_EQ(NumberText::toWhole("x", 0, 359), std::nullopt);
}
