#include "MonitorConfig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

MonitorConfig::Defaults defaults(const QString& folder) {
    return {folder, folder + QStringLiteral("/queue"), QStringLiteral("telvane-monitor-host")};
}

QString problem(const QString& text, const QString& folder = QStringLiteral("/etc/telvane")) {
    const auto read = MonitorConfig::parse(text, defaults(folder));
    const auto* p = std::get_if<MonitorConfig::Problem>(&read);
    return p ? p->text(QStringLiteral("monitor.conf")) : QStringLiteral("accepted");
}

const QString Broker = QStringLiteral("[broker]\nurl = mqtt://broker:1883\n");

} // namespace

TEST(MonitorConfig, ReadsTheBrokerAndEachPressWithTheirDefaults) {
    const auto read = MonitorConfig::parse(
        Broker +
            QStringLiteral("topic = plant/hall2\n\n# the first\n[press-7]\ndevice = /dev/ttyUSB0\n"
                           "[press_8]\ndevice = socket://10.0.0.8:3001\nbaud = 19200\n"
                           "registers = w180  D1100\nevery = 0\n"),
        defaults(QStringLiteral("/etc/telvane")));
    ASSERT_TRUE(std::holds_alternative<MonitorConfig>(read));
    const auto& c = std::get<MonitorConfig>(read);
    EXPECT_EQ(c.broker.address.url(), QStringLiteral("mqtt://broker:1883"));
    EXPECT_EQ(c.broker.clientId, QStringLiteral("telvane-monitor-host"));
    EXPECT_EQ(c.broker.topic, QStringLiteral("plant/hall2"));
    EXPECT_EQ(c.broker.queueLimitBytes, 100 * 1024 * 1024);
    ASSERT_EQ(c.presses.size(), 2);
    EXPECT_EQ(c.presses[0].name, QStringLiteral("press-7"));
    EXPECT_EQ(c.presses[0].port.baud, QStringLiteral("9600"));
    EXPECT_EQ(c.presses[0].registers, MonitorConfig::DefaultRegisters);
    EXPECT_EQ(c.presses[0].everyMs, 1000);
    EXPECT_EQ(c.presses[1].registers, (QStringList{"W180", "D1100"}));
    EXPECT_EQ(c.presses[1].everyMs, 0);
}

TEST(MonitorConfig, RefusesEachFaultNamingTheLineSectionKeyAndWhy) {
    const QString press = QStringLiteral("[p1]\ndevice = /dev/ttyUSB0\n");
    const struct {
        QString text;
        QString said;
    } cases[] = {
        {press, "monitor.conf: [broker]: missing (url = mqtt://HOST:PORT)"},
        {Broker, "monitor.conf: no press: add a section [PRESS] with its device"},
        {"url = x\n", "monitor.conf:1: 'url' comes before the first [SECTION]"},
        {Broker + "port 1883\n",
         "monitor.conf:3: [broker]: 'port 1883' is neither [SECTION] nor KEY = VALUE"},
        {"[broker]\nurl = http://broker\n" + press,
         "monitor.conf:2: [broker] url: 'http://broker' is no broker address (mqtt://HOST:PORT or "
         "mqtts://HOST:PORT)"},
        {Broker + "ca-file = ca.pem\n" + press,
         "monitor.conf:3: [broker] ca-file: only an mqtts:// broker takes one"},
        {Broker + "password-file = p\n" + press,
         "monitor.conf:3: [broker] password-file: a password needs a username"},
        {Broker + "topic = telvane/#\n" + press,
         "monitor.conf:3: [broker] topic: 'telvane/#': a topic prefix holds no '+', '#' or NUL"},
        {Broker + "client-id = a b\n" + press,
         "monitor.conf:3: [broker] client-id: 'a b': a client id takes 1 to 64 letters, digits, "
         "'-', '_' and '.'"},
        {Broker + "qos = 2\n" + press,
         "monitor.conf:3: [broker] qos: no such key ([broker] takes url, ca-file, client-id, "
         "username, password-file, topic, queue, queue-limit)"},
        {Broker + "[press 7]\ndevice = /dev/ttyUSB0\n",
         "monitor.conf:3: [press 7]: a press is named by letters, digits, '-' and '_'"},
        {Broker + "[monitor]\ndevice = /dev/ttyUSB0\n",
         "monitor.conf:3: [monitor]: the name of the monitors' own topics; name the press "
         "otherwise"},
        {Broker + "[p1]\nbaud = 19200\n",
         "monitor.conf:3: [p1] device: missing (a serial device, socket://HOST:PORT or "
         "rfc2217://HOST:PORT)"},
        {Broker + "[p1]\ndevice = socket://plc,2:3001\n",
         "monitor.conf:4: [p1] device: The device text socket://plc,2:3001 holds a comma, which "
         "the port settings file cannot keep."},
        {Broker + "[p1]\ndevice = /dev/tty\tUSB0\n",
         "monitor.conf:4: [p1] device: The device text holds a control character (at character "
         "9)."},
        {Broker + press + "registers = W180 XYZ\n",
         "monitor.conf:5: [p1] registers: 'XYZ' is not a register address"},
        {Broker + press + "registers = W180 w180\n",
         "monitor.conf:5: [p1] registers: 'w180' is named twice"},
        {Broker + press + "every = soon\n",
         "monitor.conf:5: [p1] every: 'soon' is no number of milliseconds (0..86400000)"},
        {Broker + press + "device = /dev/ttyUSB1\n",
         "monitor.conf:5: [p1] device: given twice (first on line 4)"},
        {Broker + press + "[p2]\ndevice = /dev/ttyUSB0\n",
         "monitor.conf:5: [p2] device: /dev/ttyUSB0 is press p1's device already"},
        {Broker + press + press,
         "monitor.conf:5: [p1]: a second section of that name (the first on line 3)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(problem(c.text), c.said) << c.text.toStdString();
}

TEST(MonitorConfig, RefusesAPasswordFileOthersMayRead) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("monitor.pass")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("secret\n") == 7);
    file.close();
    const QString text = Broker + QStringLiteral("username = plant\npassword-file = monitor.pass\n"
                                                 "[p1]\ndevice = /dev/ttyUSB0\n");
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    EXPECT_EQ(problem(text, dir.path()),
              QStringLiteral("monitor.conf:4: [broker] password-file: others may read or change "
                             "%1 (chmod o-rw %1)")
                  .arg(file.fileName()));
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const auto read = MonitorConfig::parse(text, defaults(dir.path()));
    ASSERT_TRUE(std::holds_alternative<MonitorConfig>(read));
    EXPECT_EQ(std::get<MonitorConfig>(read).broker.password, "secret");
}
