#pragma once

#include "EntryChecks.h"

#include <QString>
#include <array>

// The numeric fields of the Set-up Parameters view, without widgets: the
// registers they read and write and what they take, so that the command line
// checks a write by the same table. Their captions are in ViewCaptions.
namespace SetupFields {

struct Field {
    const char* address;
    EntryChecks::Limits limits;
    bool degrees; // an angle: shown with the degree sign
};

constexpr int Count = 7;
extern const std::array<Field, Count> Fields;

// The Brake Wear Compensation switch on the first page.
constexpr const char* SwitchAddress = "B1018.0";

} // namespace SetupFields
