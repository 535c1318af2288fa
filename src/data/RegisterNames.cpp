#include "RegisterNames.h"

#include "DisplayFormat.h"

namespace RegisterNames {

const std::array<Label, 6>& mainDisplay() {
    static const std::array<Label, 6> labels{{
        {QStringLiteral("W182"), QStringLiteral("Machine Speed"), Format::Plain},
        {QStringLiteral("W180"), QStringLiteral("Machine Position"), Format::Degrees},
        {QStringLiteral("D1100"), QStringLiteral("Strokes"), Format::Grouped},
        {QStringLiteral("W1104"), QStringLiteral("Die Jams"), Format::Grouped},
        {QStringLiteral("W1040"), QStringLiteral("Low Speed:"), Format::Degrees},
        {QStringLiteral("W1042"), QStringLiteral("High Speed:"), Format::Degrees},
    }};
    return labels;
}

const std::array<Label, 7>& setupFields() {
    static const std::array<Label, 7> labels{{
        {QStringLiteral("W1020"), QStringLiteral("TDC Stop Position (L&ow Speed):"),
         Format::Degrees},
        {QStringLiteral("W1022"), QStringLiteral("TDC Stop Position (H&igh Speed):"),
         Format::Degrees},
        {QStringLiteral("W1024"), QStringLiteral("&Maximum Allowed Stopping Response (deg):"),
         Format::Degrees},
        {QStringLiteral("W1026"), QStringLiteral("Low &Speed (SPM):"), Format::Plain},
        {QStringLiteral("W1028"), QStringLiteral("High S&peed (SPM):"), Format::Plain},
        {QStringLiteral("W1032"), QStringLiteral("&Maximum Speed (full scale calibration):"),
         Format::Plain},
        {QStringLiteral("W1034"), QStringLiteral("&Idle Speed (Cupper Stopped):"), Format::Plain},
    }};
    return labels;
}

const Label& setupSwitch() {
    static const Label label{QStringLiteral("B1018.0"),
                             QStringLiteral("&Brake Wear Compensation Enable:"), Format::Plain};
    return label;
}

const std::array<Label, 2 * ShiftEntries>& shiftData() {
    static const std::array<Label, 2 * ShiftEntries> labels = [] {
        std::array<Label, 2 * ShiftEntries> out;
        for (int shift = 0; shift < 2; ++shift) {
            const int base = shift == 0 ? 1100 : 1200;
            Label* entry = &out[size_t(shift * ShiftEntries)];
            // Strokes are a double word; die jams and the stations' words follow.
            entry[0] = {QStringLiteral("D%1").arg(base), QStringLiteral("Total Strokes:"),
                        Format::Grouped};
            entry[1] = {QStringLiteral("W%1").arg(base + 4), QStringLiteral("Total Die Jams:"),
                        Format::Grouped};
            for (int station = 0; station < ShiftEntries - 2; ++station)
                entry[2 + station] = {QStringLiteral("W%1").arg(base + 8 + 2 * station),
                                      QStringLiteral("#%1").arg(station + 1), Format::Grouped};
        }
        return out;
    }();
    return labels;
}

const std::array<Label, 3>& df1Setup() {
    static const std::array<Label, 3> labels{{
        {QStringLiteral("B4001.0"), QStringLiteral("&PLC Type:"), Format::Plain},
        {QStringLiteral("B4050"), QStringLiteral("&Destination Node:"), Format::Plain},
        {QStringLiteral("B4011"), QStringLiteral("Desination File &Number:"), Format::Plain},
    }};
    return labels;
}

QString channelName(int channel) {
    return channel < 8 ? QStringLiteral("CH0%1").arg(channel)
                       : QStringLiteral("CH%1").arg(channel + 2);
}

QString timingChannelName(int channel) {
    if (channel < 0 || channel >= int(TimingChannelLabels.size()))
        return channelName(channel);
    return plainText(QString::fromLatin1(TimingChannelLabels[size_t(channel)]));
}

QString plsConfigName(int item) {
    if (item == 0)
        return QStringLiteral("Number of PLS Channels");
    if (item == 1)
        return QStringLiteral("PLS Program");
    return QStringLiteral("Speed Compensation %1 (msec)").arg(channelName(item - 2));
}

QString shiftCaption(int shift) {
    return shift == 0 ? QStringLiteral("Current Shift") : QStringLiteral("Last Shift");
}

QString plainText(const QString& label) {
    QString text;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == u'&' && i + 1 < label.size())
            ++i; // "&&" shows one ampersand
        text += label[i];
    }
    if (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

std::optional<Known> find(const QString& address) {
    const auto same = [&](const Label& label) {
        return label.address.compare(address, Qt::CaseInsensitive) == 0;
    };
    const auto& main = mainDisplay();
    for (size_t i = 0; i < main.size(); ++i) {
        if (!same(main[i]))
            continue;
        // The brake responses are named by their frame and their label.
        const QString name =
            i < 4 ? main[i].text
                  : QStringLiteral("%1 (%2)").arg(MainBrakeFrame, plainText(main[i].text));
        return Known{name, main[i].format};
    }
    for (const Label& label : setupFields())
        if (same(label))
            return Known{plainText(label.text), label.format};
    if (same(setupSwitch()))
        return Known{plainText(setupSwitch().text), setupSwitch().format};
    for (const Label& label : df1Setup())
        if (same(label))
            return Known{plainText(label.text), label.format};
    const auto& shift = shiftData();
    for (size_t i = 0; i < shift.size(); ++i)
        if (same(shift[i]))
            return shiftEntry(int(i));
    return std::nullopt;
}

Known shiftEntry(int entry) {
    const Label& label = shiftData()[size_t(entry)];
    const QString caption = shiftCaption(entry / ShiftEntries);
    const bool station = entry % ShiftEntries >= 2;
    const QString name = station
                             ? QStringLiteral("%1 %2 (%3)").arg(StationsFrame, label.text, caption)
                             : QStringLiteral("%1 (%2)").arg(plainText(label.text), caption);
    return Known{name, label.format};
}

QString format(Format format, const QString& value) {
    switch (format) {
    case Format::Degrees:
        return DisplayFormat::Degrees(value);
    case Format::Grouped:
        return DisplayFormat::GroupedWhole(value);
    case Format::Plain:
        break;
    }
    return value.trimmed();
}

} // namespace RegisterNames
