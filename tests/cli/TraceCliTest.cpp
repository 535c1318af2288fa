// telvane-cli --trace: the link's exchanges as the Comm Traffic window shows them.
#include "CliFixture.h"

#include <QFile>

namespace {

using Trace = CliFixture;

TEST_F(Trace, WritesEveryExchangeOfACommandToTheErrorOutputOrAFile) {
    startBoard();
    auto r = run({"write", "W1020", "300"});
    r = run({"--trace", "-", "read", "W1020"});
    EXPECT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "300\n");
    const QStringList lines = r.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 9);
    // The board answers as the last command left it: its answers are not asserted.
    EXPECT_TRUE(lines.first().endsWith("attention (going online)"));
    EXPECT_TRUE(r.err.contains("01 55  read mode"));
    // read takes a word whole, byte by byte: high, low, high again.
    EXPECT_TRUE(r.err.contains("03 03  B1021 high address"));
    EXPECT_TRUE(r.err.contains("= B1021 1\n"));
    EXPECT_TRUE(r.err.contains("= B1020 44\n"));
    EXPECT_TRUE(lines.last().endsWith("attention (going offline)"));

    const QString file = home.filePath("trace.txt");
    r = run({"--trace", file, "read", "W1020"});
    EXPECT_EQ(r.exit, 0);
    QFile trace(file);
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(trace.readAll());
    EXPECT_TRUE(written.startsWith("       0.0 "));
    EXPECT_TRUE(written.contains("= B1020 44\n"));

    r = run({"--trace", home.filePath("no/such/folder/trace.txt"), "read", "W1020"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.startsWith("telvane-cli: cannot write the trace to ")) << r.err.toStdString();
}

} // namespace
