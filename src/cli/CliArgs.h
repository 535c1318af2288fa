#pragma once

#include "CliOut.h" // the commands that check arguments print with it
#include "EntryChecks.h"

#include <QString>
#include <optional>
#include <variant>

// Checks of command-line arguments.
namespace CliArgs {

// A usage problem when the text is not a well-formed register address.
std::optional<QString> address(const QString& text);
// A usage problem when the text is not a whole number in min..max; what
// names the argument ("channel", "ON division").
std::optional<QString> integer(const QString& text, const QString& what, int min, int max);
// A usage problem when the text is not a whole number, or when the window
// that edits the value would refuse it (its range message).
std::optional<QString> entry(const QString& text, const QString& what,
                             const EntryChecks::Limits& limits);

// The problem a command's parse found in its arguments (a plan or why not).
template <typename Plan> std::optional<QString> problem(const std::variant<Plan, QString>& parsed) {
    if (const QString* why = std::get_if<QString>(&parsed))
        return *why;
    return std::nullopt;
}

} // namespace CliArgs
