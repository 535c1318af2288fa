#include "DisplayFormat.h"

#include "NumberText.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace DisplayFormat {

QString GroupedWhole(qint64 value) {
    // QLocale() is the system's locale unless a test has pinned another.
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

QString GroupedWhole(const QString& numberText) {
    const double v = NumberText::roundHalfEven(NumberText::leadingNumber(numberText));
    constexpr double limit = 9.0e18; // inside qint64
    return GroupedWhole(qint64(std::clamp(v, -limit, limit)));
}

QString Degrees(const QString& text) {
    return text.trimmed() + DegreeSign;
}

} // namespace DisplayFormat
