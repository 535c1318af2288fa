#include "MonitorConfig.h"

#include "Address.h"
#include "DeviceText.h"
#include "IniFile.h"
#include "PlantMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <limits>

namespace {

using Problem = MonitorConfig::Problem;
using Section = IniFile::Section;

const QString BrokerSection = QStringLiteral("broker");
const QStringList BrokerKeys{"url",           "ca-file", "client-id", "username",
                             "password-file", "topic",   "queue",     "queue-limit"};
const QStringList PressKeys{"device", "baud", "registers", "every"};

bool isName(const QString& text, const QString& alsoAllowed) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && !alsoAllowed.contains(c))
            return false;
    return true;
}

// Reads a section's keys, refusing any it does not know and any given twice.
class Keys {
public:
    Keys(const Section& section, const QStringList& known) : m_section(section) {
        for (const auto& entry : section.entries) {
            if (!known.contains(entry.key)) {
                m_problem =
                    Problem{section.name, entry.key,
                            QStringLiteral("no such key (%1 takes %2)")
                                .arg(section.name == BrokerSection ? QStringLiteral("[broker]")
                                                                   : QStringLiteral("a press"),
                                     known.join(QStringLiteral(", "))),
                            entry.line};
                return;
            }
            if (m_lines.contains(entry.key)) {
                m_problem = Problem{
                    section.name, entry.key,
                    QStringLiteral("given twice (first on line %1)").arg(m_lines.value(entry.key)),
                    entry.line};
                return;
            }
            m_lines.insert(entry.key, entry.line);
            m_values.insert(entry.key, entry.value);
        }
    }
    const std::optional<Problem>& problem() const { return m_problem; }
    bool has(const QString& key) const { return m_values.contains(key); }
    QString value(const QString& key) const { return m_values.value(key); }
    Problem fault(const QString& key, const QString& why) const {
        return {m_section.name, key, why, m_lines.value(key, m_section.line)};
    }

private:
    const Section& m_section;
    QHash<QString, QString> m_values;
    QHash<QString, int> m_lines;
    std::optional<Problem> m_problem;
};

QString resolvePath(const QString& folder, const QString& path) {
    return QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

std::optional<QString> topicProblem(const QString& topic) {
    if (topic.isEmpty())
        return QStringLiteral("empty");
    if (topic.contains(u'+') || topic.contains(u'#') || topic.contains(QChar(0)))
        return QStringLiteral("'%1': a topic prefix holds no '+', '#' or NUL").arg(topic);
    if (topic.split(u'/').contains(QString()))
        return QStringLiteral("'%1': a topic prefix has no empty level (no leading, trailing "
                              "or double '/')")
            .arg(topic);
    return std::nullopt;
}

std::optional<Problem> readPassword(const Keys& keys, const QString& folder,
                                    MonitorConfig::Broker& broker) {
    const QString path = resolvePath(folder, keys.value("password-file"));
    const QFileInfo info(path);
    if (!info.exists())
        return keys.fault("password-file", QStringLiteral("%1 does not exist").arg(path));
    // The password is the broker's key to the plant's data: a file others
    // may read gives it away.
    if (info.permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther))
        return keys.fault("password-file",
                          QStringLiteral("others may read or change %1 (chmod o-rw %1)").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys.fault("password-file",
                          QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray content = file.read(4096);
    broker.password = content.left(content.indexOf('\n')).trimmed();
    if (broker.password.isEmpty())
        return keys.fault("password-file", QStringLiteral("%1 holds no password").arg(path));
    return std::nullopt;
}

std::optional<Problem> readBroker(const Section& section, const MonitorConfig::Defaults& defaults,
                                  MonitorConfig::Broker& broker) {
    const Keys keys(section, BrokerKeys);
    if (keys.problem())
        return keys.problem();
    if (!keys.has("url"))
        return keys.fault("url", QStringLiteral("missing (mqtt://HOST:PORT)"));
    const auto address = BrokerAddress::parse(keys.value("url"));
    if (const QString* why = std::get_if<QString>(&address))
        return keys.fault("url", *why);
    broker.address = std::get<BrokerAddress>(address);
    if (!broker.address.path.isEmpty())
        return keys.fault("url", QStringLiteral("takes no path: the topic prefix goes in topic"));

    if (keys.has("ca-file")) {
        if (!broker.address.tls)
            return keys.fault("ca-file", QStringLiteral("only an mqtts:// broker takes one"));
        broker.caFile = resolvePath(defaults.folder, keys.value("ca-file"));
        QFile file(broker.caFile);
        if (!file.open(QIODevice::ReadOnly))
            return keys.fault(
                "ca-file",
                QStringLiteral("cannot read %1: %2").arg(broker.caFile, file.errorString()));
    }

    broker.clientId = keys.has("client-id") ? keys.value("client-id") : defaults.clientId;
    if (!isName(broker.clientId, QStringLiteral("-_.")) || broker.clientId.size() > 64)
        return keys.fault("client-id",
                          QStringLiteral("'%1': a client id takes 1 to 64 letters, digits, "
                                         "'-', '_' and '.'")
                              .arg(broker.clientId));

    broker.username = keys.value("username");
    if (keys.has("username") && broker.username.isEmpty())
        return keys.fault("username", QStringLiteral("empty"));
    if (keys.has("password-file")) {
        if (broker.username.isEmpty())
            return keys.fault("password-file", QStringLiteral("a password needs a username"));
        if (auto problem = readPassword(keys, defaults.folder, broker))
            return problem;
    }

    if (keys.has("topic"))
        broker.topic = keys.value("topic");
    if (const auto why = topicProblem(broker.topic))
        return keys.fault("topic", *why);

    broker.queueFolder = keys.has("queue") ? resolvePath(defaults.folder, keys.value("queue"))
                                           : defaults.queueFolder;
    qint64 limitMb = MonitorConfig::DefaultQueueLimitMb;
    if (keys.has("queue-limit")) {
        bool ok = false;
        limitMb = keys.value("queue-limit").toLongLong(&ok);
        if (!ok || limitMb < 1 || limitMb > 1'000'000)
            return keys.fault("queue-limit",
                              QStringLiteral("'%1' is no number of megabytes (1..1000000)")
                                  .arg(keys.value("queue-limit")));
    }
    broker.queueLimitBytes = limitMb * 1024 * 1024;
    return std::nullopt;
}

std::optional<Problem> readPress(const Section& section, MonitorConfig::Press& press) {
    press.name = section.name;
    if (!isName(press.name, QStringLiteral("-_")))
        return Problem{section.name,
                       {},
                       QStringLiteral("a press is named by letters, digits, '-' and '_'"),
                       section.line};
    if (press.name == Plant::Topics::MonitorLevel)
        return Problem{section.name,
                       {},
                       QStringLiteral("the name of the monitors' own topics; name the press "
                                      "otherwise"),
                       section.line};
    const Keys keys(section, PressKeys);
    if (keys.problem())
        return keys.problem();

    press.port.device = keys.value("device");
    if (press.port.device.isEmpty())
        return keys.fault("device", keys.has("device") ? QStringLiteral("empty")
                                                       : QStringLiteral("missing (a serial device, "
                                                                        "socket://HOST:PORT or "
                                                                        "rfc2217://HOST:PORT)"));
    // The check every device text passes, so that whatever the monitor takes
    // the Comm Port window and telvane-cli take as well.
    if (const auto problem = DeviceText::problem(press.port.device))
        return keys.fault("device", *problem);

    press.port.baud = keys.has("baud") ? keys.value("baud") : QStringLiteral("9600");
    if (press.port.baud != u"9600" && press.port.baud != u"19200")
        return keys.fault(
            "baud", QStringLiteral("'%1': the board runs at 9600 or 19200").arg(press.port.baud));

    press.registers = MonitorConfig::DefaultRegisters;
    if (keys.has("registers")) {
        press.registers.clear();
        const QStringList addresses =
            keys.value("registers")
                .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (addresses.isEmpty())
            return keys.fault("registers", QStringLiteral("empty"));
        for (const QString& address : addresses) {
            if (!Address::parseWellFormed(address))
                return keys.fault("registers",
                                  QStringLiteral("'%1' is not a register address").arg(address));
            if (press.registers.contains(address.toUpper()))
                return keys.fault("registers", QStringLiteral("'%1' is named twice").arg(address));
            press.registers.append(address.toUpper());
        }
    }

    if (keys.has("every")) {
        bool ok = false;
        const qint64 every = keys.value("every").toLongLong(&ok);
        if (!ok || every < 0 || every > 24 * 3600 * 1000)
            return keys.fault("every",
                              QStringLiteral("'%1' is no number of milliseconds (0..86400000)")
                                  .arg(keys.value("every")));
        press.everyMs = int(every);
    }
    return std::nullopt;
}

} // namespace

QString MonitorConfig::Problem::text(const QString& file) const {
    QString where = file;
    if (line > 0)
        where += u':' + QString::number(line);
    QString what;
    if (!section.isEmpty())
        what = u'[' + section + u']';
    if (!key.isEmpty())
        what += (what.isEmpty() ? QString() : QStringLiteral(" ")) + key;
    return where + QStringLiteral(": ") +
           (what.isEmpty() ? QString() : what + QStringLiteral(": ")) + why;
}

std::variant<MonitorConfig, Problem> MonitorConfig::read(const QString& path, Defaults defaults) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Problem{{}, {}, QStringLiteral("cannot read it: %1").arg(file.errorString()), 0};
    // A configuration is a few lines; anything this big is not one.
    const QByteArray bytes = file.read(1024 * 1024 + 1);
    if (bytes.size() > 1024 * 1024)
        return Problem{{}, {}, QStringLiteral("too big for a configuration file (over 1 MB)"), 0};
    defaults.folder = QFileInfo(path).absolutePath();
    return parse(QString::fromUtf8(bytes), defaults);
}

std::variant<MonitorConfig, Problem> MonitorConfig::parse(const QString& text,
                                                          const Defaults& defaults) {
    const auto parsed = IniFile::parse(text);
    if (const auto* error = std::get_if<IniFile::SyntaxError>(&parsed))
        return Problem{error->section, {}, error->why, error->line};
    const auto& sections = std::get<QList<Section>>(parsed);

    MonitorConfig config;
    QHash<QString, int> seen;
    QHash<QString, QString> deviceOwner;
    bool brokerRead = false;
    for (const Section& section : sections) {
        if (seen.contains(section.name))
            return Problem{section.name,
                           {},
                           QStringLiteral("a second section of that name (the first on line %1)")
                               .arg(seen.value(section.name)),
                           section.line};
        seen.insert(section.name, section.line);
        if (section.name == BrokerSection) {
            if (auto problem = readBroker(section, defaults, config.broker))
                return *problem;
            brokerRead = true;
            continue;
        }
        Press press;
        if (auto problem = readPress(section, press))
            return *problem;
        // Two links on one device would garble each other's exchanges.
        if (deviceOwner.contains(press.port.device))
            return Problem{section.name, QStringLiteral("device"),
                           QStringLiteral("%1 is press %2's device already")
                               .arg(press.port.device, deviceOwner.value(press.port.device)),
                           section.line};
        deviceOwner.insert(press.port.device, press.name);
        config.presses.append(press);
    }
    if (!brokerRead)
        return Problem{BrokerSection, {}, QStringLiteral("missing (url = mqtt://HOST:PORT)"), 0};
    if (config.presses.isEmpty())
        return Problem{
            {}, {}, QStringLiteral("no press: add a section [PRESS] with its device"), 0};
    return config;
}
