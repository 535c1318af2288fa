// What telvane-cli refuses before it touches the link, and what it says
// about the port and the settings file when it fails.
#include "CliFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using CliUsage = CliFixture;

const QString tryHelp = QStringLiteral("telvane-cli: Try 'telvane-cli --help'.\n");

const char* const badAddresses[] = {"XYZ", "1020", "Q1",   "B110.9", "W65535", "EFFGH",
                                    "W-5", "W 32", "W12x", "B70000", "W110.6", ""};

TEST_F(CliUsage, MalformedAddressesAreUsageErrorsAndNothingIsSent) {
    startBoard();
    // Where the lenient reading of these texts would land: byte 32, word 0,
    // word 12 (byte 110 too, but the running machine drives its inputs).
    const QStringList watched = {"B32", "W0", "W12"};
    const QString before = run(QStringList{"read"} + watched).out;
    ASSERT_EQ(before.count(u'\n'), watched.size());
    for (const char* text : badAddresses) {
        const QString address = QString::fromUtf8(text);
        SCOPED_TRACE(text);
        auto r = run({"write", address, "5"});
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "telvane-cli: not a register address: '" + address + "'\n" + tryHelp);
        r = run({"read", "W1020", address});
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, ""); // refused before the first read
    }
    EXPECT_EQ(run(QStringList{"read"} + watched).out, before);
}

TEST_F(CliUsage, UsageErrorsNeverOpenThePort) {
    // A board that answers nothing would make any traffic a link failure (1).
    startBoard({"--silent-after", "0"});
    for (const QStringList& args : {QStringList{"write", "XYZ", "5"},
                                    {"read", "B32", "Q1"},
                                    {"write", "W32", "-5"},
                                    {"pls-clear", "300"},
                                    {"pls-pulse", "1", "0", "2", "3"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const auto r = run(args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_FALSE(r.err.contains("Communication Error")) << r.err.toStdString();
    }
}

TEST_F(CliUsage, AUsageErrorIsOneLineAndAPointerToHelp) {
    startBoard();
    QStringList download = {"pls-config-download", "360"};
    for (int i = 0; i < 24; ++i)
        download.append(i == 3 ? "256" : "1");
    const struct {
        QStringList args;
        QString line;
    } cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command: 'frobnicate'"},
        {{"read"}, "read takes ADDRESS..."},
        {{"firmware", "now"}, "firmware takes no arguments"},
        {{"--bogus", "read", "W32"}, "Unknown option 'bogus'."},
        {{"--baud", "4800", "read", "W0"}, "--baud takes 9600 or 19200, not '4800'"},
        {{"write", "W32", "-5"}, "not a value: '-5' (digits only)"},
        {{"write", "W32", "1e3"}, "not a value: '1e3' (digits only)"},
        {{"pls-read", "speed"}, "pls-read takes scale, offset, pos or rpm, not 'speed'"},
        {{"pls-clear", "-1"}, "channel -1: Only a Number Between 0 and 7 can be Entered"},
        {{"pls-setpoint", "1", "2", "x"}, "OFF setpoint must be a whole number, not 'x'"},
        {{"pls-pulse", "1", "10", "300", "0"},
         "OFF division must be a whole number from 1 to 255, not '300'"},
        {{"pls-offset", "70000"}, "position 70000: Only a Number Between 0 and 359 can be Entered"},
        {download, "configuration value V3 must be a whole number from 0 to 255, not '256'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto r = run(c.args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "telvane-cli: " + c.line + "\n" + tryHelp);
    }
    const auto help = run({"--help"}, false);
    EXPECT_EQ(help.exit, 0);
    for (const char* command : {"read ADDRESS...", "write ADDRESS VALUE", "pls-recall CH",
                                "project FILE.kvl", "--device PATH"})
        EXPECT_TRUE(help.out.contains(command)) << command;
}

TEST_F(CliUsage, ARefusalThatTheLinkDoesNotExplainIsExplained) {
    startBoard({"--pls-refuse-byte", "0"});
    const auto r = run({"pls-recall", "3"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err, "telvane-cli: pls-recall was refused by the link or the board\n");
}

TEST_F(CliUsage, DeviceOptionCreatesNoSettingsFile) {
    startBoard();
    const auto r = run({"read", "W1020"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "180\n");
    EXPECT_FALSE(QFileInfo::exists(home.filePath("Support/RSPort.cfg")));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("Support")));
}

TEST_F(CliUsage, SettingsFileThatCannotBeReadIsLeftAlone) {
    startBoard();
    const QString path = home.filePath("Support/RSPort.cfg");
    // Tests may run as root, who reads any file: a link to itself cannot be
    // read by anyone, and a careless writer would replace it.
    ASSERT_TRUE(QDir().mkpath(home.filePath("Support")));
    ASSERT_TRUE(QFile::link(path, path));
    auto r = run({"read", "W1020"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.contains("cannot read the port settings file " + path))
        << r.err.toStdString();
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), path);
    r = run({"read", "W1020"}); // --device needs no settings file
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(path).symLinkTarget(), path);

    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path + "/kept")); // a folder in the file's place
    r = run({"read", "W1020"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.contains(path)) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(path + "/kept").isDir());
}

TEST_F(CliUsage, LinkErrorsNameTheDeviceAndWhereItCameFrom) {
    const QString path = home.filePath("Support/RSPort.cfg");
    writeFile("Support/RSPort.cfg", "1, 9600 ,/nonexistent/tty\r\n");
    auto r = run({"firmware"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.endsWith("telvane-cli: cannot open /nonexistent/tty (in " + path + ")\n"))
        << r.err.toStdString();

    r = run({"--device", "/nonexistent/tty", "firmware"}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.endsWith("telvane-cli: cannot open /nonexistent/tty (from --device)\n"))
        << r.err.toStdString();

    // A board that answers at 19200 only, asked at the default speed.
    startBoard({"--baud", "19200"});
    r = run({"read", "W1020"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.endsWith("telvane-cli: no answer from the board on " + pty +
                               " (from --device) at 9600 baud; 'telvane-cli find " + pty +
                               "' tells at which speed a board answers there, or try --baud "
                               "19200\n"))
        << r.err.toStdString();
}

TEST_F(CliUsage, AFailureAfterTheStartNamesTheDevice) {
    startBoard({"--silent-after", "12"}); // greets, then falls silent mid-way
    const auto r = run({"read", "W1020", "W1020", "W1020", "W1020", "W1020", "W1020"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_TRUE(r.err.endsWith("failed on " + pty + " (from --device)\n")) << r.err.toStdString();
}

} // namespace
