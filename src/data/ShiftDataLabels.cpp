#include "ShiftDataLabels.h"

namespace ShiftDataLabels {

QString ShiftCaption(int shift) {
    return shift == 0 ? QStringLiteral("Current Shift") : QStringLiteral("Last Shift");
}

QString StationsCaption() {
    return QStringLiteral("Die Jams per Station");
}

QString Label(int entry) {
    const int k = entry % EntriesPerShift;
    if (k == 0)
        return QStringLiteral("Total Strokes:");
    if (k == 1)
        return QStringLiteral("Total Die Jams:");
    return QStringLiteral("#%1").arg(k - 1);
}

QString Address(int entry) {
    const int base = entry / EntriesPerShift == 0 ? 1100 : 1200;
    const int k = entry % EntriesPerShift;
    if (k == 0)
        return QStringLiteral("D%1").arg(base);
    if (k == 1)
        return QStringLiteral("W%1").arg(base + 4);
    return QStringLiteral("W%1").arg(base + 8 + 2 * (k - 2));
}

QString Name(int entry) {
    const QString shift = ShiftCaption(entry / EntriesPerShift);
    const int k = entry % EntriesPerShift;
    if (k < 2)
        return shift + u' ' + Label(entry).chopped(1);
    return shift + QStringLiteral(" Die Jams ") + Label(entry);
}

} // namespace ShiftDataLabels
