#pragma once

#include "csICCToneCurve.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// A curve that rounds (csICCToneCurve::rounds), forward on doubles over 0..65535, with the same
// results as the curve gives and mostly without evaluating it (and its power): the curve's values
// before rounding at 4097 even points; between two of them the straight line decides the rounded
// 16-bit step, unless the line comes within the stretch's margin of the middle between two steps.
// There, and on stretches where the line is not known to stay that near the curve, the curve
// itself is evaluated. A stretch's margin is half the largest second difference of the values
// around it (a line strays at most an eighth of the second difference from a smooth curve, and a
// quarter of it across a kink), and the curve's value in the middle of the stretch is checked to
// lie within half of it. Over the first stretches, which are always evaluated so, the curve's own
// values every quarter of a 16-bit step decide where the curve is monotone between two of them
// and both round to the same step. The curve is not owned and must outlive the table.
class csICCCurveTable {
public:
    static constexpr int stretches = 4096;
    // Stretches per 16-bit step.
    static constexpr double perStep = 1 / (65535.0 / stretches);

    explicit csICCCurveTable(const csICCToneCurve& curve);

    // forwardValue of the curve for x in 0..65535 (values outside are taken as the nearest end).
    double forwardValue(double x) const;
    // Whether the table alone decides forwardValue at x, in 0..65535: true with the step in *step
    // when the line stays clear of the middle between two steps by the stretch's margin (or lies
    // beyond either end of the range, where the curve rounds to that end), in a quarter step that
    // decides it, and at 0 and 65535. The margin's slack (leastMargin) covers the line's own
    // arithmetic many times over, so the curve has that step at every point within a few units in
    // the last place of x as well (at the ends, which normalising does not move, at x itself).
    // (Inline: a single pixel's curves come here one value at a time.)
    bool stepByLine(double x, double* step) const {
        if (!(x >= 0 && x <= 65535))
            return false;
        const double position = x * perStep;
        const int k = std::min(static_cast<int>(position), stretches - 1);
        const double margin = this->margin(k);
        // (An infinite margin, and every margin of a stretch with a value that is not a number,
        // fails this; the line's values below are then finite.)
        if (!(margin < 1))
            return byEnds(x, step);
        const double half = value(k) + (position - k) * (value(k + 1) - value(k)) + 0.5;
        // A line below the range (or above it) is within less than a step of the curve, which
        // rounds to the end there.
        if (half < 0 || half >= 65536) {
            *step = half < 0 ? 0 : 65535;
            return true;
        }
        const double whole = static_cast<double>(static_cast<std::int32_t>(half));
        *step = whole;
        return half - whole > margin && whole + 1 - half > margin;
    }
    // stepByLine of n values: out[i] the step for x[i], or not a number where the table does not
    // decide it (out may be x); four at a time on processors with AVX2.
    void stepsByLine(const double* x, double* out, int n) const;
    // The same for n values of each of count tables (at most 16), out[c][i] for x[c][i], their
    // lookups side by side.
    static void stepsByLine(const csICCCurveTable* const tables[], int count,
                            const double* const x[], double* const out[], int n);
    // forwardValue of n values, out[i] for x[i] (out may be x).
    void forwardValues(const double* x, double* out, int n) const;

private:
    // stepByLine where the line does not decide: the quarter steps near the start and the ends.
    bool byEnds(double x, double* step) const;

    const csICCToneCurve* curve_;
    // Per point k * 65535 / stretches, the curve's value before rounding, then the margin of the
    // stretch from there (infinite where the curve is always evaluated, and after the last point):
    // a stretch's two values and its margin lie side by side.
    std::vector<double> line_;
    double value(int k) const { return line_[2 * std::size_t(k)]; }
    double margin(int k) const { return line_[2 * std::size_t(k) + 1]; }
    // Per quarter step of the first stretches, the step where it decides it, else not a number.
    std::vector<double> nearStart_;
    double ends_[2]; // the steps at 0 and 65535, or not a number
};
