#include "WindowFields.h"

#include "Address.h"
#include "RegisterNames.h"
#include "TargetBoardData.h"

namespace WindowFields {

const QList<Field>& All() {
    static const QList<Field> all = [] {
        QList<Field> fields;
        const auto& setup = RegisterNames::setupFields();
        for (size_t i = 0; i < setup.size(); ++i)
            fields.append({setup[i].text, setup[i].address, EntryChecks::SetupFields[i]});
        const RegisterNames::Label& onOff = RegisterNames::setupSwitch();
        fields.append({onOff.text, onOff.address, {0, 1}});
        const auto& df1 = RegisterNames::df1Setup();
        for (size_t i = 0; i < df1.size(); ++i)
            fields.append({df1[i].text, df1[i].address, EntryChecks::Df1Setup[i]});
        for (const TargetBoardData::Field& f : TargetBoardData::Fields)
            fields.append(
                {QString::fromLatin1(f.label), QString::fromLatin1(f.address), {f.min, f.max}});
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
        const auto own = Address::parseWellFormed(field.address);
        if (!overlaps(*target, *own))
            continue;
        const QString fieldAddress = field.address;
        if (!same(*target, *own))
            return QStringLiteral("%1 would also change %2 (%3); write %2 itself")
                .arg(address, fieldAddress, RegisterNames::plainText(field.label));
        if (auto refused = EntryChecks::InRange(value, field.limits))
            return QStringLiteral("%1 %2 (%3): %4")
                .arg(fieldAddress, QString::number(value), RegisterNames::plainText(field.label),
                     *refused);
    }
    return std::nullopt;
}

} // namespace WindowFields
