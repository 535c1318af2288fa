#include "TrendSettings.h"

#include "SettingsLocation.h"

#include <QSettings>

namespace {
const QString Registers = QStringLiteral("Trend/registers");
const QString Hidden = QStringLiteral("Trend/hidden");
const QString WindowMinutes = QStringLiteral("Trend/windowMinutes");
const QString IntervalMs = QStringLiteral("Trend/intervalMs");
} // namespace

QString TrendSettings::file() {
    return SettingsLocation::userWindowSettings();
}

TrendSettings TrendSettings::load() {
    const QSettings settings(file(), QSettings::IniFormat);
    TrendSettings out;
    out.registers = settings.value(Registers).toStringList();
    out.hidden = settings.value(Hidden).toStringList();
    out.windowMinutes = settings.value(WindowMinutes).toInt();
    out.intervalMs = settings.value(IntervalMs).toInt();
    return out;
}

void TrendSettings::save() const {
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(Registers, registers);
    settings.setValue(Hidden, hidden);
    settings.setValue(WindowMinutes, windowMinutes);
    settings.setValue(IntervalMs, intervalMs);
}
