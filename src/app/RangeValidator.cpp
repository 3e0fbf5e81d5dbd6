#include "RangeValidator.h"

#include <QLocale>

RangeValidator::RangeValidator(double bottom, double top, int decimals, QObject* parent)
    : QValidator(parent), bottom_(bottom), top_(top), decimals_(decimals) {}

QValidator::State RangeValidator::validate(QString& input, int& /*position*/) const {
    qsizetype at = 0;
    if (at < input.size() && input[at] == QLatin1Char('-')) {
        if (bottom_ >= 0)
            return Invalid;
        ++at;
    }
    bool digits = false, point = false;
    int decimals = 0;
    for (; at < input.size(); ++at) {
        const QChar c = input[at];
        if (c == QLatin1Char('.') && !point) {
            point = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
            if (point && ++decimals > decimals_)
                return Invalid;
        } else {
            return Invalid;
        }
    }
    if (!digits)
        return Intermediate;
    // More digits only take a number further from zero, so one outside the range stays outside.
    const double value = QLocale::c().toDouble(input);
    return value >= bottom_ && value <= top_ ? Acceptable : Invalid;
}
