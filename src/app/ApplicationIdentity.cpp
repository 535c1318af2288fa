#include "ApplicationIdentity.h"

#include <QGuiApplication>
#include <QIcon>

void SetApplicationIdentity() {
    QGuiApplication::setApplicationName(QStringLiteral("TELVANE"));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("telvane"));
    if (QIcon::hasThemeIcon(QStringLiteral("telvane")))
        QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("telvane")));
}
