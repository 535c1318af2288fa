#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#ifndef TELVANE_DATA_FROM_BIN
#error "the build passes where installed data lie (TELVANE_DATA_FROM_BIN)"
#endif

namespace ProgramFolder {

QString path() {
    const QString home = qEnvironmentVariable("TELVANE_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    if (!QCoreApplication::instance())
        return QDir::currentPath();
    const QString bin = QCoreApplication::applicationDirPath();
    return forProgramIn(bin, QDir::cleanPath(bin + QStringLiteral("/" TELVANE_DATA_FROM_BIN)));
}

QString forProgramIn(const QString& bin, const QString& installed) {
    const auto hasSupport = [](const QString& folder) {
        return QFileInfo(resolve(folder, QStringLiteral("support"))).isDir();
    };
    // A build or an unpacked copy keeps the files beside the program; an
    // installed program finds them in the data folder of its prefix.
    if (!hasSupport(bin) && hasSupport(installed))
        return installed;
    return bin;
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
