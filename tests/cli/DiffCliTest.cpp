// telvane-cli diff between set-up files and against telvane-boardsim over a
// real pseudo-terminal: its lines, its CSV and its exit status.
#include "CliFixture.h"
#include "SdtFormat.h"
#include "SharedState.h"
#include "SilentPty.h"

namespace {

class DiffCli : public CliFixture {
protected:
    DiffCli() {
        SharedState state;
        InitRegisterMap(state);
        defaults = state.DefaultData;
    }
    QString save(const QString& name, const SetupRecord& record) {
        EXPECT_TRUE(home.writeFile(name, SdtFormat::encode(record)));
        return home.filePath(name);
    }
    SetupRecord defaults;
};

TEST_F(DiffCli, TwoFilesGiveALinePerDifferenceAndExitAsDiffDoes) {
    SetupRecord changed = defaults;
    changed.ValueTable[40] = 200;
    changed.ValueTable[2] = 1234;
    changed.ChannelSetpoint[8] = {10, 20};
    const QString a = save("a.sdt", defaults), b = save("b.sdt", changed);

    auto r = run({"diff", a, b}, false);
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "TDC Stop Position (High Speed)\tW1022\t0°\t200°\n"
                     "CH10 ON\t\t0\t10\nCH10 OFF\t\t0\t20\n");
    r = run({"diff", a, b, "--groups", "shift"}, false);
    EXPECT_EQ(r.out, "Die Jams per Station #1 (Current Shift)\tW1108\t0\t1,234\n");
    EXPECT_EQ(r.exit, 1);
    r = run({"diff", a, a, "--groups=all"}, false);
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "");
    r = run({"diff", a, b, "--csv", "--groups", "setup"}, false);
    EXPECT_TRUE(r.out.startsWith("name,address," + a + " ("));
    EXPECT_TRUE(r.out.endsWith(",unit\r\nTDC Stop Position (High Speed),W1022,0,200,deg\r\n"));

    // Trouble: a file that is not one, a group that is not one.
    ASSERT_TRUE(home.writeFile("junk.sdt", "not a set-up file"));
    r = run({"diff", a, home.filePath("junk.sdt")}, false);
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains("is not a set-up data file that can be read"))
        << r.err.toStdString();
    EXPECT_EQ(run({"diff", a, b, "--groups", "pls"}, false).exit, 2);
    EXPECT_EQ(run({"diff", "board", "board"}, false).exit, 2);
}

TEST_F(DiffCli, TheBoardIsReadAsAnUploadReadsItAndAFailingBoardExitsThree) {
    startBoard();
    const QString file = home.filePath("line3.sdt");
    ASSERT_EQ(run({"upload", "all", file}).exit, 0);
    ASSERT_EQ(run({"write", "W1028", "260"}).exit, 0);
    auto r = run({"diff", file, "board"});
    EXPECT_EQ(r.exit, 1) << r.err.toStdString();
    EXPECT_EQ(r.out, "High Speed (SPM)\tW1028\t250\t260\n");
    r = run({"diff", "board", file, "--csv"});
    EXPECT_TRUE(r.out.startsWith("name,address,Board on " + pty + " at ")) << r.out.toStdString();

    SilentPty silent;
    r = RunProgram("telvane-cli", {"--device", silent.path(), "diff", "board", file}, home, {},
                   30000);
    EXPECT_EQ(r.exit, 3);
    EXPECT_EQ(r.out, "");
}

} // namespace
