#include "csICCCurveTable.h"

#include "csProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TINTORA_CURVE_VECTORS 1
#endif

namespace {

constexpr double step = 65535.0 / csICCCurveTable::stretches;
// Near 0 a power's curvature grows without bound, faster than the table's differences show: the
// first stretches (to 0.1 % of the range) are always evaluated.
constexpr int evaluatedStart = 4;
// The smallest margin, in 16-bit steps, for what the arithmetic of the line itself may add.
constexpr double leastMargin = 1e-6;
// The first stretches (to 4 * step, just below 64) in quarter steps, exact in binary as their
// ends are.
constexpr double quarter = 0.25;
constexpr int quarters = 256;
constexpr double nearEnd = quarters * quarter;

// The step a value before rounding goes to, as the curve rounds it; not a number within
// leastMargin of the middle between two steps (which a unit in the last place of a power could
// cross). Below the first middle, negative values included, it is 0; above the last, 65535.
double clearStep(double v) {
    const double half = v + 0.5;
    if (!(half == half))
        return half;
    if (half < 1 - leastMargin)
        return 0;
    if (half >= 65535 + leastMargin)
        return 65535;
    const double whole = std::floor(half);
    return half - whole > leastMargin && whole + 1 - half > leastMargin
               ? whole
               : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

csICCCurveTable::csICCCurveTable(const csICCToneCurve& curve)
    : curve_(&curve), line_(2 * (stretches + 1)), nearStart_(quarters) {
    constexpr double always = std::numeric_limits<double>::infinity();
    for (int k = 0; k <= stretches; ++k) {
        line_[2 * k] = curve.beforeRounding(k * step);
        line_[2 * k + 1] = always;
    }
    const auto secondDifference = [this](int k) {
        return k < 1 || k >= stretches ? 0.0 : std::abs(value(k - 1) - 2 * value(k) + value(k + 1));
    };
    for (int k = 0; k < stretches; ++k) {
        double margin = std::max({secondDifference(k - 1), secondDifference(k),
                                  secondDifference(k + 1), secondDifference(k + 2)}) /
                            2 +
                        leastMargin;
        const double middle = curve.beforeRounding((k + 0.5) * step);
        const double line = (value(k) + value(k + 1)) / 2;
        // Not a number anywhere near fails this comparison too.
        if (k < evaluatedStart || !(std::abs(middle - line) <= margin / 2))
            margin = always;
        line_[2 * k + 1] = margin;
    }
    // The table holds the curve's own values at the ends (k * step is 0 and 65535 exactly): their
    // rounding is the curve's, with no margin.
    for (int end : {0, 1}) {
        const double half = value(end * stretches) + 0.5;
        ends_[end] = !(half == half) ? half
                     : half < 0      ? 0
                     : half >= 65536 ? 65535
                                     : static_cast<double>(static_cast<std::int32_t>(half));
    }
    // A monotone curve lies between its values at the ends, so where both round to one step
    // (clear of the middles by more than a power's error), every value between rounds to it.
    double end = clearStep(curve.beforeRounding(0));
    for (int j = 0; j < quarters; ++j) {
        const double start = end;
        end = clearStep(curve.beforeRounding((j + 1) * quarter));
        nearStart_[j] = start == end && curve.monotoneOn(j * quarter, (j + 1) * quarter)
                            ? start
                            : std::numeric_limits<double>::quiet_NaN();
    }
}

bool csICCCurveTable::byEnds(double x, double* step) const {
    if (x < nearEnd) {
        const double near = nearStart_[static_cast<int>(x * (1 / quarter))];
        if (near == near) {
            *step = near;
            return true;
        }
    }
    if (x == 0 || x == 65535) {
        *step = ends_[x == 0 ? 0 : 1];
        return *step == *step;
    }
    return false;
}

double csICCCurveTable::forwardValue(double x) const {
    if (!(x >= 0)) {
        if (!(x < 0))
            return curve_->forwardValue(x); // not a number
        x = 0;
    } else if (x > 65535) {
        x = 65535;
    }
    double whole;
    return stepByLine(x, &whole) ? whole : curve_->forwardValue(x);
}

#ifdef TINTORA_CURVE_VECTORS

namespace {

// A table's arrays, as the four-at-a-time pass reads them.
struct Lookup {
    const double *line, *nearStart;
    double atZero;
};

// The table's decision of forwardValue for four values, with the arithmetic of stepByLine: the
// whole step where the line, a quarter step near the start or the end at 0 decides, otherwise not
// a number (which no curve value is here).
__attribute__((target("avx2"), always_inline)) inline __m256d decideFour(const Lookup& t,
                                                                         __m256d v) {
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1), notANumber = _mm256_set1_pd(std::nan(""));
    const __m256d inRange = _mm256_and_pd(_mm256_cmp_pd(v, zero, _CMP_GE_OQ),
                                          _mm256_cmp_pd(v, _mm256_set1_pd(65535), _CMP_LE_OQ));
    const __m256d position = _mm256_mul_pd(v, _mm256_set1_pd(csICCCurveTable::perStep));
    // Indexes of values out of range (or not numbers) are kept in the table; their lanes are not
    // decided here.
    const __m128i k =
        _mm_min_epi32(_mm_max_epi32(_mm256_cvttpd_epi32(position), _mm_setzero_si128()),
                      _mm_set1_epi32(csICCCurveTable::stretches - 1));
    // Each lane's stretch in one load, its start, margin, end (and the next margin); then the
    // lanes' starts, ends and margins side by side.
    const __m256d s0 = _mm256_loadu_pd(t.line + 2 * _mm_extract_epi32(k, 0));
    const __m256d s1 = _mm256_loadu_pd(t.line + 2 * _mm_extract_epi32(k, 1));
    const __m256d s2 = _mm256_loadu_pd(t.line + 2 * _mm_extract_epi32(k, 2));
    const __m256d s3 = _mm256_loadu_pd(t.line + 2 * _mm_extract_epi32(k, 3));
    const __m256d values01 = _mm256_unpacklo_pd(s0, s1), values23 = _mm256_unpacklo_pd(s2, s3);
    const __m256d margins01 = _mm256_unpackhi_pd(s0, s1), margins23 = _mm256_unpackhi_pd(s2, s3);
    const __m256d start = _mm256_permute2f128_pd(values01, values23, 0x20);
    const __m256d end = _mm256_permute2f128_pd(values01, values23, 0x31);
    const __m256d margin = _mm256_permute2f128_pd(margins01, margins23, 0x20);
    const __m256d half = _mm256_add_pd(
        _mm256_add_pd(start, _mm256_mul_pd(_mm256_sub_pd(position, _mm256_cvtepi32_pd(k)),
                                           _mm256_sub_pd(end, start))),
        _mm256_set1_pd(0.5));
    const __m256d inSteps = _mm256_and_pd(_mm256_cmp_pd(half, zero, _CMP_GE_OQ),
                                          _mm256_cmp_pd(half, _mm256_set1_pd(65536), _CMP_LT_OQ));
    const __m256d whole = _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(half));
    const __m256d clear = _mm256_and_pd(
        _mm256_cmp_pd(_mm256_sub_pd(half, whole), margin, _CMP_GT_OQ),
        _mm256_cmp_pd(_mm256_sub_pd(_mm256_add_pd(whole, one), half), margin, _CMP_GT_OQ));
    // (An infinite margin fails clear, and so does every margin of a value that is not a number.)
    const __m256d decided = _mm256_and_pd(inRange, _mm256_and_pd(inSteps, clear));
    // Near the start, where the line never decides, the quarter steps (their index kept in the
    // table, a lane out of it not gathered); and 0, where clamped values land often.
    const __m256d near =
        _mm256_and_pd(inRange, _mm256_cmp_pd(v, _mm256_set1_pd(nearEnd), _CMP_LT_OQ));
    __m256d result = _mm256_blendv_pd(notANumber, whole, decided);
    if (_mm256_movemask_pd(near) != 0) {
        const __m128i j = _mm_min_epi32(
            _mm256_cvttpd_epi32(_mm256_and_pd(near, _mm256_mul_pd(v, _mm256_set1_pd(1 / quarter)))),
            _mm_set1_epi32(quarters - 1));
        // (A masked gather: the plain one trips a warning in the compiler's own header.)
        const __m256d atQuarter = _mm256_mask_i32gather_pd(notANumber, t.nearStart, j, near, 8);
        result =
            _mm256_blendv_pd(result, atQuarter,
                             _mm256_and_pd(near, _mm256_cmp_pd(atQuarter, atQuarter, _CMP_EQ_OQ)));
    }
    return _mm256_blendv_pd(result, _mm256_set1_pd(t.atZero), _mm256_cmp_pd(v, zero, _CMP_EQ_OQ));
}

// The decisions for n values of each of count tables, four at a time, a vector of each table in
// turn so that their lookups overlap. Returns how many values of each it went through, a multiple
// of 4.
__attribute__((target("avx2"))) int byLine(const Lookup* tables, int count, const double* const x[],
                                           double* const out[], int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4)
        for (int c = 0; c < count; ++c)
            _mm256_storeu_pd(out[c] + i, decideFour(tables[c], _mm256_loadu_pd(x[c] + i)));
    return i;
}

} // namespace

#endif

void csICCCurveTable::stepsByLine(const double* x, double* out, int n) const {
    const csICCCurveTable* self = this;
    stepsByLine(&self, 1, &x, &out, n);
}

void csICCCurveTable::stepsByLine(const csICCCurveTable* const tables[], int count,
                                  const double* const x[], double* const out[], int n) {
    int i = 0;
#ifdef TINTORA_CURVE_VECTORS
    if (processorHasAVX2()) {
        Lookup lookups[16];
        for (int c = 0; c < count; ++c)
            lookups[c] = {tables[c]->line_.data(), tables[c]->nearStart_.data(),
                          tables[c]->ends_[0]};
        i = byLine(lookups, count, x, out, n);
    }
#endif
    for (int c = 0; c < count; ++c)
        for (int r = i; r < n; ++r) {
            double step;
            out[c][r] = tables[c]->stepByLine(x[c][r], &step)
                            ? step
                            : std::numeric_limits<double>::quiet_NaN();
        }
}

void csICCCurveTable::forwardValues(const double* x, double* out, int n) const {
    // In place the line's results would overwrite what the rest needs.
    double decided[256];
    for (int i = 0; i < n; i += 256) {
        const int m = std::min(n - i, 256);
        stepsByLine(x + i, decided, m);
        for (int j = 0; j < m; ++j)
            out[i + j] = decided[j] == decided[j] ? decided[j] : forwardValue(x[i + j]);
    }
}
