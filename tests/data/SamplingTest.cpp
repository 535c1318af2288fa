// Sampling registers over time: the CSV rows, the schedule on the monotonic
// clock, how a run ends, and the bounded store behind the Trend chart.
#include "LinkFixture.h"
#include "SampleCsv.h"
#include "SampleSchedule.h"
#include "SampleStore.h"
#include "WatchRun.h"

#include <QRegularExpression>

namespace {

const QDateTime Start(QDate(2024, 5, 2), QTime(14, 3, 7, 125), Qt::OffsetFromUTC, 7200);

class Watch : public LinkFixture {
protected:
    Watch() {
        board.cupper().hold(true);
        board.memory().setWord(182, 123);
        board.memory().setWord(1040, 45);
        board.memory().setWord(1042, 67);
    }
    WatchRun::End watch(WatchPlan plan) {
        if (!link.OnlineMode())
            goOnline();
        const qint64 clockAtStart = clock.nowMs();
        WatchRun run(
            link, clock, std::move(plan),
            [this](const QString& line) {
                lines.append(line);
                if (afterLine)
                    afterLine();
            },
            // A wall clock that keeps pace with the virtual one, unless a test moves it.
            [this, clockAtStart] {
                return Start.toMSecsSinceEpoch() + clock.nowMs() - clockAtStart + wallMovedMs;
            });
        run.stopRequested = stop;
        return run.run();
    }
    // Milliseconds of each row after the first row.
    QList<qint64> offsets() const {
        QList<qint64> out;
        const QDateTime first =
            QDateTime::fromString(lines.value(1).section(u',', 0, 0), Qt::ISODateWithMs);
        for (const QString& line : lines.mid(1))
            out.append(
                first.msecsTo(QDateTime::fromString(line.section(u',', 0, 0), Qt::ISODateWithMs)));
        return out;
    }

    QStringList lines;
    qint64 wallMovedMs = 0;
    std::function<void()> afterLine;
    std::function<bool()> stop;
};

TEST(SampleCsv, TimeHasMillisecondsAndTheOffsetSpelledOut) {
    EXPECT_EQ(SampleCsv::timeText(Start), "2024-05-02T14:03:07.125+02:00");
    EXPECT_EQ(SampleCsv::timeText(QDateTime(QDate(2024, 1, 9), QTime(1, 2, 3), Qt::UTC)),
              "2024-01-09T01:02:03.000+00:00");
    EXPECT_EQ(SampleCsv::timeText(
                  QDateTime(QDate(2024, 1, 9), QTime(1, 2, 3, 4), Qt::OffsetFromUTC, -12600)),
              "2024-01-09T01:02:03.004-03:30");
}

TEST_F(Watch, HeaderInUpperCaseThenRowsWithAnEmptyCellForAFailedRead) {
    goOnline();
    // The first read of W1040 (address high byte 4) is misheard, and so is its repeat.
    int misheard = 0;
    board.faults().wrongEchoWhen = [&misheard](qint64, quint8 byte) {
        return byte == 0x04 && misheard++ < 2;
    };
    EXPECT_EQ(watch({{"w182", "W1040", "W1042"}, 0, 2, {}}), WatchRun::End::Done);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "time,W182,W1040,W1042");
    const QRegularExpression row(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,123,,67$)");
    EXPECT_TRUE(row.match(lines[1]).hasMatch()) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[2].endsWith(",123,45,67")) << qPrintable(lines[2]);
    EXPECT_EQ(QDateTime::fromString(lines[1].section(u',', 0, 0), Qt::ISODateWithMs), Start);
}

TEST_F(Watch, SamplesKeepToTheirSlotsWithoutDrift) {
    EXPECT_EQ(watch({{"W182", "W1040", "W1042"}, 100, 50, {}}), WatchRun::End::Done);
    QList<qint64> expected;
    for (int k = 0; k < 50; ++k)
        expected.append(100 * k);
    EXPECT_EQ(offsets(), expected);
}

TEST_F(Watch, BackToBackSamplesFollowEachOtherAndADurationEndsThem) {
    EXPECT_EQ(watch({{"W182"}, 0, {}, 1000}), WatchRun::End::Done);
    const QList<qint64> at = offsets();
    ASSERT_GT(at.size(), 50);
    // One word read on the wire (the first also switched the board into read mode).
    const qint64 step = at[2] - at[1];
    ASSERT_GT(step, 0);
    for (int i = 2; i < at.size(); ++i)
        EXPECT_NEAR(at[i] - at[i - 1], step, 1) << i;
    EXPECT_LT(at.back(), 1000);
    EXPECT_GE(at.back() + 2 * step, 1000);
}

// A laptop that sleeps stops the monotonic clock the schedule runs on, but
// not the wall clock: the rows after the sleep carry the wall clock's time.
TEST_F(Watch, RowsAfterASuspendCarryTheWallClocksTime) {
    afterLine = [&] {
        if (lines.size() == 3)
            wallMovedMs = 3'600'000; // an hour asleep after the second row
    };
    EXPECT_EQ(watch({{"W182"}, 100, 4, {}}), WatchRun::End::Done);
    EXPECT_EQ(offsets(), (QList<qint64>{0, 100, 3'600'200, 3'600'300}));
}

// The position counts 0..359 and crosses from byte 255 to 256 once a turn:
// a word whose two bytes were read on either side of that would read 256
// too high (510, 511). The machine runs at full speed through the run.
TEST_F(Watch, AWordThatCrossesAByteBoundaryIsNeverReadTorn) {
    board.cupper().hold(false);
    goOnline();
    clock.advanceUs(20'000'000); // into the running stretch of the machine's cycle
    EXPECT_EQ(watch({{"W180"}, 0, 600, {}}), WatchRun::End::Done);
    ASSERT_EQ(lines.size(), 601);
    int crossings = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const int position = lines[i].section(u',', 1).toInt();
        EXPECT_LE(position, 359) << qPrintable(lines[i]);
        if (i > 1 && position >= 256 && lines[i - 1].section(u',', 1).toInt() < 256)
            ++crossings;
    }
    EXPECT_GE(crossings, 10); // the machine did turn past the boundary
}

TEST(SampleSchedule, ALateSampleLetsTheNextStartAtOnceAndNoneIsMadeUp) {
    SampleSchedule schedule(100);
    schedule.start(1000);
    EXPECT_EQ(schedule.next(1030), 1100);
    EXPECT_EQ(schedule.next(1350), 1350); // overran two slots: at once
    EXPECT_EQ(schedule.next(1360), 1400); // then back on the grid, no catch-up
    EXPECT_EQ(schedule.next(1420), 1500);
    SampleSchedule backToBack(0);
    backToBack.start(5);
    EXPECT_EQ(backToBack.next(17), 17);
}

TEST_F(Watch, AStopEndsItAfterAWholeRow) {
    int rows = 0;
    afterLine = [&] { ++rows; };
    stop = [&] { return rows >= 3; }; // header and two rows written
    EXPECT_EQ(watch({{"W182", "W1040"}, 50, {}, {}}), WatchRun::End::Stopped);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[2].endsWith(",123,45"));
}

TEST_F(Watch, ALostLinkEndsItWithTheRowsSoFar) {
    afterLine = [&] {
        if (lines.size() == 3)
            board.faults().silentFromByte = board.bytesReceived();
    };
    EXPECT_EQ(watch({{"W182", "W1040"}, 0, {}, {}}), WatchRun::End::LinkLost);
    EXPECT_EQ(lines.size(), 3);
    EXPECT_TRUE(link.CommError());
}

TEST(SampleStore, KeepsOnlyWhatTheLongestWindowShows) {
    constexpr qint64 Hour = 3600 * 1000;
    SampleStore store(Hour);
    store.addColumn();
    store.addColumn();
    for (qint64 t = 0; t <= 2 * Hour; t += 100)
        store.append(t, {qint32(t / 100 % 1000), std::nullopt});
    EXPECT_EQ(store.size(), 36001);
    EXPECT_EQ(store.time(0), Hour);
    EXPECT_FALSE(store.value(1, 0));
    // A chart 50 buckets wide gets each bucket's lowest and highest.
    const QList<SampleStore::Segment> lines = store.segments(0, Hour, 2 * Hour, 50);
    ASSERT_EQ(lines.size(), 1);
    const QList<QPointF>& points = lines[0];
    EXPECT_LE(points.size(), 100);
    EXPECT_EQ(std::min_element(points.begin(), points.end(),
                               [](QPointF a, QPointF b) { return a.y() < b.y(); })
                  ->y(),
              0);
    EXPECT_EQ(std::max_element(points.begin(), points.end(),
                               [](QPointF a, QPointF b) { return a.y() < b.y(); })
                  ->y(),
              999);
    EXPECT_TRUE(store.segments(1, Hour, 2 * Hour, 50).isEmpty());
}

} // namespace
