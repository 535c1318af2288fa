// The Trend view against the simulated board: its place in the window list,
// sampling on the refresh loop under the loop's rules, and the recording.
#include "AppFixture.h"
#include "ScriptedFileDialogs.h"
#include "TrendView.h"
#include "frmTrend.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QRegularExpression Row(R"(^\d{4}-\d\d-\d\dT[0-9:.]{12}[+-]\d\d:\d\d,\d+,\d+,\d+$)");

class Trend : public AppFixture {
protected:
    void openView(bool online) {
        RegisterTrendView(views, clock);
        startMainWindow();
        main->context().setFileDialogs(dialogs);
        if (online)
            goOnline();
        action("mnuWindowForm6")->trigger();
        ASSERT_TRUE(pumpUntil([this] {
            return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
        }));
    }
    frmTrend* view() const { return qobject_cast<frmTrend*>(main->currentViewWidget()); }
    template <typename W> W* child(const char* name) const {
        return view()->findChild<W*>(QString::fromLatin1(name));
    }
    bool samples(int n) {
        const int target = view()->store().size() + n;
        return pumpUntil([&] { return view()->store().size() >= target; });
    }

    ScriptedFileDialogs dialogs;
};

TEST_F(Trend, IsTheSeventhViewAndPlotsTheDefaultRegistersOnlineOnePassASample) {
    openView(true);
    EXPECT_EQ(action("mnuWindowForm6")->text(), "&7 Trend");
    EXPECT_EQ(action("mnuWindowForm5")->text(), "&6 I/O States");
    EXPECT_EQ(view()->addresses(), (QStringList{"W182", "W1040", "W1042"}));
    // Memory holds no more than the longest time window shows.
    EXPECT_EQ(view()->store().keepMs(), frmTrend::WindowMinutes.back() * 60 * 1000);
    ASSERT_TRUE(samples(5));
    const qint64 passes = view()->loop().PassesCompleted();
    EXPECT_NEAR(double(view()->store().size()), double(passes), 1);
    EXPECT_TRUE(pumpUntil([&] { return view()->series(0)->count() > 0; }));
    EXPECT_TRUE(child<QLabel>("lblOffline")->isHidden());
}

TEST_F(Trend, SamplingHoldsStillUnderAMessageBox) {
    openView(true);
    ASSERT_TRUE(samples(2));
    QDialog box(main.get()); // what a message box is to the loop
    box.setModal(true);
    box.show();
    pump(30);
    const int before = view()->store().size();
    const qint64 bytes = board.bytesReceived();
    pump(150);
    EXPECT_EQ(view()->store().size(), before);
    EXPECT_EQ(board.bytesReceived(), bytes);
    box.close();
    EXPECT_TRUE(samples(1));
}

TEST_F(Trend, ALostLinkGoesOfflineKeepsTheChartAndEndsTheRecordingWithEveryRow) {
    openView(true);
    dialogs.queue(folder.filePath("shift"));
    child<QPushButton>("cmdRecord")->click();
    const SampleRecording& recording = view()->recording();
    ASSERT_TRUE(recording.isRecording());
    EXPECT_EQ(child<QLabel>("lblRecording")->text(),
              "Recording to " + folder.filePath("shift.csv"));
    ASSERT_TRUE(pumpUntil([&] { return recording.rows() >= 3; }));
    ASSERT_TRUE(pumpUntil([&] { return view()->series(1)->count() > 0; }));
    board.faults().silentFromByte = board.bytesReceived();
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    ASSERT_TRUE(pumpUntil([&] { return !child<QLabel>("lblOffline")->isHidden(); }));
    EXPECT_FALSE(recording.isRecording());
    EXPECT_GT(view()->series(1)->count(), 0);
    EXPECT_FALSE(child<QPushButton>("cmdRecord")->isEnabled());

    QFile file(folder.filePath("shift.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), recording.rows() + 1);
    EXPECT_EQ(lines[0], "time,W182,W1040,W1042");
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(Row.match(line).hasMatch()) << qPrintable(line);
}

TEST_F(Trend, ARecordingThatCannotBeWrittenSaysSoAndRecordsNothing) {
    openView(true);
    const QString path = folder.filePath("no/such/folder/shift.csv");
    dialogs.queue(path);
    child<QPushButton>("cmdRecord")->click();
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Trend");
    EXPECT_TRUE(prompt.shown()[0].text.startsWith("Cannot record to " + path + ":\n"));
    EXPECT_TRUE(prompt.shown()[0].text.endsWith("\n\nNothing is recorded."));
    EXPECT_FALSE(view()->recording().isRecording());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(child<QLabel>("lblRecording")->text(), "Not recording");
    EXPECT_TRUE(child<QPushButton>("cmdRecord")->isEnabled());
}

TEST_F(Trend, RegistersAreCheckedStrictlyAndAtMostEightShow) {
    openView(false);
    EXPECT_FALSE(view()->AddRegister("Q12"));
    EXPECT_FALSE(view()->AddRegister("w182"));
    EXPECT_TRUE(view()->AddRegister(" w1020 "));
    for (const char* address : {"B110.6", "D1100", "F858", "EFF0H"})
        EXPECT_TRUE(view()->AddRegister(address));
    EXPECT_FALSE(view()->AddRegister("W1026"));
    EXPECT_EQ(view()->addresses().size(), frmTrend::MaxRegisters);
    EXPECT_EQ(view()->addresses()[3], "W1020");
    ASSERT_EQ(prompt.shown().size(), 3);
    EXPECT_TRUE(prompt.shown()[0].text.startsWith("'Q12' is not a register address."));
    EXPECT_EQ(prompt.shown()[1].text, "W182 is on the chart already.");
    // Offline it says that it needs the board.
    EXPECT_FALSE(child<QLabel>("lblOffline")->isHidden());
}

} // namespace
