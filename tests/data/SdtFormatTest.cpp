#include "SdtFormat.h"
#include "SharedState.h"
#include "ShiftExport.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

SetupRecord defaults() {
    SharedState state;
    InitRegisterMap(state);
    return state.DefaultData;
}

TEST(SdtFormat, DefaultsMakeA667ByteFileLaidOutMemberByMember) {
    const SetupRecord d = defaults();
    ASSERT_EQ(d.VersionTag.size(), 14);
    const QByteArray bytes = SdtFormat::encode(d);
    EXPECT_EQ(bytes.size(), 667);
    EXPECT_EQ(bytes.left(16), QByteArray("\x0E\x00", 2) + d.VersionTag.toLatin1());
    EXPECT_EQ(bytes.mid(16, 10), QByteArray::fromHex("0100 31000000 00000000"));
    EXPECT_EQ(bytes.mid(26, 7), QByteArray::fromHex("0500") + "D1100"); // entry 0
    // Values follow the 347 bytes of addresses: 300 at entry 41, after its header.
    const int values = 16 + 10 + 347;
    EXPECT_EQ(bytes.mid(values, 10), QByteArray::fromHex("0100 31000000 00000000"));
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + values + 10 + 41 * 4), 300);
    EXPECT_EQ(bytes.size() - (values + 10 + 196), 88);
}

// The committed sample is the defaults' file of this version, kept so that a
// change of the layout or of a default shows as a changed byte. A new version
// number changes the tag inside it: write the sample anew then.
TEST(SdtFormat, DefaultsFileEqualsTheCommittedSampleByteForByte) {
    QFile file(QStringLiteral(TELVANE_SOURCE_DIR "/fuzz/corpus/defaults.sdt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QByteArray sample = file.readAll();
    ASSERT_EQ(sample.size(), 667);
    const QByteArray written = SdtFormat::encode(defaults());
    ASSERT_EQ(written.size(), sample.size());
    for (qsizetype i = 0; i < sample.size(); ++i)
        ASSERT_EQ(written[i], sample[i]) << "first difference at byte " << i;
    const auto read = SdtFormat::decode(sample);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, defaults());
}

TEST(SdtFormat, RoundTripKeepsEveryMemberAndWindows1252Text) {
    SetupRecord r = defaults();
    r.VersionTag = QStringLiteral("TELVANE_R9.9.9\u00B0");
    r.AddressTable[3] = QStringLiteral("W1110\u20AC");
    r.ValueTable[0] = -123456789;
    r.PlsConfig0 = 16;
    r.PlsScale = 360;
    r.PlsOffset = -5;
    r.PlsConfig1 = 2;
    r.PlsConfig2to9 = {1, 2, 3, 4, 5, 6, 7, -8};
    r.ChannelSetpoint[0] = {10, 20};
    r.ChannelSetpoint[15] = {-1, 32767};
    const QByteArray bytes = SdtFormat::encode(r);
    EXPECT_TRUE(bytes.contains("\xB0"));
    EXPECT_TRUE(bytes.contains("W1110\x80"));
    // ON setpoints of all channels first, then the OFF setpoints.
    EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + bytes.size() - 64), 10);
    EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + bytes.size() - 34), -1);
    EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + bytes.size() - 32), 20);
    const auto back = SdtFormat::decode(bytes + QByteArray("trailing bytes are ignored"));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r);
}

TEST(SdtFormat, OtherEntryCountsAreReadAsWritten) {
    SetupRecord r = defaults();
    r.AddressTable.resize(38);
    r.ValueTable.resize(38);
    auto back = SdtFormat::decode(SdtFormat::encode(r));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->AddressTable.size(), 38);
    r.AddressTable.clear();
    r.ValueTable.clear();
    back = SdtFormat::decode(SdtFormat::encode(r));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->ValueTable.isEmpty());
}

TEST(SdtFormat, DamagedFilesAreRefusedWithAReason) {
    const QByteArray good = SdtFormat::encode(defaults());
    QByteArray hugeCount = good;
    qToLittleEndian<qint32>(0x7FFFFFFF, hugeCount.data() + 18);
    QByteArray negativeCount = good;
    qToLittleEndian<qint32>(-1, negativeCount.data() + 18);
    QByteArray twoDimensions = good;
    qToLittleEndian<qint16>(2, twoDimensions.data() + 16);
    QByteArray lowerBoundOne = good;
    qToLittleEndian<qint32>(1, lowerBoundOne.data() + 22);
    QByteArray longText = good;
    qToLittleEndian<quint16>(0xFFFF, longText.data() + 26);
    QByteArray valueCount = good;
    qToLittleEndian<qint32>(100'000, valueCount.data() + 16 + 10 + 347 + 2);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {{"empty", {}},
                 {"one byte", "\x0E"},
                 {"truncated in the tag", good.left(10)},
                 {"truncated in the addresses", good.left(200)},
                 {"truncated in the values", good.left(500)},
                 {"fixed part short by one byte", good.left(666)},
                 {"huge address count", hugeCount},
                 {"negative address count", negativeCount},
                 {"two dimensions", twoDimensions},
                 {"lower bound 1", lowerBoundOne},
                 {"text past the end", longText},
                 {"value count past the end", valueCount},
                 {"garbage", QByteArray(700, '\xA5')}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_FALSE(SdtFormat::decode(c.bytes, &why).has_value());
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(ShiftExport, FortyEightLinesOfShiftData) {
    SetupRecord r = defaults();
    r.ValueTable[0] = 1234567;
    r.ValueTable[2] = -3;
    r.ValueTable[35] = 9;
    const QByteArray text = ShiftExport::text(r, QString(), QString());
    ASSERT_TRUE(text.endsWith("\r\n"));
    EXPECT_EQ(text.count("\r\n"), 48);
    const QStringList lines = QString::fromLatin1(text).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 49); // and nothing after the last line end
    auto line = [&](int n) { return lines[n]; };
    EXPECT_EQ(line(0), "untitled");
    EXPECT_EQ(line(1), "Date: ");
    EXPECT_EQ(line(2), " ");
    EXPECT_EQ(line(3), "Current Shift Data:");
    EXPECT_EQ(line(4), "(Total Strokes, Total Die Jams)");
    EXPECT_EQ(line(5), " 1234567");
    EXPECT_EQ(line(6), " 0");
    EXPECT_EQ(line(7), " ");
    EXPECT_EQ(line(8), "Current Shift Die Jams per Station:");
    EXPECT_EQ(line(9), "-3");
    EXPECT_EQ(line(25), " ");
    EXPECT_EQ(line(26), "Last Shift Data:");
    EXPECT_EQ(line(30), " ");
    EXPECT_EQ(line(31), "Last Shift Die Jams per Station:");
    EXPECT_EQ(line(47), " 9");
    EXPECT_TRUE(ShiftExport::text(r, "press4.sdt", "12/7/26 8:00 AM")
                    .startsWith("press4.sdt\r\nDate: 12/7/26 8:00 AM\r\n"));
}

} // namespace
