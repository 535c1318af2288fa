// The comparison of two set-ups that the compare window and telvane-cli diff
// share: names, order, shown values, records with other address tables, CSV.
#include "SetupCompare.h"
#include "DataTransfer.h"
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
    right.ChannelSetpoint[9][1] = 33;
    const QList<Row> setupAndTiming{
        {"Low Speed (SPM)", "W1026", "100", "120"},
        {"Brake Wear Compensation Enable", "B1018.0", "Off", "On"},
        {"TDC Stop Position (Low Speed)", "W1020", "0°", "181°"},
        {"PLC Type", "B4001.0", "PLC5", "SLC500"},
        {"PLS Configuration 3", "", "0", "5"},
        {"Resolver Offset", "", "0", "12"},
        {"CH11 OFF", "", "0", "33"},
    };
    EXPECT_EQ(compare(), setupAndTiming);
    QList<Row> all = setupAndTiming;
    all.append({"Total Strokes (Current Shift)", "D1100", "0", "123,456"});
    all.append({"Die Jams per Station #2 (Last Shift)", "W1210", "0", "7"});
    EXPECT_EQ(compare(DataTransfer::AllGroups), all);
    EXPECT_EQ(compare(DataTransfer::ShiftGroup), all.mid(7));
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
              (QList<Row>{{"TDC Stop Position (Low Speed)", "W1036", "", "9°"},
                          {"Maximum Allowed Stopping Response (deg)", "W1024", "300°", ""},
                          {"Idle Speed (Cupper Stopped)", "W1034", "75", ""},
                          {"Desination File Number", "B4011", "10", ""}}));
}

TEST_F(SetupCompareTest, CsvNamesTheSidesAndQuotesWhatHoldsACommaOrAQuote) {
    right.ValueTable[1] = 1500;
    const QByteArray csv =
        SetupCompare::Csv(compare(DataTransfer::ShiftGroup), "a \"new\" file", "Board, line 3");
    EXPECT_EQ(QString::fromUtf8(csv), "name,address,\"a \"\"new\"\" file\",\"Board, line 3\"\r\n"
                                      "Total Die Jams (Current Shift),W1104,0,\"1,500\"\r\n");
    EXPECT_EQ(SetupCompare::ParseGroups("setup,shift"),
              DataTransfer::SetupGroup | DataTransfer::ShiftGroup);
    EXPECT_EQ(SetupCompare::ParseGroups("all"), DataTransfer::AllGroups);
    EXPECT_FALSE(SetupCompare::ParseGroups("setup,"));
}

} // namespace
