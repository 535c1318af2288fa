#include "PortSettingsFile.h"

#include "DeviceText.h"
#include "NumberText.h"
#include "TextFields.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace PortSettingsFile {

namespace {
constexpr qsizetype ReadLimit = 4096;
} // namespace

FileState state(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return FileState::Missing;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return FileState::Unreadable;
    return FileState::Readable;
}

std::optional<PortSettings> read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return std::nullopt;
    // Enough for the longest line a writer writes; a device text longer than
    // any taken is kept too long, so that opening it is refused rather than
    // cut to another device.
    static_assert(DeviceText::MaxLength + 64 < ReadLimit);
    return parse(file.read(ReadLimit));
}

std::optional<PortSettings> parse(const QByteArray& bytes) {
    const QStringList lines = TextFields::lines(bytes);
    if (lines.isEmpty())
        return std::nullopt;
    const QStringList f = TextFields::fields(lines.first());
    PortSettings s;
    const double port = NumberText::roundHalfEven(NumberText::leadingNumber(f.value(0)));
    s.portNumber = port < 1 ? 1 : port > 99 ? 99 : int(port);
    s.baud = Baud::fromText(f.value(1)).text();
    s.device = f.value(2).trimmed().left(DeviceText::MaxLength + 1);
    return s;
}

QByteArray printedLine(const PortSettings& settings) {
    QString line =
        QString::number(settings.portNumber) + QStringLiteral(", ") + settings.baud + u' ';
    if (!settings.device.isEmpty())
        line += u',' + settings.device;
    return Windows1252::encode(line + QStringLiteral("\r\n"));
}

bool write(const QString& path, const PortSettings& settings) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString line = QString::number(settings.portNumber) + u',' + settings.baud;
    if (!settings.device.isEmpty())
        line += u',' + settings.device;
    return !WriteWholeFile(path, Windows1252::encode(line + QStringLiteral("\r\n")));
}

std::optional<PortSettings> readOrWriteDefaults(const QString& path) {
    const FileState found = state(path);
    if (const auto settings = read(path))
        return settings;
    if (found == FileState::Unreadable)
        return std::nullopt;
    const PortSettings defaults;
    write(path, defaults);
    return defaults;
}

} // namespace PortSettingsFile
