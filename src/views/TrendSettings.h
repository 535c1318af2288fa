#pragma once

#include <QString>
#include <QStringList>

// What the Trend window keeps for its user between openings: the registers
// on the chart, those whose lines are hidden, the time window and the
// sampling interval. Read as stored; the window checks it as it checks what
// is typed.
struct TrendSettings {
    QStringList registers;
    QStringList hidden;
    int windowMinutes = 0;
    int intervalMs = 0;

    static TrendSettings load();
    void save() const;
    // The user's settings file (in the user's TELVANE configuration folder).
    static QString file();
};
