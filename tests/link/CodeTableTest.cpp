#include "CodeTable.h"
#include "FaultStatus.h"
#include "LinkFixture.h"
#include "TextFields.h"

using FaultDescriptionTest = LinkFixture;

TEST(TextFields, FirstFieldRuleAndQuotedCommas) {
    EXPECT_EQ(TextFields::fields("  1A, Die jam"), (QStringList{"1A", "Die jam"}));
    EXPECT_EQ(TextFields::fields("0B,\"Lube low, check tank\" trailing"),
              (QStringList{"0B", "Lube low, check tank"}));
    EXPECT_EQ(TextFields::fields("\"unclosed, text"), (QStringList{"unclosed, text"}));
    EXPECT_EQ(TextFields::fields(""), (QStringList{""}));
    EXPECT_EQ(TextFields::lines("a\r\nb\nc"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Windows1252::decode("\xB0\x80"), QStringLiteral("\u00B0\u20AC"));
    EXPECT_EQ(Windows1252::encode(QStringLiteral("\u00B0\u20AC\u4E00")), QByteArray("\xB0\x80?"));
}

TEST_F(FaultDescriptionTest, LooksUpTheFirstRecordOfTheCode) {
    writeProgramFile(
        "support/FaultErrCodes.txt",
        "\r\n05,First five\r\n  0a , \"Ten, with a comma\"\n05,Second five\r\nFF,Last\r\n");
    EXPECT_EQ(link.FaultDescription(5), "Fault Code (05H): First five");
    EXPECT_EQ(link.FaultDescription(10), "Fault Code (0AH): Ten, with a comma");
    EXPECT_EQ(link.FaultDescription(255), "Fault Code (FFH): Last");
    EXPECT_EQ(link.FaultDescription(26), "Fault Code (1AH): ");
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(FaultDescriptionTest, FindsTheFileWhateverTheFolderCase) {
    writeProgramFile("Support/FaultErrCodes.txt", "12,Jam\n");
    EXPECT_EQ(link.FaultDescription(0x12), "Fault Code (12H): Jam");
}

TEST_F(FaultDescriptionTest, MissingFileIsToldInTheText) {
    EXPECT_EQ(link.FaultDescription(0x42), "Fault Code (42H): --- Fault File Not Found ---");
    EXPECT_TRUE(prompt.shown().isEmpty());
}

TEST_F(FaultDescriptionTest, AFolderInPlaceOfTheFileCountsAsMissing) {
    // A folder where the file should be cannot be read as a file.
    writeProgramFile("support/FaultErrCodes.txt/x", "");
    EXPECT_EQ(link.FaultDescription(1), "Fault Code (01H): --- Fault File Not Found ---");
}

TEST(CodeTable, LastMatchWinsWhenAsked) {
    QTemporaryDir dir;
    QFile f(dir.filePath("t.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("42,first\n42,second\n");
    f.close();
    EXPECT_EQ(CodeTable::find(f.fileName(), "42", CodeTable::Match::Last).description, "second");
    EXPECT_EQ(CodeTable::find(f.fileName(), "42", CodeTable::Match::First).description, "first");
    EXPECT_EQ(CodeTable::codeText(5), "05");
    EXPECT_EQ(CodeTable::codeText(0x1ab), "1AB");
}

TEST(CodeTable, ShippedTablesHoldTheRequiredCodes) {
    for (const char* name : {"FaultErrCodes.txt", "CommErrCodes.txt"}) {
        const QString path = QStringLiteral(TELVANE_SOURCE_DIR "/support/") + name;
        for (const char* code : {"00", "42"}) {
            SCOPED_TRACE(std::string(name) + " " + code);
            const auto lookup = CodeTable::find(path, code, CodeTable::Match::First);
            ASSERT_TRUE(lookup.fileFound);
            ASSERT_TRUE(lookup.description.has_value());
            EXPECT_FALSE(lookup.description->isEmpty());
        }
    }
}

// A description beside its corrective action must not tell another story:
// codes that share an action share one description, and no two actions share
// one. Comm error codes carry no meanings of their own.
TEST(CodeTable, ShippedTablesAgreeWithTheCorrectiveAction) {
    const QString support = QStringLiteral(TELVANE_SOURCE_DIR "/support/");
    auto describe = [](const QString& path, int code) {
        return CodeTable::find(path, CodeTable::codeText(code), CodeTable::Match::Last)
            .description.value_or(QString());
    };
    QMap<QString, QString> byAction;
    QMap<QString, QString> actionOf;
    for (int code = 1; code <= 0xFF; ++code) {
        const QString action = FaultStatus::CorrectiveAction(code);
        const QString text = describe(support + "FaultErrCodes.txt", code);
        SCOPED_TRACE(CodeTable::codeText(code).toStdString() + " " + text.toStdString());
        EXPECT_FALSE(text.isEmpty());
        EXPECT_EQ(byAction.value(action, text), text);
        EXPECT_EQ(actionOf.value(text, action), action);
        byAction.insert(action, text);
        actionOf.insert(text, action);
    }
    QSet<QString> commTexts;
    for (int code = 1; code <= 0xFF; ++code)
        if (code != 0x42)
            commTexts.insert(describe(support + "CommErrCodes.txt", code));
    EXPECT_EQ(commTexts.size(), 1) << QStringList(commTexts.values()).join(" | ").toStdString();
}
