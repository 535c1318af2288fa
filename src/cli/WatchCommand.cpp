#include "WatchCommand.h"

#include "CliArgs.h"
#include "CliExit.h"
#include "Clock.h"
#include "RSComm.h"
#include "StopSignals.h"
#include "WatchRun.h"

#include <limits>
#include <variant>

namespace WatchCommand {
namespace {

constexpr int Maximum = std::numeric_limits<int>::max();

// The plan the arguments give, or the one line that says why there is none.
std::variant<WatchPlan, QString> parse(const QStringList& args) {
    WatchPlan plan;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QStringLiteral("--"))) {
            if (auto problem = CliArgs::address(arg))
                return *problem;
            plan.addresses.append(arg);
            continue;
        }
        const bool known = arg == u"--every" || arg == u"--count" || arg == u"--duration";
        if (!known)
            return QStringLiteral("watch has no option '%1'").arg(arg);
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a number").arg(arg);
        const QString& text = args[++i];
        const int min = arg == u"--every" ? 0 : 1;
        if (auto problem = CliArgs::integer(text, arg, min, Maximum))
            return *problem;
        const qint64 value = text.toLongLong();
        if (arg == u"--every")
            plan.everyMs = value;
        else if (arg == u"--count")
            plan.count = value;
        else
            plan.durationMs = value * 1000;
    }
    if (plan.addresses.isEmpty())
        return QStringLiteral("watch takes at least one ADDRESS");
    return plan;
}

} // namespace

std::optional<QString> check(const QStringList& args) {
    return CliArgs::problem(parse(args));
}

int run(CliSession& s, const QStringList& args) {
    const auto parsed = parse(args);
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        CliOut::error(*problem);
        return Usage;
    }
    // A monotonic clock of its own: the schedule only needs one that never jumps.
    SteadyClock clock;
    WatchRun watch(s.link, clock, std::get<WatchPlan>(parsed), CliOut::line);
    // Output that failed, or a reader that went away, ends it like Ctrl+C.
    watch.stopRequested = [] { return StopSignals::requested() || CliOut::failed(); };
    StopSignals::install();
    const WatchRun::End end = watch.run();
    StopSignals::uninstall();
    return end == WatchRun::End::LinkLost ? LinkFailed : Ok;
}

} // namespace WatchCommand
