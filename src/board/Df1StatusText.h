#pragma once

#include <QString>

// The texts of the DF1 driver's status values and of the Allen-Bradley STS
// and EXT STS reply codes. A value no table names still says what it was.
namespace Df1StatusText {

// The driver's configuration status (B4023).
QString Configuration(int value);
// The transmit data status (B4021, B4022).
QString Transmit(int value);
// The active command (B4014): read or write.
QString ActiveCommand(int value);
// The received command bit (B4302.6): a command or a reply.
QString ReceivedCommand(int value);
// The link layer status (B4303): no error, or what STS (B4018) and, for
// STS F0, EXT STS (B4019) say.
QString LinkStatus(int status, int sts, int extSts);
// The link layer status needs STS and EXT STS only when it is not zero.
inline bool NeedsReplyCodes(int status) {
    return status != 0;
}

// Upper-case hexadecimal without leading zeros, as the codes are named.
QString Hex(int value);

} // namespace Df1StatusText
