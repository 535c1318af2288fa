// Program files: the project (.kvl), revision (.rev), configuration (.lcf)
// and program (.hex) files of a board program, and the MarkHEX digits.
#include "ProgramProject.h"

#include "BoardCodes.h"
#include "ErrorText.h"
#include "ProgramFolder.h"
#include "TextFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>

namespace {

// Numbers of the failures a reader reports itself (file errors carry their
// QFileDevice number).
constexpr int ShortLineError = 5;
constexpr int BadDigitsError = 13;
constexpr int InternalError = 51;

constexpr int DigitA = 35; // characters 36, 39 and 40 of the configuration line
constexpr int DigitB = 38;
constexpr int DigitC = 39;

struct FirstLine {
    enum class Status { Missing, Empty, Failed, Read } status = Status::Missing;
    QString field;
    int errorNumber = 0;
    QString errorString;
};

// The first field of the file's first line. A file without text counts as empty;
// a missing one fails like an unreadable one where it must exist.
FirstLine readFirstField(const QString& path, bool mustExist = false) {
    FirstLine result;
    const QFileInfo info(path);
    if (!info.isFile() && !mustExist)
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = FirstLine::Status::Failed;
        result.errorNumber = int(file.error());
        result.errorString = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = FirstLine::Status::Failed;
        result.errorNumber = int(file.error());
        result.errorString = file.errorString();
        return result;
    }
    const QStringList lines = TextFields::lines(bytes);
    result.field = lines.isEmpty() ? QString() : TextFields::firstField(lines.first());
    result.status = result.field.isEmpty() ? FirstLine::Status::Empty : FirstLine::Status::Read;
    return result;
}

// Two MarkHEX digits as a decimal text; nullopt when they are not hex digits.
std::optional<QString> markHexByte(QString digits) {
    ProgramProject::MarkHex2HEX(digits);
    int value = 0;
    for (const QChar c : digits) {
        const int digit = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                          : c >= u'A' && c <= u'F'         ? c.unicode() - 'A' + 10
                          : c >= u'a' && c <= u'f'         ? c.unicode() - 'a' + 10
                                                           : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return QString::number(value);
}

// A derived project file: the spelling on disk when one differs only in case.
QString existingSpelling(const QString& path) {
    const QFileInfo info(path);
    return ProgramFolder::resolve(info.absolutePath(), info.fileName());
}

int digitAt(const QString& line, int index) {
    if (index >= line.size())
        return 0;
    const QChar c = line[index];
    return c.isDigit() && c.unicode() < 128 ? c.unicode() - '0' : 0;
}

} // namespace

QString ProgramProject::MarkHex2HEX(QString& MarkHEX) {
    for (QChar& c : MarkHEX)
        if (c >= u':' && c <= u'?')
            c = QChar(c.unicode() - ':' + 'A');
    return MarkHEX;
}

QString ProgramProject::HEX2MarkHEX(QString& HexCode) {
    for (QChar& c : HexCode)
        if (c >= u'A' && c <= u'F')
            c = QChar(c.unicode() - 'A' + ':');
    return HexCode;
}

void ProgramProject::ShowFileError(const QString& title, Prompt::Icon icon, int number,
                                   const QString& description) {
    m_prompt.message(title, ErrorText::numbered(number, description), icon);
}

void ProgramProject::DeriveProjectPaths(const QString& kvlFileName) {
    // The development system names the four files alike: the extension is the
    // last three characters, whatever their case.
    const QString base = QFileInfo(kvlFileName).absoluteFilePath().chopped(3);
    m_projectFile = existingSpelling(base + QStringLiteral("kvl"));
    m_revisionFile = existingSpelling(base + QStringLiteral("rev"));
    m_programFile = existingSpelling(base + QStringLiteral("hex"));
    m_configurationFile = existingSpelling(base + QStringLiteral("lcf"));
}

// The board code is the first character of the project file; a project
// without text has code 0, which no board has. The project was chosen as an
// existing file: one gone since then is an error, not code 0.
bool ProgramProject::ReadBoardCode(const QString& kvlFileName, const QString& errorTitle) {
    const FirstLine first = readFirstField(kvlFileName, true);
    if (first.status == FirstLine::Status::Failed) {
        ShowFileError(errorTitle, Prompt::Icon::Information, first.errorNumber, first.errorString);
        return false;
    }
    m_boardCode = first.field.isEmpty() ? 0 : first.field[0].unicode();
    m_programTargetboardName = BoardCodes::targetboardName(m_boardCode);
    return true;
}

bool ProgramProject::ReadRevisionFile(const QString& path) {
    m_fileIdent = m_fileRevision = m_fileChecksum = QStringLiteral("Unknown");
    const FirstLine first = readFirstField(path);
    const QString title = QStringLiteral("RSComm-Set Program Ident");
    if (first.status == FirstLine::Status::Failed) {
        ShowFileError(title, Prompt::Icon::Critical, first.errorNumber, first.errorString);
        return false;
    }
    if (first.status != FirstLine::Status::Read)
        return false;
    const QString& line = first.field;
    if (line.size() < 4) {
        ShowFileError(title, Prompt::Icon::Critical, ShortLineError,
                      QStringLiteral("The revision line \"") + line +
                          QStringLiteral("\" is shorter than four characters."));
        return false;
    }
    const auto checksum = markHexByte(line.mid(line.size() - 4, 2));
    const auto revision = markHexByte(line.right(2));
    if (!checksum || !revision) {
        ShowFileError(title, Prompt::Icon::Critical, BadDigitsError,
                      QStringLiteral("The revision line \"") + line +
                          QStringLiteral("\" does not end in four MarkHEX digits."));
        return false;
    }
    m_fileIdent = line.chopped(4);
    m_fileChecksum = *checksum;
    m_fileRevision = *revision;
    return true;
}

bool ProgramProject::ReadConfigurationFile(const QString& path) {
    m_configDigits = {3, 0, 3};
    const FirstLine first = readFirstField(path);
    if (first.status == FirstLine::Status::Failed) {
        ShowFileError(QStringLiteral("RSComm-Set Program Config"), Prompt::Icon::Critical,
                      first.errorNumber, first.errorString);
        return false;
    }
    if (first.status != FirstLine::Status::Read)
        return false;
    // A short line reads its missing digits as 0.
    m_configDigits = {digitAt(first.field, DigitA), digitAt(first.field, DigitB),
                      digitAt(first.field, DigitC)};
    return true;
}

void ProgramProject::setDownloadFile(const QString& kvlFileName) {
    const QString title = QStringLiteral("Program Download");
    m_validProgram = false;
    try {
        if (!QFileInfo(kvlFileName).isFile())
            return;
        DeriveProjectPaths(kvlFileName);
        if (!ReadBoardCode(kvlFileName, QStringLiteral("RSComm-Download File")))
            return;
        const QString baseName = QFileInfo(kvlFileName).completeBaseName();
        if (BoardCodes::isUndefined(m_boardCode)) {
            m_prompt.message(title,
                             baseName +
                                 QStringLiteral(" file is incompatible with target board.\n\n"
                                                "Program Downloaded Halted!"),
                             Prompt::Icon::Critical);
            return;
        }
        if (BoardCodes::isPlsProgram(m_boardCode)) {
            m_prompt.message(QStringLiteral("PLS Program Download"),
                             baseName + QStringLiteral(" file is a PLS target board program.\n"
                                                       "Open PLS program to download to target "
                                                       "board.\n\nProgram Downloaded Halted."),
                             Prompt::Icon::Information);
            return;
        }
        const bool revisionValid = ReadRevisionFile(m_revisionFile);
        if (!revisionValid)
            m_prompt.message(title,
                             QDir::toNativeSeparators(m_revisionFile) +
                                 QStringLiteral(" Revision File is Not Valid\n\n"
                                                "Program Downloaded Halted!"),
                             Prompt::Icon::Exclamation);
        bool configurationValid = true;
        if (BoardCodes::isConfigured(m_boardCode)) {
            configurationValid = ReadConfigurationFile(m_configurationFile);
            if (!configurationValid)
                m_prompt.message(title,
                                 QDir::toNativeSeparators(m_configurationFile) +
                                     QStringLiteral(" Configuration File is Not Valid\n\n"
                                                    "Program Downloaded Halted!"),
                                 Prompt::Icon::Exclamation);
        }
        // Both files must be good: a good configuration does not make up for
        // a bad revision file.
        m_validProgram = revisionValid && configurationValid;
    } catch (const std::exception& e) {
        m_validProgram = false;
        ShowFileError(QStringLiteral("RSComm-Download File"), Prompt::Icon::Information,
                      InternalError, QString::fromLocal8Bit(e.what()));
    }
}

void ProgramProject::setUploadFile(const QString& kvlFileName) {
    try {
        if (!QFileInfo(kvlFileName).isFile())
            return;
        DeriveProjectPaths(kvlFileName);
        ReadBoardCode(kvlFileName, QStringLiteral("RSComm UploadFile"));
    } catch (const std::exception& e) {
        ShowFileError(QStringLiteral("RSComm UploadFile"), Prompt::Icon::Information, InternalError,
                      QString::fromLocal8Bit(e.what()));
    }
}

bool ProgramProject::ReloadBoardCode(const QString& errorTitle) {
    return ReadBoardCode(m_projectFile, errorTitle);
}
