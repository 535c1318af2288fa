#include "CodeTable.h"

#include "TextFields.h"

#include <QFile>
#include <QFileInfo>

namespace CodeTable {

QString codeText(int code) {
    return QString::number(code, 16).toUpper().rightJustified(2, u'0');
}

Lookup find(const QString& path, const QString& key, Match match) {
    Lookup result;
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return result;
    result.fileFound = true;
    // The tables are a few kilobytes; a huge file is not one of them.
    constexpr qint64 limit = 4 * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > limit) {
        result.readError = true;
        result.errorString =
            file.size() > limit ? QStringLiteral("File too large") : file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.readError = true;
        result.errorString = file.errorString();
        return result;
    }
    result.description = findIn(bytes, key, match);
    return result;
}

std::optional<QString> findIn(const QByteArray& bytes, const QString& key, Match match) {
    std::optional<QString> description;
    for (const QString& line : TextFields::lines(bytes)) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = TextFields::fields(line);
        if (f.value(0).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        description = f.value(1);
        if (match == Match::First)
            break;
    }
    return description;
}

} // namespace CodeTable
