// The texts of the DF1 driver's status values and reply codes, every one
// named and the forms for those no table names.
#include "Df1StatusText.h"

#include <gtest/gtest.h>

namespace {

struct Named {
    int value;
    const char* text;
};

const Named ConfigurationTexts[] = {
    {1, "(1) Busy"},
    {2, "(2) Success"},
    {3, "(3) Invalid Parameter"},
    {4, "(4) Timeout - No Response"},
    {32, "(32) Hardware ACK Error"},
    {34, "(34) Invalid Slot ADD"},
};

const Named TransmitTexts[] = {
    {1, "(1) Busy"},
    {2, "(2) Done"},
    {3, "(3) DLE NAK Received"},
    {4, "(4) DLE ENQ Timeout"},
    {5, "(5) No Response Timeout"},
    {6, "(6) Message Packet Error"},
};

const Named StsTexts[] = {
    {0x1, "(01) Not Used"},
    {0x2, "(02) Cannot Guarantee Delivery: Link Layer"},
    {0x3, "(03) Duplicate Token Holder Detected"},
    {0x4, "(04) Local Port is Disconnected"},
    {0x5, "(05) Application Layer Timed out waiting for a response"},
    {0x6, "(06) Duplicate Node Detected"},
    {0x7, "(07) Station is Off-Line"},
    {0x8, "(08) Hardware Fault"},
    {0x10, "(10) Illegal Command or Format"},
    {0x20, "(20) Host has a Problem and Will Not Communicate"},
    {0x30, "(30) Remote Node Host is Missing, Disconnected or Shut Down"},
    {0x40, "(40) Host Could Not Complete Function Due to Hardware Fault"},
    {0x50, "(50) Addressing Problem or Memory Protect Rungs"},
    {0x60, "(60) Function Disallowed due to Command Protection Selection"},
    {0x70, "(70) Processor is in Program Mode"},
    {0x80, "(80) Compatibility Mode File Missing or Communication Zone Problem"},
    {0x90, "(90) Remote Node Cannot Buffer Command"},
    {0xa0, "(A0) Not Used"},
    {0xb0, "(B0) Remote Node Problem Due to Download"},
    {0xc0, "(C0) Cannot Execute Command Due to Active IPBs"},
    {0xd0, "(D0) Not Used"},
    {0xe0, "(E0) Not Used"},
};

const Named ExtStsTexts[] = {
    {0x0, "(F0-0) Not Used"},
    {0x1, "(F0-1) A Field has an Illegal Value"},
    {0x2, "(F0-2) Less Levels Specified in Address than Minimum for any Address"},
    {0x3, "(F0-3) More Levels Specified in Address than System Supports"},
    {0x4, "(F0-4) Symbol Not Found"},
    {0x5, "(F0-5) Symbol is of Improper Format"},
    {0x6, "(F0-6) Address Dosen't Point to Something Usable"},
    {0x7, "(F0-7) File is Wrong Size"},
    {0x8, "(F0-8) Cannot Complete Request, Situation has Changed since the Start of the Command"},
    {0x9, "(F0-9) Data or File is Too Large"},
    {0xa, "(F0-A) Transaction Size plus Word Address is Too Large"},
    {0xb, "(F0-B) Access Denied, Improper Privilege"},
    {0xc, "(F0-C) Condition cannot be Generated - Resource is Not Available"},
    {0xd, "(F0-D) Condition already exists - Resource is already available"},
    {0xe, "(F0-E) Command Cannot be Executed"},
    {0xf, "(F0-F) Histogram Overflow"},
    {0x10, "(F0-10) No Access"},
    {0x11, "(F0-11) Illegal Data Type"},
    {0x12, "(F0-12) Invalid Parameter or Invalid Data"},
    {0x13, "(F0-13) Address Reference exists to Deleted Area"},
    {0x14,
     "(F0-14) Command Execution Failure for unknown reason; Possible PLC-3 Histogram Overflow"},
    {0x15, "(F0-15) Data Conversion Error"},
    {0x16, "(F0-16) Scanner Not Able to Communicate with 1771 Rack Adapter"},
    {0x17, "(F0-17) Adapter cannot Communicate with module"},
    {0x18, "(F0-18) 1771 Module Response was not Valid"},
    {0x19, "(F0-19) Duplicate Label"},
    {0x1a, "(F0-1A) File is Open; Another Node Owns it"},
    {0x1b, "(F0-1B) Another Node is the Program Owner"},
};

} // namespace

using namespace Df1StatusText;

TEST(Df1StatusText, ConfigurationStatusNamesItsValuesAndCallsTheRestUnknown) {
    for (const Named& n : ConfigurationTexts)
        EXPECT_EQ(Df1StatusText::Configuration(n.value), n.text) << n.value;
    EXPECT_EQ(Df1StatusText::Configuration(33), "(33) Unknown Status");
    EXPECT_EQ(Df1StatusText::Configuration(0), "(0) Unknown Status");
    EXPECT_EQ(Df1StatusText::Configuration(5), "(5) Unknown Status");
    EXPECT_EQ(Df1StatusText::Configuration(255), "(255) Unknown Status");
}

TEST(Df1StatusText, TransmitStatusNamesItsValuesAndCallsTheRestUnknown) {
    for (const Named& n : TransmitTexts)
        EXPECT_EQ(Df1StatusText::Transmit(n.value), n.text) << n.value;
    EXPECT_EQ(Df1StatusText::Transmit(0), "(0) Unknown Status");
    EXPECT_EQ(Df1StatusText::Transmit(7), "(7) Unknown Status");
    // Table A's extra values mean nothing here.
    EXPECT_EQ(Df1StatusText::Transmit(34), "(34) Unknown Status");
}

TEST(Df1StatusText, CommandRowsNameTheirBitsAndCallOtherValuesUnknown) {
    EXPECT_EQ(ActiveCommand(0), "Read");
    EXPECT_EQ(ActiveCommand(1), "Write");
    EXPECT_EQ(ActiveCommand(2), "(2) Unknown Status");
    EXPECT_EQ(ReceivedCommand(0), "Command");
    EXPECT_EQ(ReceivedCommand(1), "Reply");
}

TEST(Df1StatusText, LinkStatusZeroIsSuccessWhateverTheCodesSay) {
    EXPECT_FALSE(NeedsReplyCodes(0));
    EXPECT_TRUE(NeedsReplyCodes(1));
    EXPECT_TRUE(NeedsReplyCodes(255));
    EXPECT_EQ(LinkStatus(0, 0x10, 0), "(00) Success - No Error");
    EXPECT_EQ(LinkStatus(0, 0xF0, 0x1B), "(00) Success - No Error");
}

TEST(Df1StatusText, StsCodesAreNamedByTheirHexadecimalText) {
    for (const Named& n : StsTexts)
        EXPECT_EQ(LinkStatus(1, n.value, 0x1B), n.text) << n.value;
    EXPECT_EQ(LinkStatus(3, 0x10, 0), "(10) Illegal Command or Format");
    // Codes no row names: the hexadecimal text without leading zeros.
    EXPECT_EQ(LinkStatus(1, 0x09, 0), "(9) - Not Used");
    EXPECT_EQ(LinkStatus(1, 0, 0), "(0) - Not Used");
    EXPECT_EQ(LinkStatus(1, 0x0A, 0), "(A) - Not Used");
    EXPECT_EQ(LinkStatus(1, 0x11, 0), "(11) - Not Used");
    EXPECT_EQ(LinkStatus(1, 0xFF, 0), "(FF) - Not Used");
}

TEST(Df1StatusText, StsF0IsNamedByItsExtendedCode) {
    for (const Named& n : ExtStsTexts)
        EXPECT_EQ(LinkStatus(1, 0xF0, n.value), n.text) << n.value;
    EXPECT_EQ(LinkStatus(1, 0xF0, 0x1B), "(F0-1B) Another Node is the Program Owner");
    EXPECT_EQ(LinkStatus(1, 0xF0, 0x20), "(F0-20) - Not Used");
    EXPECT_EQ(LinkStatus(1, 0xF0, 0x1C), "(F0-1C) - Not Used");
    EXPECT_EQ(LinkStatus(1, 0xF0, 0xFF), "(F0-FF) - Not Used");
}

TEST(Df1StatusText, HexIsUpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(Hex(5), "5");
    EXPECT_EQ(Hex(0x1A), "1A");
    EXPECT_EQ(Hex(0), "0");
    EXPECT_EQ(Hex(0xF0), "F0");
}
