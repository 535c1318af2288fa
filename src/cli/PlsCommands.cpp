#include "PlsCommands.h"

#include "CliArgs.h"
#include "CliExit.h"
#include "RSComm.h"

namespace {

const QStringList readables = {QStringLiteral("scale"), QStringLiteral("offset"),
                               QStringLiteral("pos"), QStringLiteral("rpm")};

// The link sends channels, divisions and configuration values as one byte
// and setpoints, positions and the scale as two.
constexpr int ByteMax = 255;
constexpr int WordMax = 65535;

struct Range {
    const char* what;
    int min;
    int max;
};

std::optional<QString> checkAll(const QStringList& args, std::initializer_list<Range> ranges) {
    qsizetype i = 0;
    for (const Range& r : ranges) {
        if (auto problem = CliArgs::integer(args[i++], QString::fromLatin1(r.what), r.min, r.max))
            return problem;
    }
    return std::nullopt;
}

QList<int> integers(const QStringList& args) {
    QList<int> values;
    for (const QString& a : args)
        values.append(a.toInt());
    return values;
}

int outcome(const CliSession& s, bool done) {
    if (done)
        return Ok;
    return s.link.CommError() ? LinkFailed : Usage;
}

} // namespace

namespace PlsCommands {

std::optional<QString> checkRead(const QStringList& args) {
    if (readables.contains(args[0]))
        return std::nullopt;
    return QStringLiteral("pls-read takes scale, offset, pos or rpm, not '%1'").arg(args[0]);
}

// The Machine Timing window's limits and its check of ON against OFF.
std::optional<QString> checkSetpoint(const QStringList& args) {
    using namespace EntryChecks;
    if (auto problem = CliArgs::entry(args[0], QStringLiteral("channel"), ChannelNumber))
        return problem;
    if (auto problem = CliArgs::entry(args[1], QStringLiteral("ON setpoint"), Setpoint))
        return problem;
    if (auto problem = CliArgs::entry(args[2], QStringLiteral("OFF setpoint"), Setpoint))
        return problem;
    return SetpointPair(args[1].toLongLong(), args[2].toLongLong());
}

std::optional<QString> checkPulse(const QStringList& args) {
    return checkAll(args, {{"channel", 0, ByteMax},
                           {"ON division", 1, ByteMax},
                           {"OFF division", 1, ByteMax},
                           {"start position", 0, WordMax}});
}

// The channel number box of the window's Recall and Clear.
std::optional<QString> checkChannel(const QStringList& args) {
    return CliArgs::entry(args[0], QStringLiteral("channel"), EntryChecks::ChannelNumber);
}

std::optional<QString> checkOffset(const QStringList& args) {
    return CliArgs::entry(args[0], QStringLiteral("position"), EntryChecks::ResolverOffset);
}

std::optional<QString> checkConfigDownload(const QStringList& args) {
    if (auto problem = CliArgs::integer(args[0], QStringLiteral("scale factor"), 0, WordMax))
        return problem;
    for (qsizetype i = 1; i < args.size(); ++i)
        if (auto problem = CliArgs::integer(
                args[i], QStringLiteral("configuration value V%1").arg(i - 1), 0, ByteMax))
            return problem;
    return std::nullopt;
}

int read(CliSession& s, const QStringList& args) {
    const QString& what = args[0];
    const QString text = what == u"scale"    ? s.link.PLSScaleFactor()
                         : what == u"offset" ? s.link.PLSOffset()
                         : what == u"pos"    ? s.link.PLSPos()
                                             : s.link.PLSRpm();
    if (s.link.CommError() || text == u"-9999")
        return LinkFailed;
    CliOut::line(text);
    return Ok;
}

int setpoint(CliSession& s, const QStringList& args) {
    const QList<int> v = integers(args);
    return outcome(s, s.link.SingleSetpoint(v[0], v[1], v[2], true));
}

int pulse(CliSession& s, const QStringList& args) {
    const QList<int> v = integers(args);
    return outcome(s, s.link.PulseTrain(v[0], v[1], v[2], v[3]));
}

int clear(CliSession& s, const QStringList& args) {
    return outcome(s, s.link.ClearPLSChan(args[0].toInt()));
}

int recall(CliSession& s, const QStringList& args) {
    const bool done = s.link.RecallChannel(args[0].toInt());
    if (done)
        CliOut::line(QString::number(s.link.ChannelRecallState()) + u' ' +
                     QString::number(s.link.ChannelRecallPos()));
    return outcome(s, done);
}

int offset(CliSession& s, const QStringList& args) {
    // The window offers the offset only while the machine stands.
    const QString rpm = s.link.PLSRpm();
    if (s.link.CommError() || rpm == u"-9999")
        return LinkFailed;
    if (rpm != u"0") {
        CliOut::error(QStringLiteral("the machine is turning (%1 RPM); the resolver offset is set "
                                     "only while it stands")
                          .arg(rpm));
        return Usage;
    }
    return outcome(s, s.link.SetPLSOffset(args[0].toInt()));
}

int config(CliSession& s, const QStringList&) {
    const auto values = s.link.PLSConfigUpload();
    if (s.link.LastPLSConfigUploadFailed() || s.link.CommError())
        return LinkFailed;
    QStringList texts;
    for (const int v : values)
        texts.append(QString::number(v));
    CliOut::line(texts.join(u' '));
    return Ok;
}

int configDownload(CliSession& s, const QStringList& args) {
    const QList<int> v = integers(args);
    std::array<int, RSComm::PLSConfigValues> values{};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = v[qsizetype(i) + 1];
    return outcome(s, s.link.PLSConfigDownload(values, v[0]));
}

} // namespace PlsCommands
