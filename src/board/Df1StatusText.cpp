#include "Df1StatusText.h"

#include <algorithm>
#include <iterator>

namespace {

struct Named {
    int value;
    const char* text;
};

template <size_t N> const char* find(const Named (&table)[N], int value) {
    const auto it = std::find_if(std::begin(table), std::end(table),
                                 [value](const Named& n) { return n.value == value; });
    return it == std::end(table) ? nullptr : it->text;
}

QString unknownStatus(int value) {
    return QStringLiteral("(") + QString::number(value) + QStringLiteral(") Unknown Status");
}

template <size_t N> QString statusText(const Named (&table)[N], int value) {
    const char* text = find(table, value);
    return text ? QString::fromLatin1(text) : unknownStatus(value);
}

constexpr Named ConfigurationTable[] = {
    {1, "(1) Busy"},
    {2, "(2) Success"},
    {3, "(3) Invalid Parameter"},
    {4, "(4) Timeout - No Response"},
    {32, "(32) Hardware ACK Error"},
    {34, "(34) Invalid Slot ADD"},
};

constexpr Named TransmitTable[] = {
    {1, "(1) Busy"},
    {2, "(2) Done"},
    {3, "(3) DLE NAK Received"},
    {4, "(4) DLE ENQ Timeout"},
    {5, "(5) No Response Timeout"},
    {6, "(6) Message Packet Error"},
};

constexpr Named ActiveCommandTable[] = {{0, "Read"}, {1, "Write"}};
constexpr Named ReceivedCommandTable[] = {{0, "Command"}, {1, "Reply"}};

// STS codes, keyed by their value: each hexadecimal name is unique, so this
// matches the names exactly (STS 0 is not named).
constexpr int ExtendedSts = 0xF0;
constexpr Named StsTable[] = {
    {0x01, "(01) Not Used"},
    {0x02, "(02) Cannot Guarantee Delivery: Link Layer"},
    {0x03, "(03) Duplicate Token Holder Detected"},
    {0x04, "(04) Local Port is Disconnected"},
    {0x05, "(05) Application Layer Timed out waiting for a response"},
    {0x06, "(06) Duplicate Node Detected"},
    {0x07, "(07) Station is Off-Line"},
    {0x08, "(08) Hardware Fault"},
    {0x10, "(10) Illegal Command or Format"},
    {0x20, "(20) Host has a Problem and Will Not Communicate"},
    {0x30, "(30) Remote Node Host is Missing, Disconnected or Shut Down"},
    {0x40, "(40) Host Could Not Complete Function Due to Hardware Fault"},
    {0x50, "(50) Addressing Problem or Memory Protect Rungs"},
    {0x60, "(60) Function Disallowed due to Command Protection Selection"},
    {0x70, "(70) Processor is in Program Mode"},
    {0x80, "(80) Compatibility Mode File Missing or Communication Zone Problem"},
    {0x90, "(90) Remote Node Cannot Buffer Command"},
    {0xA0, "(A0) Not Used"},
    {0xB0, "(B0) Remote Node Problem Due to Download"},
    {0xC0, "(C0) Cannot Execute Command Due to Active IPBs"},
    {0xD0, "(D0) Not Used"},
    {0xE0, "(E0) Not Used"},
};

constexpr Named ExtStsTable[] = {
    {0x00, "(F0-0) Not Used"},
    {0x01, "(F0-1) A Field has an Illegal Value"},
    {0x02, "(F0-2) Less Levels Specified in Address than Minimum for any Address"},
    {0x03, "(F0-3) More Levels Specified in Address than System Supports"},
    {0x04, "(F0-4) Symbol Not Found"},
    {0x05, "(F0-5) Symbol is of Improper Format"},
    {0x06, "(F0-6) Address Dosen't Point to Something Usable"},
    {0x07, "(F0-7) File is Wrong Size"},
    {0x08, "(F0-8) Cannot Complete Request, Situation has Changed since the Start of the "
           "Command"},
    {0x09, "(F0-9) Data or File is Too Large"},
    {0x0A, "(F0-A) Transaction Size plus Word Address is Too Large"},
    {0x0B, "(F0-B) Access Denied, Improper Privilege"},
    {0x0C, "(F0-C) Condition cannot be Generated - Resource is Not Available"},
    {0x0D, "(F0-D) Condition already exists - Resource is already available"},
    {0x0E, "(F0-E) Command Cannot be Executed"},
    {0x0F, "(F0-F) Histogram Overflow"},
    {0x10, "(F0-10) No Access"},
    {0x11, "(F0-11) Illegal Data Type"},
    {0x12, "(F0-12) Invalid Parameter or Invalid Data"},
    {0x13, "(F0-13) Address Reference exists to Deleted Area"},
    {0x14, "(F0-14) Command Execution Failure for unknown reason; Possible PLC-3 Histogram "
           "Overflow"},
    {0x15, "(F0-15) Data Conversion Error"},
    {0x16, "(F0-16) Scanner Not Able to Communicate with 1771 Rack Adapter"},
    {0x17, "(F0-17) Adapter cannot Communicate with module"},
    {0x18, "(F0-18) 1771 Module Response was not Valid"},
    {0x19, "(F0-19) Duplicate Label"},
    {0x1A, "(F0-1A) File is Open; Another Node Owns it"},
    {0x1B, "(F0-1B) Another Node is the Program Owner"},
};

} // namespace

namespace Df1StatusText {

QString Hex(int value) {
    // Register values are never negative; were one, its bits are named.
    return QString::number(quint32(value), 16).toUpper();
}

QString Configuration(int value) {
    return statusText(ConfigurationTable, value);
}

QString Transmit(int value) {
    return statusText(TransmitTable, value);
}

QString ActiveCommand(int value) {
    return statusText(ActiveCommandTable, value);
}

QString ReceivedCommand(int value) {
    return statusText(ReceivedCommandTable, value);
}

QString LinkStatus(int status, int sts, int extSts) {
    if (!NeedsReplyCodes(status))
        return QStringLiteral("(00) Success - No Error");
    if (sts == ExtendedSts) {
        if (const char* text = find(ExtStsTable, extSts))
            return QString::fromLatin1(text);
        return QStringLiteral("(F0-") + Hex(extSts) + QStringLiteral(") - Not Used");
    }
    if (const char* text = find(StsTable, sts))
        return QString::fromLatin1(text);
    return QStringLiteral("(") + Hex(sts) + QStringLiteral(") - Not Used");
}

} // namespace Df1StatusText
