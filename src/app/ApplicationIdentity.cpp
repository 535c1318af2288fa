#include "ApplicationIdentity.h"

#include <QGuiApplication>
#include <QIcon>

namespace {

// The icon built into the program, in the sizes a window system asks for.
QIcon BuiltInIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/telvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

void SetApplicationIdentity() {
    QGuiApplication::setApplicationName(QStringLiteral("TELVANE"));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("telvane"));
    // The installed theme's icon where there is one, else the built-in one.
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("telvane"), BuiltInIcon()));
}
