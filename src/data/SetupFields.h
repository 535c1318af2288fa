#pragma once

#include "EntryChecks.h"

#include <QString>
#include <array>

// The numeric fields of the Set-up Parameters view, without widgets: what
// the view shows and takes, and what the command line, the comparison and
// the Trend window name and check by the same table.
namespace SetupFields {

struct Field {
    const char* label;   // as the view shows it, access key and colon included
    const char* address; // the register the field reads and writes
    EntryChecks::Limits limits;
    bool degrees; // an angle: shown with the degree sign
};

constexpr int Count = 7;
extern const std::array<Field, Count> Fields;

// The label as a name in a list: no access key, no colon ("Low Speed (SPM)").
QString Name(const Field& field);

// The Brake Wear Compensation switch on the first page.
constexpr const char* SwitchLabel = "&Brake Wear Compensation Enable:";
constexpr const char* SwitchAddress = "B1018.0";

} // namespace SetupFields
