#include "RegisterCommands.h"

#include "Address.h"
#include "CliArgs.h"
#include "CliExit.h"
#include "RSComm.h"
#include "SampleRead.h"
#include "WindowFields.h"

#include <algorithm>

namespace RegisterCommands {

std::optional<QString> checkRead(const QStringList& args) {
    for (const QString& a : args)
        if (auto problem = CliArgs::address(a))
            return problem;
    return std::nullopt;
}

std::optional<QString> checkWrite(const QStringList& args) {
    if (auto problem = CliArgs::address(args[0]))
        return problem;
    // The link keeps only the digits of a value: "-5" or "1e3" would go out
    // as something nobody typed. Its range is the link's to check.
    const QString& value = args[1];
    const bool digits =
        !value.isEmpty() && value.size() <= 10 &&
        std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        return QStringLiteral("not a value: '%1' (digits only)").arg(value);
    return WindowFields::CheckWrite(args[0], value.toLongLong());
}

int read(CliSession& s, const QStringList& args) {
    for (const QString& address : args) {
        // Whole, as watch reads: the running machine moves most registers.
        const std::optional<QString> value = SampleRead::read(s.link, address);
        if (!value) {
            CliOut::error((s.link.CommError() || s.link.LastReadFailed()
                               ? QStringLiteral("reading %1 failed on %2")
                               : QStringLiteral("%1 never held still for a whole read on %2"))
                              .arg(address, s.port));
            return LinkFailed;
        }
        if (!CliOut::line(*value))
            return Ok; // the output failed: no more reads
    }
    return Ok;
}

int write(CliSession& s, const QStringList& args) {
    s.link.RSWrite(args[0], args[1]);
    if (s.link.LastWriteRefused())
        return Usage; // the link's entry alert says why
    if (s.link.CommError() || s.link.LastWriteFailed()) {
        CliOut::error(QStringLiteral("writing %1 failed on %2").arg(args[0], s.port));
        return LinkFailed;
    }
    return Ok;
}

int fault(CliSession& s, const QStringList&) {
    const int code = s.link.FaultCode();
    if (s.link.CommError() || s.link.LastReadFailed()) {
        CliOut::error(QStringLiteral("reading the fault code failed on %1").arg(s.port));
        return LinkFailed;
    }
    CliOut::line(s.link.FaultDescription(code));
    return Ok;
}

int firmware(CliSession& s, const QStringList&) {
    const int revision = s.link.FirmwareRev();
    if (s.link.CommError() || s.link.LastReadFailed() || revision < 0) {
        CliOut::error(QStringLiteral("reading the firmware revision failed on %1").arg(s.port));
        return LinkFailed;
    }
    CliOut::line(QString::number(revision));
    return Ok;
}

} // namespace RegisterCommands
