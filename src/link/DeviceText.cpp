#include "DeviceText.h"

#include "NetworkDevice.h"
#include "TextFields.h"

#include <QRegularExpression>

namespace DeviceText {

namespace {

constexpr qsizetype ShownLength = 60;

} // namespace

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
           c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

std::optional<QString> problem(const QString& text) {
    const QString device = text.trimmed();
    if (device.size() > MaxLength)
        return QStringLiteral("The device text is %1 characters long; a device or server address "
                              "has at most %2.")
            .arg(device.size())
            .arg(MaxLength);
    for (qsizetype i = 0; i < device.size(); ++i) {
        if (isControl(device[i]))
            return QStringLiteral("The device text holds a control character (at character %1).")
                .arg(i + 1);
    }
    // The settings file keeps the text as one field of a line of Windows-1252.
    for (const QChar c : device) {
        if (c == u',' || c == u'"')
            return QStringLiteral("The device text %1 holds %2, which the port settings file "
                                  "cannot keep.")
                .arg(shown(device),
                     c == u',' ? QStringLiteral("a comma") : QStringLiteral("a double quote"));
        if (Windows1252::encode(QString(c)) == "?" && c != u'?')
            return QStringLiteral("The device text %1 holds the character %2, which the port "
                                  "settings file cannot keep.")
                .arg(shown(device), QString(c));
    }
    if (NetworkDevice::isNetwork(device))
        return NetworkDevice::problem(device);
    return std::nullopt;
}

QString shown(const QString& text) {
    QString device = text;
    // A server address has no user: whatever stands before its last "@" is hidden.
    static const QRegularExpression userInfo(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+:/*).*@"));
    device.replace(userInfo, QStringLiteral("\\1****@"));
    for (QChar& c : device)
        if (isControl(c))
            c = u'?';
    if (device.size() > MaxLength)
        device = device.left(ShownLength) + QStringLiteral("... (%1 characters)").arg(text.size());
    return device;
}

} // namespace DeviceText
