#include "WindowFields.h"

#include "Address.h"
#include "SetupFields.h"
#include "TargetBoardData.h"
#include "ViewCaptions.h"

namespace WindowFields {

const std::array<Field, Df1SetupRows> Df1Setup = {{
    {ViewCaptions::Df1Setup[0], "B4001.0", {0, 1}},
    {ViewCaptions::Df1Setup[1], "B4050", {0, 255}},
    {ViewCaptions::Df1Setup[2], "B4011", {0, 255}},
}};

const QList<Field>& All() {
    static const QList<Field> all = [] {
        QList<Field> fields;
        for (int i = 0; i < SetupFields::Count; ++i) {
            const SetupFields::Field& f = SetupFields::Fields[size_t(i)];
            fields.append({ViewCaptions::SetupFields[size_t(i)], f.address, f.limits});
        }
        fields.append({ViewCaptions::BrakeWearSwitch, SetupFields::SwitchAddress, {0, 1}});
        for (const Field& f : Df1Setup)
            fields.append(f);
        for (const TargetBoardData::Field& f : TargetBoardData::Fields)
            fields.append({f.label, f.address, {f.min, f.max}});
        return fields;
    }();
    return all;
}

namespace {

// Two bit addresses of one byte overlap only when they name the same bit:
// a bit write keeps the byte's other bits.
bool overlaps(const ParsedAddress& a, const ParsedAddress& b) {
    if (a.boardAddress >= b.boardAddress + b.size() || b.boardAddress >= a.boardAddress + a.size())
        return false;
    return !(a.bitFlag && b.bitFlag) || a.bitMask == b.bitMask;
}

bool same(const ParsedAddress& a, const ParsedAddress& b) {
    return a.letter == b.letter && a.boardAddress == b.boardAddress && a.bitFlag == b.bitFlag &&
           a.bitMask == b.bitMask;
}

} // namespace

std::optional<QString> CheckWrite(const QString& address, qint64 value) {
    const auto target = Address::parseWellFormed(address);
    if (!target)
        return std::nullopt; // the caller's own check refuses it
    for (const Field& field : All()) {
        const auto own = Address::parseWellFormed(QString::fromLatin1(field.address));
        if (!overlaps(*target, *own))
            continue;
        const QString fieldAddress = QString::fromLatin1(field.address);
        if (!same(*target, *own))
            return QStringLiteral("%1 would also change %2 (%3); write %2 itself")
                .arg(address, fieldAddress, ViewCaptions::Plain(field.label));
        if (auto refused = EntryChecks::InRange(value, field.limits))
            return QStringLiteral("%1 %2 (%3): %4")
                .arg(fieldAddress, QString::number(value), ViewCaptions::Plain(field.label),
                     *refused);
    }
    return std::nullopt;
}

} // namespace WindowFields
