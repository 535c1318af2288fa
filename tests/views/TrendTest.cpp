// The Trend view against the simulated board: its place in the window list,
// sampling on the refresh loop under the loop's rules, and the recording.
#include "AppFixture.h"
#include "FileSizeLimit.h"
#include "ScriptedFileDialogs.h"
#include "TrendSettings.h"
#include "TrendView.h"
#include "frmTrend.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>

namespace {

const QRegularExpression Row(R"(^\d{4}-\d\d-\d\dT[0-9:.]{12}[+-]\d\d:\d\d,\d+,\d+,\d+$)");

QStringList fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

qint64 rowTime(const QString& line) {
    return QDateTime::fromString(line.section(u',', 0, 0), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

class Trend : public AppFixture {
protected:
    // What an earlier test left to remember is not this one's.
    Trend() { QFile::remove(TrendSettings::file()); }
    void openView(bool online) {
        RegisterTrendView(views);
        startMainWindow();
        main->context().setFileDialogs(dialogs);
        if (online)
            goOnline();
        reopen();
    }
    void reopen() {
        action("mnuWindowForm6")->trigger();
        ASSERT_TRUE(pumpUntil([this] {
            return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
        }));
    }
    frmTrend* view() const { return qobject_cast<frmTrend*>(main->currentViewWidget()); }
    void record(const QString& path) {
        dialogs.queue(path);
        child<QPushButton>("cmdRecord")->click();
        ASSERT_TRUE(view()->recording().isRecording());
        ASSERT_TRUE(pumpUntil([&] { return view()->recording().rows() >= 3; }));
    }
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
    EXPECT_TRUE(pumpUntil([&] { return !view()->lines(0).isEmpty(); }));
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
    ASSERT_TRUE(pumpUntil([&] { return !view()->lines(1).isEmpty(); }));
    board.faults().silentFromByte = board.bytesReceived();
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    ASSERT_TRUE(pumpUntil([&] { return !child<QLabel>("lblOffline")->isHidden(); }));
    EXPECT_FALSE(recording.isRecording());
    EXPECT_EQ(child<QLabel>("lblRecording")->text(),
              QStringLiteral("Recorded %1 rows to %2")
                  .arg(QLocale().toString(recording.rows()), folder.filePath("shift.csv")));
    EXPECT_FALSE(view()->lines(1).isEmpty());
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
    EXPECT_FALSE(view()->addRegister("Q12"));
    EXPECT_FALSE(view()->addRegister("w182"));
    EXPECT_TRUE(view()->addRegister(" w1020 "));
    for (const char* address : {"B110.6", "D1100", "F858", "EFF0H"})
        EXPECT_TRUE(view()->addRegister(address));
    EXPECT_FALSE(view()->addRegister("W1026"));
    EXPECT_EQ(view()->addresses().size(), frmTrend::MaxRegisters);
    EXPECT_EQ(view()->addresses()[3], "W1020");
    ASSERT_EQ(prompt.shown().size(), 3);
    EXPECT_TRUE(prompt.shown()[0].text.startsWith("'Q12' is not a register address."));
    EXPECT_EQ(prompt.shown()[1].text, "W182 is on the chart already.");
    // Offline it says that it needs the board.
    EXPECT_FALSE(child<QLabel>("lblOffline")->isHidden());
}

// A message box that comes up in the middle of a sample holds the loop: the
// reads before it and after it are no one sample, and the chart does not
// draw a line across the time nothing was read.
TEST_F(Trend, ADialogThatHoldsSamplingLeavesAHoleInTheLinesAndNoRowAcrossIt) {
    openView(true);
    const QString path = folder.filePath("hold.csv");
    record(path);
    QDialog box(main.get());
    box.setModal(true);
    bool shown = false;
    // The box comes up while W1040 (address high byte 04) is read.
    board.faults().wrongEchoWhen = [&](qint64, quint8 byte) {
        if (byte == 0x04 && !shown) {
            shown = true;
            box.show();
        }
        return false;
    };
    const qint64 held = view()->loop().HeldSteps();
    ASSERT_TRUE(pumpUntil([&] { return view()->loop().HeldSteps() > held; }));
    const qint64 rowsBefore = view()->recording().rows();
    const qint64 closedMs = QDateTime::currentMSecsSinceEpoch();
    box.close();
    ASSERT_TRUE(pumpUntil([&] { return view()->recording().rows() >= rowsBefore + 3; }));
    EXPECT_TRUE(pumpUntil([&] { return view()->lines(0).size() >= 2; }));
    view()->stopRecording();
    const QStringList lines = fileLines(path);
    ASSERT_GT(lines.size(), rowsBefore + 1);
    for (qsizetype i = rowsBefore + 1; i < lines.size(); ++i)
        EXPECT_GE(rowTime(lines[i]), closedMs) << qPrintable(lines[i]);
}

TEST_F(Trend, ARecordingWhoseWriteFailsSaysSoAtOnceAndKeepsOnlyWholeRows) {
    openView(true);
    const QString path = folder.filePath("full.csv");
    record(path);
    {
        // Room for one more row and a part of the next.
        FileSizeLimit limit(rlim_t(QFileInfo(path).size() + 60));
        ASSERT_TRUE(pumpUntil([&] { return !view()->recording().isRecording(); }));
    }
    const QString rows = QLocale().toString(view()->recording().rows());
    EXPECT_EQ(
        child<QLabel>("lblRecording")->text(),
        QStringLiteral("Recording to %1 failed after %2 rows: File too large").arg(path, rows));
    ASSERT_TRUE(pumpUntil([&] { return !prompt.shown().isEmpty(); }));
    EXPECT_EQ(prompt.shown()[0].text,
              QStringLiteral("Recording to %1 failed:\nFile too large\n\nThe file holds the %2 "
                             "rows written before.")
                  .arg(path, rows));
    const QStringList lines = fileLines(path);
    ASSERT_EQ(lines.size(), view()->recording().rows() + 1);
    for (const QString& line : lines.mid(1))
        EXPECT_TRUE(Row.match(line).hasMatch()) << qPrintable(line);
    EXPECT_TRUE(child<QPushButton>("cmdRecord")->isEnabled());
}

TEST_F(Trend, ItsRegistersHiddenLinesTimeWindowAndPaceComeBackWhenItOpensAgain) {
    openView(false);
    ASSERT_TRUE(view()->addRegister("W180"));
    view()->removeRegister(0);
    child<QComboBox>("cboWindow")->setCurrentIndex(2);
    child<QComboBox>("cboInterval")->setCurrentIndex(3);
    // Each kept as it changes: the line hidden last is no exception.
    child<QListWidget>("lstRegisters")->item(0)->setCheckState(Qt::Unchecked);
    main->ShowView(ViewTable::MainDisplay);
    reopen();
    EXPECT_EQ(view()->addresses(), (QStringList{"W1040", "W1042", "W180"}));
    auto* list = child<QListWidget>("lstRegisters");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_TRUE(list->item(2)->text().startsWith("W180 Machine Position"))
        << qPrintable(list->item(2)->text());
    EXPECT_EQ(child<QComboBox>("cboWindow")->currentIndex(), 2);
    EXPECT_EQ(view()->intervalMs(), 1000);
    EXPECT_EQ(view()->loop().passIntervalMs(), 1000);

    // What no longer holds is left out, as if typed.
    TrendSettings{{"Q12", "w1020", "W1020", "B110.9"}, {"W1020"}, 7, 300}.save();
    main->ShowView(ViewTable::MainDisplay);
    reopen();
    EXPECT_EQ(view()->addresses(), QStringList{"W1020"});
    EXPECT_EQ(child<QListWidget>("lstRegisters")->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(child<QComboBox>("cboWindow")->currentIndex(), 0);
    EXPECT_EQ(view()->intervalMs(), 0);
}

// At a pace of a second, a sample starts each second on a steady schedule
// (never before its time), the recording has a row per sample, and the
// chart's line has no hole between samples a second apart.
TEST_F(Trend, AtAChosenPaceTheRecordingAndTheChartFollowIt) {
    openView(true);
    child<QComboBox>("cboInterval")->setCurrentIndex(3);
    record(folder.filePath("paced.csv"));
    view()->stopRecording();
    const QStringList lines = fileLines(folder.filePath("paced.csv"));
    // A row's time is taken just after its slot began (the first a little later).
    for (qsizetype k = 2; k < lines.size(); ++k)
        EXPECT_GE(rowTime(lines[k]) - rowTime(lines[1]), (k - 1) * 1000 - 20)
            << qPrintable(lines[k]);
    EXPECT_EQ(view()->lines(0).size(), 1);
}

// Alt and a letter reach each button; no letter is taken twice in the main
// window, whose menus share the keyboard with the view.
TEST_F(Trend, EveryButtonHasAnAccessKeyOfItsOwn) {
    openView(false);
    QStringList keys;
    for (QAction* menu : main->menuBar()->actions())
        keys << QKeySequence::mnemonic(menu->text()).toString();
    for (QAbstractButton* button : view()->findChildren<QAbstractButton*>())
        keys << QKeySequence::mnemonic(button->text()).toString();
    EXPECT_FALSE(keys.contains(QString())) << qPrintable(keys.join(' '));
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size())
        << qPrintable(keys.join(' '));
}

} // namespace
