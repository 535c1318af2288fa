// The comparison of two set-ups that the compare window and telvane-cli diff
// share: names, order, shown values, records with other address tables, CSV.
#include "SetupCompare.h"
#include "DataTransfer.h"
#include "SetupComparison.h"
#include "SharedState.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using Row = SetupCompare::Row;

class SetupCompareTest : public ::testing::Test {
protected:
    SetupCompareTest() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InitRegisterMap(state);
        left = right = state.DefaultData;
    }
    QList<Row> compare(int groups = SetupCompare::DefaultGroups()) {
        return SetupCompare::Compare(left, right, groups);
    }
    SharedState state;
    SetupRecord left, right;
};

TEST_F(SetupCompareTest, RowsFollowTheViewsAndShowValuesAsTheViewsDo) {
    EXPECT_TRUE(compare(DataTransfer::AllGroups).isEmpty());
    right.ValueTable[38] = 1;     // the switch
    right.ValueTable[39] = 181;   // an angle
    right.ValueTable[42] = 120;   // low speed, listed first by the view
    right.ValueTable[46] = 1;     // PLC type
    right.ValueTable[0] = 123456; // a count
    right.ValueTable[21] = 7;     // last shift, station #2
    right.PlsConfig2to9[1] = 5;
    right.PlsOffset = 12;
    right.ChannelSetpoint[2][0] = 44;
    right.ChannelSetpoint[9][1] = 33;
    // Named as the views name them, shown as they show them; the plain
    // numbers and their unit beside.
    const QList<Row> setupAndTiming{
        {"Low Speed (SPM)", "W1026", "100", "120", "100", "120", ""},
        {"Brake Wear Compensation Enable", "B1018.0", "Off", "On", "0", "1", ""},
        {"TDC Stop Position (Low Speed)", "W1020", "0°", "181°", "0", "181", "deg"},
        {"PLC Type", "B4001.0", "PLC5", "SLC500", "0", "1", ""},
        {"Speed Compensation CH01 (msec)", "", "0", "5", "0", "5", "ms"},
        {"Resolver Offset", "", "0", "12", "0", "12", "deg"},
        {"TDC (Low) Timing (CH02) ON", "", "200", "44", "200", "44", "deg"},
        {"CH11 OFF", "", "0", "33", "0", "33", "deg"},
    };
    EXPECT_EQ(compare(), setupAndTiming);
    QList<Row> all = setupAndTiming;
    all.append({"Total Strokes (Current Shift)", "D1100", "0", "123,456", "0", "123456", ""});
    all.append({"Die Jams per Station #2 (Last Shift)", "W1210", "0", "7", "0", "7", ""});
    EXPECT_EQ(compare(DataTransfer::AllGroups), all);
    EXPECT_EQ(compare(DataTransfer::ShiftGroup), all.mid(8));
}

TEST_F(SetupCompareTest, AnotherAddressTableIsComparedByAddress) {
    // An older table: W1020 at another entry, W1034 missing, an address the
    // program does not know, and a short file's empty entries.
    right.AddressTable[39] = "W1036";
    right.ValueTable[39] = 9;
    right.AddressTable[45] = "";
    right.AddressTable[41] = "W1020";
    right.ValueTable[41] = left.ValueTable[39];
    right.AddressTable[48] = "";
    right.ValueTable[48] = 0;
    EXPECT_EQ(compare(DataTransfer::SetupGroup),
              (QList<Row>{{"TDC Stop Position (Low Speed)", "W1036", "", "9°", "", "9", "deg"},
                          {"Maximum Allowed Stopping Response (deg)", "W1024", "300°", "", "300",
                           "", "deg"},
                          {"Idle Speed (Cupper Stopped)", "W1034", "75", "", "75", "", ""},
                          {"Desination File Number", "B4011", "10", "", "10", "", ""}}));
}

// A spreadsheet reads numbers where the window shows "1,500" and "181°".
TEST_F(SetupCompareTest, CsvCarriesPlainNumbersAUnitAndQuotesWhatHoldsACommaOrAQuote) {
    right.ValueTable[1] = 1500;
    right.ValueTable[39] = 181;
    const QByteArray csv =
        SetupCompare::Csv(compare(DataTransfer::AllGroups), "a \"new\" file", "Board, line 3");
    EXPECT_EQ(QString::fromUtf8(csv),
              "name,address,\"a \"\"new\"\" file\",\"Board, line 3\",unit\r\n"
              "TDC Stop Position (Low Speed),W1020,0,181,deg\r\n"
              "Total Die Jams (Current Shift),W1104,0,1500,\r\n");
    EXPECT_EQ(SetupCompare::ParseGroups("setup,shift"),
              DataTransfer::SetupGroup | DataTransfer::ShiftGroup);
    EXPECT_EQ(SetupCompare::ParseGroups("all"), DataTransfer::AllGroups);
    EXPECT_FALSE(SetupCompare::ParseGroups("setup,"));
}

// A kind of side the comparison does not know (a snapshot, say) joins as a
// value; the board is read after the other side, at that side's addresses.
TEST_F(SetupCompareTest, AnyKindOfSideJoinsAndTheBoardIsReadSecondWhereTheOtherKeepsItsValues) {
    right.AddressTable[39] = "W1036"; // the snapshot's own table
    const SetupComparison::Side snapshot{[&](const SetupComparison::SideRequest&) {
        return std::optional(SetupComparison::SideRecord{"Snapshot 3", right});
    }};
    const auto board = SetupComparison::BoardSide(
        [](const SetupRecord& addresses, int) {
            SetupRecord read = addresses;
            read.ValueTable[39] = 7;
            return std::optional(read);
        },
        [] { return QStringLiteral("/dev/ttyUSB0"); });
    const auto outcome = SetupComparison::Run(board, snapshot, DataTransfer::SetupGroup);
    ASSERT_TRUE(outcome.comparison);
    EXPECT_TRUE(outcome.comparison->names[0].startsWith("Board on /dev/ttyUSB0 at "));
    EXPECT_EQ(outcome.comparison->names[1], "Snapshot 3");
    ASSERT_EQ(outcome.comparison->rows.size(), 1);
    EXPECT_EQ(outcome.comparison->rows[0].address, "W1036");
}

} // namespace
