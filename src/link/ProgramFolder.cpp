#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

namespace ProgramFolder {

QString path() {
    const QString home = qEnvironmentVariable("TELVANE_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString resolve(const QString& folder, const QString& relativePath) {
    QDir dir(folder);
    QString result = dir.absolutePath();
    const QStringList parts =
        relativePath.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts);
    bool exists = dir.exists();
    for (const QString& part : parts) {
        QString name = part;
        if (exists) {
            const QStringList entries =
                QDir(result).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            if (!entries.contains(part)) {
                for (const QString& e : entries) {
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        name = e;
                        break;
                    }
                }
            }
        }
        result += u'/' + name;
        exists = exists && QFileInfo::exists(result);
    }
    return QDir::cleanPath(result);
}

} // namespace ProgramFolder
