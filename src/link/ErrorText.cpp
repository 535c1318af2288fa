#include "ErrorText.h"

namespace ErrorText {

QString numbered(int number, const QString& description, const QString& lineBreak) {
    const QString twoBreaks = lineBreak + lineBreak;
    return QStringLiteral("Error Number = ") + QString::number(number) + twoBreaks + description;
}

QString numberedWithSource(int number, const QString& source, const QString& description) {
    return QStringLiteral("Error Number = ") + QString::number(number) +
           QStringLiteral("\nError Source = ") + source + QStringLiteral("\n\n") + description;
}

QString processNotComplete() {
    return QStringLiteral("Error Processing Request\r\n\r\nProcess Not Complete");
}

} // namespace ErrorText
