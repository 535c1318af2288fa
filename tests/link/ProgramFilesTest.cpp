// Program projects: MarkHEX digits, the revision and configuration files, and
// the checks that select a project for the download.
#include "LinkFixture.h"

#include <QDir>
#include <QFile>

namespace {

// A configuration line as the upload writes it, for board code "8".
QByteArray configLine(char a, char b, char c) {
    return "F" + QByteArray(34, '0') + a + "00" + b + c + "000%\r\n";
}

class ProgramFiles : public LinkFixture {
protected:
    // Writes proj/CUP.kvl with the given content; the path to select.
    QString project(const QByteArray& kvl, const QString& name = "CUP.kvl") {
        writeProgramFile("proj/" + name, kvl);
        return programFolder() + "/proj/" + name;
    }
    void file(const QString& name, const QByteArray& content) {
        writeProgramFile("proj/" + name, content);
    }
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(programFolder() + "/proj/" + name);
    }
    QStringList shown() {
        const QStringList all = describeAll(prompt);
        prompt.clear();
        return all;
    }
    QString revisionNotValid() const {
        return "Program Download|" + path("CUP.rev") +
               " Revision File is Not Valid\n\nProgram Downloaded Halted!|Exclamation|Ok";
    }
    QString configurationNotValid() const {
        return "Program Download|" + path("CUP.lcf") +
               " Configuration File is Not Valid\n\nProgram Downloaded Halted!|Exclamation|Ok";
    }
};

TEST(MarkHex, ConvertsBothWaysAndChangesTheArgument) {
    QString mark = "3:?0";
    EXPECT_EQ(RSComm::MarkHex2HEX(mark), "3AF0");
    EXPECT_EQ(mark, "3AF0");
    QString hex = "3AF0";
    EXPECT_EQ(RSComm::HEX2MarkHEX(hex), "3:?0");
    EXPECT_EQ(hex, "3:?0");
    QString lower = "3af0";
    EXPECT_EQ(RSComm::HEX2MarkHEX(lower), "3af0");
    QString all = "0123456789:;<=>?";
    EXPECT_EQ(RSComm::MarkHex2HEX(all), "0123456789ABCDEF");
    EXPECT_EQ(RSComm::HEX2MarkHEX(all), "0123456789:;<=>?");
    QString other = "G@/";
    EXPECT_EQ(RSComm::MarkHex2HEX(other), "G@/");
    EXPECT_EQ(RSComm::HEX2MarkHEX(other), "G@/");
}

TEST_F(ProgramFiles, RevisionFileGivesIdentChecksumAndRevision) {
    const QString kvl = project("2 anything else\r\n");
    file("CUP.rev", "CUPR27003:03\r\n");
    link.setDownloadFile(kvl);
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(link.Project().FileIdent(), "CUPR2700");
    EXPECT_EQ(link.Project().FileChecksum(), "58");
    EXPECT_EQ(link.Project().FileRevision(), "3");
    EXPECT_EQ(link.Project().BoardCode(), '2');
    EXPECT_EQ(link.Project().ProgramTargetboardName(), "R8050");
    EXPECT_EQ(link.Project().ProjectFile(), programFolder() + "/proj/CUP.kvl");
    EXPECT_EQ(link.Project().RevisionFile(), programFolder() + "/proj/CUP.rev");
    EXPECT_EQ(link.Project().ProgramFile(), programFolder() + "/proj/CUP.hex");
    EXPECT_EQ(link.Project().ConfigurationFile(), programFolder() + "/proj/CUP.lcf");
}

TEST_F(ProgramFiles, RevisionLineRules) {
    const QString kvl = project("2");
    // Exactly four characters: an empty ident.
    file("CUP.rev", "3:03");
    link.setDownloadFile(kvl);
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_EQ(link.Project().FileIdent(), "");
    // Only the first field of the first line; ordinary hex digits read too.
    file("CUP.rev", "AB??FF,ignored\r\nsecond line\r\n");
    link.setDownloadFile(kvl);
    EXPECT_EQ(link.Project().FileIdent(), "AB");
    EXPECT_EQ(link.Project().FileChecksum(), "255");
    EXPECT_EQ(link.Project().FileRevision(), "255");
    // Quotes are stripped; the text is Windows-1252.
    file("CUP.rev", "\"K\x80,10000\"\n");
    link.setDownloadFile(kvl);
    EXPECT_EQ(link.Project().FileIdent(), QString("K") + QChar(0x20AC) + ",1");
    EXPECT_EQ(link.Project().FileChecksum(), "0");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(ProgramFiles, MissingOrEmptyRevisionFile) {
    const QString kvl = project("2");
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_EQ(shown(), QStringList{revisionNotValid()});
    EXPECT_EQ(link.Project().FileIdent(), "Unknown");
    EXPECT_EQ(link.Project().FileChecksum(), "Unknown");
    EXPECT_EQ(link.Project().FileRevision(), "Unknown");
    for (const QByteArray& empty : {QByteArray(), QByteArray("\r\n"), QByteArray("  ,x\r\n")}) {
        file("CUP.rev", empty);
        link.setDownloadFile(kvl);
        EXPECT_FALSE(link.ValidProgram());
        EXPECT_EQ(shown(), QStringList{revisionNotValid()});
    }
}

TEST_F(ProgramFiles, ShortOrBadRevisionLineIsATrappedError) {
    const QString kvl = project("2");
    file("CUP.rev", "3:0");
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_EQ(shown(), (QStringList{"RSComm-Set Program Ident|Error Number = 5\n\nThe revision "
                                    "line \"3:0\" is shorter than four characters.|Critical|Ok",
                                    revisionNotValid()}));
    EXPECT_EQ(link.Project().FileIdent(), "Unknown");
    file("CUP.rev", "CUPRxy03");
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_EQ(shown(), (QStringList{"RSComm-Set Program Ident|Error Number = 13\n\nThe revision "
                                    "line \"CUPRxy03\" does not end in four MarkHEX "
                                    "digits.|Critical|Ok",
                                    revisionNotValid()}));
}

TEST_F(ProgramFiles, ConfiguredBoardReadsItsConfigurationDigits) {
    const QString kvl = project("8");
    file("CUP.rev", "CUP0000");
    file("CUP.lcf", configLine('1', '2', '3'));
    link.setDownloadFile(kvl);
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(link.Project().ConfigDigits(), (std::array<int, 3>{1, 2, 3}));
    // Non-digits read as 0; a line shorter than 40 characters gives 0 for the missing ones.
    file("CUP.lcf", configLine('x', '9', ' '));
    link.setDownloadFile(kvl);
    EXPECT_EQ(link.Project().ConfigDigits(), (std::array<int, 3>{0, 9, 0}));
    file("CUP.lcf", configLine('2', '2', '2').left(38));
    link.setDownloadFile(kvl);
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_EQ(link.Project().ConfigDigits(), (std::array<int, 3>{2, 0, 0}));
}

TEST_F(ProgramFiles, MissingOrEmptyConfigurationFile) {
    const QString kvl = project("A");
    file("CUP.rev", "CUP0000");
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_EQ(shown(), QStringList{configurationNotValid()});
    EXPECT_EQ(link.Project().ConfigDigits(), (std::array<int, 3>{3, 0, 3}));
    file("CUP.lcf", "");
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_EQ(shown(), QStringList{configurationNotValid()});
}

TEST_F(ProgramFiles, GoodConfigurationDoesNotMakeUpForABadRevisionFile) {
    const QString kvl = project("8");
    file("CUP.lcf", configLine('1', '1', '1'));
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_EQ(shown(), QStringList{revisionNotValid()});
    EXPECT_EQ(link.Project().FileIdent(), "Unknown");
    // Both bad: both messages.
    QFile::remove(programFolder() + "/proj/CUP.lcf");
    link.setDownloadFile(kvl);
    EXPECT_EQ(shown(), (QStringList{revisionNotValid(), configurationNotValid()}));
}

TEST_F(ProgramFiles, UnconfiguredBoardNeedsNoConfigurationFile) {
    for (const char* code : {"2", "3", "D"}) {
        const QString kvl = project(code);
        file("CUP.rev", "CUP0000");
        link.setDownloadFile(kvl);
        EXPECT_TRUE(link.ValidProgram()) << code;
        EXPECT_TRUE(shown().isEmpty()) << code;
    }
}

TEST_F(ProgramFiles, IncompatibleBoardCodesAreRefused) {
    file("CUP.rev", "CUP0000");
    file("CUP.lcf", configLine('1', '1', '1'));
    const QString incompatible = "Program Download|CUP file is incompatible with target "
                                 "board.\n\nProgram Downloaded Halted!|Critical|Ok";
    for (const QByteArray& code : {QByteArray("1"), QByteArray("9"), QByteArray("0"),
                                   QByteArray("F"), QByteArray("\x80"), QByteArray("")}) {
        SCOPED_TRACE(code.toStdString());
        link.setDownloadFile(project(code));
        EXPECT_FALSE(link.ValidProgram());
        EXPECT_EQ(shown(), QStringList{incompatible});
        EXPECT_EQ(link.Project().FileIdent(), "Unknown"); // nothing further is read
    }
    link.setDownloadFile(project("9"));
    EXPECT_EQ(link.Project().ProgramTargetboardName(), "Not Defined");
    link.setDownloadFile(project("F"));
    EXPECT_EQ(link.Project().ProgramTargetboardName(), "F Is Not Defined.");
}

TEST_F(ProgramFiles, PlsProgramsAreRefused) {
    file("CUP.rev", "CUP0000");
    const QString pls = "PLS Program Download|CUP file is a PLS target board program.\nOpen PLS "
                        "program to download to target board.\n\nProgram Downloaded "
                        "Halted.|Information|Ok";
    for (const char* code : {"7", ">", "?", "@", "C", "E"}) {
        SCOPED_TRACE(code);
        link.setDownloadFile(project(code));
        EXPECT_FALSE(link.ValidProgram());
        EXPECT_EQ(shown(), QStringList{pls});
    }
}

TEST_F(ProgramFiles, MissingProjectLeavesNothingValidAndSaysNothing) {
    file("CUP.rev", "CUP0000");
    link.setDownloadFile(project("2"));
    ASSERT_TRUE(link.ValidProgram());
    link.setDownloadFile(programFolder() + "/proj/NONE.kvl");
    EXPECT_FALSE(link.ValidProgram());
    link.setDownloadFile(programFolder() + "/proj"); // a folder is no project
    EXPECT_FALSE(link.ValidProgram());
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(ProgramFiles, DerivedFilesAreFoundWhateverTheirCase) {
    const QString kvl = project("8", "CUP.KVL");
    file("CUP.REV", "CUP0000");
    file("cup.Lcf", configLine('2', '0', '1'));
    link.setDownloadFile(kvl);
    EXPECT_TRUE(link.ValidProgram());
    EXPECT_EQ(link.Project().RevisionFile(), programFolder() + "/proj/CUP.REV");
    EXPECT_EQ(link.Project().ConfigurationFile(), programFolder() + "/proj/cup.Lcf");
    EXPECT_EQ(link.Project().ProgramFile(),
              programFolder() + "/proj/CUP.hex"); // not there: as derived
}

TEST_F(ProgramFiles, BaseNameKeepsInnerDots) {
    link.setDownloadFile(project("1", "line.2.kvl"));
    EXPECT_EQ(shown(), QStringList{"Program Download|line.2 file is incompatible with target "
                                   "board.\n\nProgram Downloaded Halted!|Critical|Ok"});
}

TEST_F(ProgramFiles, UploadFileSelectsWithoutChecks) {
    const QString kvl = project("1");
    link.setUploadFile(kvl);
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(link.Project().BoardCode(), '1');
    EXPECT_EQ(link.Project().ProgramTargetboardName(), "R8030");
    EXPECT_EQ(link.Project().ProgramFile(), programFolder() + "/proj/CUP.hex");
    EXPECT_FALSE(link.ValidProgram());
    link.setUploadFile(programFolder() + "/proj/NONE.kvl");
    EXPECT_EQ(link.Project().BoardCode(), '1'); // unchanged
}

TEST_F(ProgramFiles, UnreadableRevisionFileIsATrappedError) {
    const QString kvl = project("2");
    file("CUP.rev", "CUP0000");
    QFile rev(programFolder() + "/proj/CUP.rev");
    rev.setPermissions(QFileDevice::Permissions());
    if (rev.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "needs a user who cannot read every file; this run has root's rights";
    link.setDownloadFile(kvl);
    EXPECT_FALSE(link.ValidProgram());
    const QStringList all = shown();
    ASSERT_EQ(all.size(), 2);
    EXPECT_TRUE(all[0].startsWith("RSComm-Set Program Ident|Error Number = 5\n\n"));
    EXPECT_EQ(all[1], revisionNotValid());
}

} // namespace
