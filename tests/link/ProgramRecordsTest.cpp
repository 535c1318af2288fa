// The checks a program file passes before anything is sent.
#include "ProgramRecords.h"

#include <gtest/gtest.h>

namespace {

using ProgramRecords::parse;
using ProgramRecords::parseLine;

TEST(ProgramRecords, DataRecordsWithAndWithoutChecksum) {
    const auto withSum = parseLine(":03200000010203D7");
    ASSERT_TRUE(withSum);
    EXPECT_EQ(withSum->address, 0x2000);
    EXPECT_EQ(withSum->addressText, "2000");
    EXPECT_EQ(withSum->data, QByteArray::fromHex("010203"));
    // The upload writes no checksum; lower-case digits are hex digits too.
    const auto withoutSum = parseLine(":03abcd00010203");
    ASSERT_TRUE(withoutSum);
    EXPECT_EQ(withoutSum->address, 0xABCD);
    EXPECT_EQ(withoutSum->addressText, "abcd");
    // The end record and an empty data record are valid and carry nothing.
    ASSERT_TRUE(parseLine(":00000001FF"));
    EXPECT_TRUE(parseLine(":00000001FF")->data.isEmpty());
    EXPECT_TRUE(parseLine(":00000001"));
    EXPECT_TRUE(parseLine(":00123400BA"));
    EXPECT_FALSE(parseLine(":0012340000")); // 12 + 34 is not cancelled by 00
}

TEST(ProgramRecords, InvalidLines) {
    const char* invalid[] = {
        "",                    // empty
        "03200000010203D7",    // no colon
        ";03200000010203D7",   // another first character
        ":0320000001020",      // shorter than its count
        ":032000000102",       // two data digits short
        ":03200000010203D",    // one checksum digit
        ":03200000010203D7FF", // something after the checksum
        ":03200000010203D8",   // wrong checksum
        ":0320000001G203",     // not a hex digit in the data
        ":0G200000010203",     // ... in the count
        ":032000020102030000", // record type 02
        ":03200004010203",     // record type 04
        ":01000001FF",         // end record with data
        ":",                   // nothing after the colon
        ": 3200000010203",     // a blank inside
    };
    for (const char* line : invalid)
        EXPECT_FALSE(parseLine(QString::fromLatin1(line))) << line;
}

TEST(ProgramRecords, AFileIsValidOnlyAsAWhole) {
    const auto records = parse({":03200000010203D7", ":0220100055AA", "  :00000001FF  "});
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2); // the end record is not sent
    EXPECT_EQ(records->at(1).address, 0x2010);
    EXPECT_FALSE(parse({":03200000010203D7", ":0220100055A"}));
    EXPECT_FALSE(parse({":03200000010203D7", ""}));
    EXPECT_TRUE(parse({}));
    EXPECT_TRUE(ProgramRecords::parseFile(":03200000010203D7\r\n:00000001FF\r\n"));
    EXPECT_TRUE(ProgramRecords::parseFile(":03200000010203D7\n:00000001FF"));
    EXPECT_FALSE(ProgramRecords::parseFile(":03200000010203D7\r\n\r\n:00000001FF\r\n"));
}

} // namespace
