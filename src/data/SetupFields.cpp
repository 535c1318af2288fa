#include "SetupFields.h"

namespace SetupFields {

const std::array<Field, Count> Fields = {{
    {"TDC Stop Position (L&ow Speed):", "W1020", {0, 359}, true},
    {"TDC Stop Position (H&igh Speed):", "W1022", {0, 359}, true},
    {"&Maximum Allowed Stopping Response (deg):", "W1024", {0, 999}, true},
    {"Low &Speed (SPM):", "W1026", {0, 899}, false},
    {"High S&peed (SPM):", "W1028", {0, 999}, false},
    {"&Maximum Speed (full scale calibration):", "W1032", {0, 999}, false},
    {"&Idle Speed (Cupper Stopped):", "W1034", {0, 999}, false},
}};

QString Name(const Field& field) {
    QString name = QString::fromLatin1(field.label);
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

} // namespace SetupFields
