#include "TargetBoardData.h"

#include "ProgramFolder.h"
#include "RSComm.h"
#include "TextFields.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace TargetBoardData {

namespace {

// Numbers of the failures the reader reports itself.
constexpr int ShortLineError = 5;
constexpr int BadDigitsError = 13;
constexpr qint64 FirstLineLimit = 64 * 1024;

// The project's file of another kind: the name less its last three
// characters, then the extension, in the spelling found on disk.
QString sibling(const QString& kvlPath, const QString& extension) {
    const QFileInfo info(QFileInfo(kvlPath).absoluteFilePath().chopped(3) + extension);
    return ProgramFolder::resolve(info.absolutePath(), info.fileName());
}

struct FirstField {
    bool read = false;
    QString text;
    std::optional<ReadError> error;
};

FirstField firstField(const QString& path) {
    FirstField result;
    if (!QFileInfo(path).isFile())
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = ReadError{int(file.error()), file.errorString()};
        return result;
    }
    const QByteArray bytes = file.read(FirstLineLimit);
    if (file.error() != QFileDevice::NoError) {
        result.error = ReadError{int(file.error()), file.errorString()};
        return result;
    }
    const QStringList lines = TextFields::lines(bytes);
    result.text = lines.isEmpty() ? QString() : TextFields::firstField(lines.first());
    result.read = !result.text.isEmpty();
    return result;
}

std::optional<int> markHexByte(QString digits) {
    RSComm::MarkHex2HEX(digits);
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    if (!ok || digits.size() != 2 || digits.startsWith(u'+') || digits.startsWith(u'-'))
        return std::nullopt;
    return value;
}

} // namespace

const std::array<Field, FieldCount> Fields{{
    {"Current Network Address 1:", "B8180", 1, 32},
    {"Current Network Address 2:", "B8191", 1, 32},
    {"Hr.", "B43012", 0, 23},
    {"Min.", "B43010", 0, 59},
    {"Sec.", "B43008", 0, 59},
    {"Mo.", "B43016", 1, 12},
    {"Day", "B43015", 1, 31},
    {"Yr.", "B43017", 0, 99},
}};

int ProjectBoardCode(const QString& kvlPath) {
    const FirstField first = firstField(sibling(kvlPath, QStringLiteral("kvl")));
    if (!first.read)
        return DefaultBoardCode;
    return Windows1252::encode(first.text.left(1)).at(0) & 0xFF;
}

std::optional<ReadError> ReadDiskIdentity(const QString& kvlPath, DiskIdentity& identity) {
    identity = DiskIdentity{};
    if (kvlPath.isEmpty() || !QFileInfo(kvlPath).isFile())
        return std::nullopt;
    identity.boardCode = ProjectBoardCode(kvlPath);
    const FirstField rev = firstField(sibling(kvlPath, QStringLiteral("rev")));
    if (rev.error)
        return rev.error;
    if (rev.read) {
        const QString& line = rev.text;
        if (line.size() < 4)
            return ReadError{ShortLineError,
                             QStringLiteral("The revision line \"") + line +
                                 QStringLiteral("\" is shorter than four characters.")};
        const auto checksum = markHexByte(line.mid(line.size() - 4, 2));
        const auto revision = markHexByte(line.right(2));
        if (!checksum || !revision)
            return ReadError{BadDigitsError, QStringLiteral("The revision line \"") + line +
                                                 QStringLiteral("\" does not end in four digits.")};
        identity.name = line.chopped(4);
        identity.checksum = *checksum;
        identity.revision = *revision;
    }
    const QFileInfo hex(sibling(kvlPath, QStringLiteral("hex")));
    if (hex.isFile())
        identity.revDate = QLocale::system().toString(hex.lastModified(), QLocale::ShortFormat);
    return std::nullopt;
}

QString IdentByteAddress(int k) {
    return QStringLiteral("B") + QString::number(IdentAddress + k);
}

QString IdentCharacter(const QString& byteValue) {
    const int code = int(byteValue.toLongLong() & 0xFF);
    if (code == 0)
        return {};
    return Windows1252::decode(QByteArray(1, char(code)));
}

bool ShowsCoCpuSlot(int boardCode) {
    return boardCode == '2';
}

bool HasSecondAddress(int boardCode) {
    return boardCode == 'A';
}

bool HasClock(int boardCode) {
    return boardCode == '6' || boardCode == 'A';
}

QString TwoDigits(const QString& value) {
    return (QStringLiteral("00") + value).right(2);
}

QString TimeText(const QDateTime& now) {
    const QTime t = now.time();
    return TwoDigits(QString::number(t.hour())) + QStringLiteral(" : ") +
           TwoDigits(QString::number(t.minute())) + QStringLiteral(" : ") +
           TwoDigits(QString::number(t.second()));
}

QString DateText(const QDateTime& now) {
    const QDate d = now.date();
    return TwoDigits(QString::number(d.month())) + QStringLiteral(" - ") +
           TwoDigits(QString::number(d.day())) + QStringLiteral(" - ") +
           QString::number(d.year()).rightJustified(4, u'0');
}

Writes TimeWrites(const QDateTime& snapshot) {
    const QTime t = snapshot.time();
    return {{QString::fromLatin1(Fields[2].address), QString::number(t.hour())},
            {QString::fromLatin1(Fields[3].address), QString::number(t.minute())},
            {QString::fromLatin1(Fields[4].address), QString::number(t.second())}};
}

Writes DateWrites(const QDateTime& snapshot) {
    const QDate d = snapshot.date();
    return {{QString::fromLatin1(Fields[5].address), QString::number(d.month())},
            {QString::fromLatin1(Fields[6].address), QString::number(d.day())},
            {QString::fromLatin1(Fields[7].address), QString::number(d.year()).right(2)}};
}

} // namespace TargetBoardData
