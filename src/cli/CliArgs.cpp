#include "CliArgs.h"

#include "Address.h"

namespace CliArgs {

std::optional<QString> address(const QString& text) {
    if (Address::parseWellFormed(text))
        return std::nullopt;
    return QStringLiteral("not a register address: '%1'").arg(text);
}

std::optional<QString> integer(const QString& text, const QString& what, int min, int max) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    // toLongLong also takes blanks around the number; a number is digits.
    if (ok && text.trimmed() == text && value >= min && value <= max)
        return std::nullopt;
    return QStringLiteral("%1 must be a whole number from %2 to %3, not '%4'")
        .arg(what)
        .arg(min)
        .arg(max)
        .arg(text);
}

std::optional<QString> entry(const QString& text, const QString& what,
                             const EntryChecks::Limits& limits) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || text.trimmed() != text)
        return QStringLiteral("%1 must be a whole number, not '%2'").arg(what, text);
    if (auto refused = EntryChecks::InRange(value, limits))
        return QStringLiteral("%1 %2: %3").arg(what, text, *refused);
    return std::nullopt;
}

} // namespace CliArgs
