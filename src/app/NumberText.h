#pragma once

#include <QString>

// Every number the window shows goes through here: fixed decimals, '.' in every locale, the
// exact value rounded half away from zero. fieldText() of the search library writes the same
// digits for the command line, and the search rounds the device values it shows by that rule.
inline QString numberText(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// A difference: one decimal, and "0.0" where a small negative value would show "-0.0".
inline QString deltaNumberText(double value) {
    const QString text = numberText(value, 1);
    return text == QLatin1String("-0.0") ? QStringLiteral("0.0") : text;
}
