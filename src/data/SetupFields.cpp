#include "SetupFields.h"

#include "ViewCaptions.h"

namespace SetupFields {

static_assert(ViewCaptions::SetupFields.size() == Count);

const std::array<Field, Count> Fields = {{
    {"W1020", {0, 359}, true},
    {"W1022", {0, 359}, true},
    {"W1024", {0, 999}, true},
    {"W1026", {0, 899}, false},
    {"W1028", {0, 999}, false},
    {"W1032", {0, 999}, false},
    {"W1034", {0, 999}, false},
}};

} // namespace SetupFields
