#include "ShiftExport.h"

#include "TextFields.h"

namespace ShiftExport {

QByteArray text(const SetupRecord& data, const QString& fileTitle, const QString& uploadNow) {
    QStringList lines;
    lines << (fileTitle.isEmpty() ? QStringLiteral("untitled") : fileTitle)
          << QStringLiteral("Date: ") + uploadNow;
    for (int i = 0; i <= 35; ++i) {
        if (i == 0)
            lines << QStringLiteral(" ") << QStringLiteral("Current Shift Data:")
                  << QStringLiteral("(Total Strokes, Total Die Jams)");
        else if (i == 2)
            lines << QStringLiteral(" ") << QStringLiteral("Current Shift Die Jams per Station:");
        else if (i == 18)
            lines << QStringLiteral(" ") << QStringLiteral("Last Shift Data:")
                  << QStringLiteral("(Total Strokes, Total Die Jams)");
        else if (i == 20)
            lines << QStringLiteral(" ") << QStringLiteral("Last Shift Die Jams per Station:");
        const qint32 value = i < data.ValueTable.size() ? data.ValueTable[i] : 0;
        lines << (value < 0 ? QString::number(value) : u' ' + QString::number(value));
    }
    return Windows1252::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace ShiftExport
