#include "csICCCurveTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double step = 65535.0 / csICCCurveTable::stretches;
// Near 0 a power's curvature grows without bound, faster than the table's differences show: the
// first stretches (to 0.1 % of the range) are always evaluated.
constexpr int evaluatedStart = 4;
// The smallest margin, in 16-bit steps, for what the arithmetic of the line itself may add.
constexpr double leastMargin = 1e-6;

} // namespace

csICCCurveTable::csICCCurveTable(const csICCToneCurve& curve)
    : curve_(&curve), values_(stretches + 1), margins_(stretches) {
    for (int k = 0; k <= stretches; ++k)
        values_[k] = curve.beforeRounding(k * step);
    const auto secondDifference = [this](int k) {
        return k < 1 || k >= stretches ? 0.0
                                       : std::abs(values_[k - 1] - 2 * values_[k] + values_[k + 1]);
    };
    constexpr double always = std::numeric_limits<double>::infinity();
    for (int k = 0; k < stretches; ++k) {
        double margin = std::max({secondDifference(k - 1), secondDifference(k),
                                  secondDifference(k + 1), secondDifference(k + 2)}) /
                            2 +
                        leastMargin;
        const double middle = curve.beforeRounding((k + 0.5) * step);
        const double line = (values_[k] + values_[k + 1]) / 2;
        // Not a number anywhere near fails this comparison too.
        if (k < evaluatedStart || !(std::abs(middle - line) <= margin / 2))
            margin = always;
        margins_[k] = margin;
    }
}

double csICCCurveTable::forwardValue(double x) const {
    if (!(x >= 0)) {
        if (!(x < 0))
            return curve_->forwardValue(x); // not a number
        x = 0;
    } else if (x > 65535) {
        x = 65535;
    }
    const double position = x * (1 / step);
    const int k = std::min(static_cast<int>(position), stretches - 1);
    const double margin = margins_[k];
    // (An infinite margin, and every margin of a stretch with a value that is not a number, fails
    // this; the line's values below are then finite.)
    if (margin < 1) {
        const double half = values_[k] + (position - k) * (values_[k + 1] - values_[k]) + 0.5;
        if (half < 0)
            return 0;
        if (half >= 65536)
            return 65535;
        const double whole = static_cast<double>(static_cast<std::int32_t>(half));
        if (half - whole > margin && whole + 1 - half > margin)
            return whole;
    }
    return curve_->forwardValue(x);
}
