#include "csICCmABInterpolator.h"

#include "csICCSimplex.h"
#include "csICCSimplexBlock.h"
#include "csTypes.h"

#include <algorithm>
#include <type_traits>

namespace {

double clamp01(double v) { return !(v > 0) ? 0 : v > 1 ? 1 : v; }

// clamp01(v) * 65535, and clamp01(v / 65535), of n values in place, without branches so that the
// compiler vectorises them; the same results (not-a-number and -0 give 0).
void scaleClamped(double* v, int n) {
    for (int i = 0; i < n; ++i) {
        double x = v[i] > 0 ? v[i] : 0.0;
        x = x < 1 ? x : 1.0;
        v[i] = x * 65535;
    }
}
void clampScaled(double* v, int n) {
    for (int i = 0; i < n; ++i) {
        double x = v[i] / 65535;
        x = x > 0 ? x : 0.0;
        v[i] = x < 1 ? x : 1.0;
    }
}

std::vector<csICCToneCurve> curvesOf(const std::vector<std::unique_ptr<csICCTag>>& tags) {
    std::vector<csICCToneCurve> curves;
    for (const auto& tag : tags)
        curves.emplace_back(tag.get());
    return curves;
}

} // namespace

csICCmABInterpolator::csICCmABInterpolator(const csICCLutABTag* tag)
    : tag_(tag), a_(curvesOf(tag->curvesA())), m_(curvesOf(tag->curvesM())),
      b_(curvesOf(tag->curvesB())) {
    const auto changeNothing = [](const std::vector<csICCToneCurve>& set) {
        return std::all_of(set.begin(), set.end(),
                           [](const csICCToneCurve& c) { return c.changesNothing(); });
    };
    const unsigned pcsSide = tag->isAToB() ? tag->outputChannels() : tag->inputChannels();
    if (tag->hasMatrix() && pcsSide == 3 && changeNothing(m_) && changeNothing(b_)) {
        foldedMatrix_ = true;
        const std::array<double, 12>& e = tag->matrix();
        for (int r = 0; r < 3; ++r) {
            for (int j = 0; j < 3; ++j)
                folded_[r][j] = e[3 * r + j] / 65535;
            folded_[r][3] = e[9 + r];
        }
    }
    if (tag->hasCLUT()) {
        const unsigned inputs = tag->inputChannels(), outputs = tag->outputChannels();
        // Strides count values of the decoded grid, a point's outputs side by side.
        std::uint32_t stride = 1;
        for (unsigned k = inputs; k-- > 0;) {
            grid_[k] = tag->gridPoints(k);
            strides_[k] = stride * outputs;
            stride *= grid_[k];
            gridScale_[k] = (grid_[k] - 1) / 65535.0;
        }
        // The grid decoded once, on the 16-bit scale (8-bit values times 257), exact in float.
        clut_.resize(std::size_t{stride} * outputs);
        for (std::uint32_t point = 0; point < stride; ++point)
            for (unsigned c = 0; c < outputs; ++c)
                clut_[std::size_t{point} * outputs + c] =
                    toSingle(tag->clutValue(point, c) * 65535.0);
    }
}

void csICCmABInterpolator::tabulate() const {
    if (tabulated_)
        return;
    const auto tablesOf = [](const std::vector<csICCToneCurve>& set,
                             std::vector<std::unique_ptr<csICCCurveTable>>& tables) {
        for (const csICCToneCurve& curve : set)
            tables.push_back(curve.rounds() ? std::make_unique<csICCCurveTable>(curve) : nullptr);
    };
    tablesOf(a_, aTables_);
    tablesOf(m_, mTables_);
    tablesOf(b_, bTables_);
    tabulated_ = true;
}

double csICCmABInterpolator::curve(const std::vector<csICCToneCurve>& set,
                                   const std::vector<std::unique_ptr<csICCCurveTable>>& tables,
                                   std::size_t c, double value) {
    const double x = clamp01(value) * 65535;
    return clamp01((tables[c] ? tables[c]->forwardValue(x) : set[c].forwardValue(x)) / 65535);
}

void csICCmABInterpolator::curves(const std::vector<csICCToneCurve>& set,
                                  const std::vector<std::unique_ptr<csICCCurveTable>>& tables,
                                  double* values) const {
    for (std::size_t c = 0; c < set.size(); ++c)
        values[c] = curve(set, tables, c, values[c]);
}

void csICCmABInterpolator::matrix(double* values) const {
    if (!tag_->hasMatrix())
        return;
    const std::array<double, 12>& e = tag_->matrix();
    const double x[3] = {values[0], values[1], values[2]};
    for (int r = 0; r < 3; ++r)
        values[r] = clamp01(e[3 * r] * x[0] + e[3 * r + 1] * x[1] + e[3 * r + 2] * x[2] + e[9 + r]);
}

void csICCmABInterpolator::curves(const std::vector<csICCToneCurve>& set,
                                  const std::vector<std::unique_ptr<csICCCurveTable>>& tables,
                                  double* const planes[], int n) {
    for (std::size_t c = 0; c < set.size(); ++c) {
        double* v = planes[c];
        if (!tables[c]) {
            for (int i = 0; i < n; ++i)
                v[i] = curve(set, tables, c, v[i]);
            continue;
        }
        // The table's values many at a time, between the steps of curve() around them.
        scaleClamped(v, n);
        tables[c]->forwardValues(v, v, n);
        clampScaled(v, n);
    }
}

void csICCmABInterpolator::matrix(double* const planes[], int n) const {
    if (!tag_->hasMatrix())
        return;
    for (int i = 0; i < n; ++i) {
        double values[3] = {planes[0][i], planes[1][i], planes[2][i]};
        matrix(values);
        for (int r = 0; r < 3; ++r)
            planes[r][i] = values[r];
    }
}

void csICCmABInterpolator::clut(double* values) const {
    if (!tag_->hasCLUT())
        return;
    double position[16], out[16];
    const unsigned inputs = tag_->inputChannels(), outputs = tag_->outputChannels();
    for (unsigned k = 0; k < inputs; ++k)
        position[k] = clamp01(values[k]) * 65535;
    const float* grid = clut_.data();
    if (!simplexCommonSize(position, inputs, outputs, grid_.data(), gridScale_.data(),
                           strides_.data(), 0, out,
                           [grid](std::uint32_t at, unsigned c) { return double(grid[at + c]); }))
        simplexInterpolate(position, inputs, outputs, grid_.data(), gridScale_.data(),
                           strides_.data(), 0, out,
                           [grid, outputs](std::uint32_t at, double weight, double* sum) {
                               for (unsigned c = 0; c < outputs; ++c)
                                   sum[c] += weight * grid[at + c];
                           });
    for (unsigned c = 0; c < outputs; ++c)
        values[c] = clamp01(out[c] / 65535);
}

void csICCmABInterpolator::pixel(const double* in, double* out) const {
    double values[16];
    const unsigned inputs = tag_->inputChannels();
    for (unsigned k = 0; k < inputs; ++k)
        values[k] = clamp01(in[k]);
    if (tag_->isAToB())
        curves(a_, aTables_, values);
    else
        curves(b_, bTables_, values);
    afterFirstCurves(values, out);
}

void csICCmABInterpolator::afterFirstCurves(double* values, double* out) const {
    if (tag_->isAToB()) {
        clut(values);
        curves(m_, mTables_, values);
        matrix(values);
        curves(b_, bTables_, values);
    } else {
        matrix(values);
        curves(m_, mTables_, values);
        clut(values);
        curves(a_, aTables_, values);
    }
    std::copy(values, values + tag_->outputChannels(), out);
}

void csICCmABInterpolator::pixel16(const std::uint16_t* in, double* out) const {
    // The first curves of 16-bit samples from their steps per sample value where there are any,
    // otherwise as pixel() goes.
    const std::vector<csICCToneCurve>& first = tag_->isAToB() ? a_ : b_;
    const auto& tables = tag_->isAToB() ? aTables_ : bTables_;
    double values[16];
    for (unsigned k = 0; k < inputChannels(); ++k) {
        const double v = clamp01(in[k] / 65535.0);
        if (k >= first.size())
            values[k] = v;
        else if (!firstSteps_[k].empty())
            values[k] = firstSteps_[k][in[k]] / 65535.0;
        else
            values[k] = curve(first, tables, k, v);
    }
    afterFirstCurves(values, out);
}

void csICCmABInterpolator::stepFirstCurves() const {
    if (firstStepped_)
        return;
    const std::vector<csICCToneCurve>& first = tag_->isAToB() ? a_ : b_;
    const auto& tables = tag_->isAToB() ? aTables_ : bTables_;
    firstSteps_.resize(first.size());
    for (std::size_t c = 0; c < first.size(); ++c) {
        // Kept only when every result is a whole step, which 16 bits hold. For a whole step s,
        // s / 65535 * 65535 is s again in double arithmetic (all 65536 of them), so the steps
        // stand for the normalised results both ways. Curves that round go through their
        // tables (the same steps), which evaluate the curve few times.
        std::vector<std::uint16_t> steps(65536);
        bool whole = true;
        for (std::uint32_t v = 0; v < 65536 && whole; ++v) {
            const double step = curve(first, tables, c, v / 65535.0) * 65535;
            whole = step == static_cast<double>(static_cast<std::uint16_t>(step));
            steps[v] = static_cast<std::uint16_t>(step);
        }
        if (whole)
            firstSteps_[c] = std::move(steps);
    }
    firstStepped_ = true;
}

template <unsigned Inputs, unsigned Outputs, typename Sample>
void csICCmABInterpolator::plainPixels(const Sample* in, Sample* out, int count, int inStep,
                                       int outStep) const {
    constexpr bool sixteenBit = std::is_same_v<Sample, std::uint16_t>;
    constexpr int block = 128;
    const bool aToB = tag_->isAToB();
    const std::vector<csICCToneCurve>& first = aToB ? a_ : b_;
    const std::vector<csICCToneCurve>& last = aToB ? b_ : a_;
    const auto& firstTables = aToB ? aTables_ : bTables_;
    const auto& lastTables = aToB ? bTables_ : aTables_;
    const std::uint16_t* steps[Inputs] = {};
    for (unsigned k = 0; k < Inputs; ++k)
        if (sixteenBit && k < firstSteps_.size() && !firstSteps_[k].empty())
            steps[k] = firstSteps_[k].data();
    const float* grid = clut_.data();
    const auto load = [grid](std::uint32_t at, unsigned c) { return double(grid[at + c]); };
    // Where a table's line decides the step from the sample itself, without normalising it
    // first (which moves it by a unit in the last place at most), the step is the result: a whole
    // step s comes back from normalising and scaling again (s / 65535 * 65535 is s for all 65536).
    const auto byLine = [](const std::unique_ptr<csICCCurveTable>& table, double x, double* step) {
        return table && table->stepByLine(x < 0 ? 0 : x > 65535 ? 65535 : x, step);
    };
    const auto firstCurve = [&](unsigned k, Sample sample) {
        if (steps[k] != nullptr)
            return double(steps[k][static_cast<std::size_t>(sample)]);
        double step;
        if (k < first.size() && byLine(firstTables[k], sample, &step))
            return step;
        double v = clamp01(sample / 65535.0);
        if (k < first.size())
            v = curve(first, firstTables, k, v);
        return clamp01(v) * 65535;
    };
    // A result normalised 0..1 as a sample (16-bit samples rounded).
    const auto sample = [](double v) {
        if constexpr (sixteenBit)
            return static_cast<std::uint16_t>(v * 65535.0 + 0.5);
        else
            return v * 65535.0;
    };
    const auto lastCurve = [&](unsigned c, double sum) {
        double step;
        if (c < last.size() && byLine(lastTables[c], sum, &step))
            return static_cast<Sample>(step);
        double v = clamp01(sum / 65535);
        if (c < last.size())
            v = curve(last, lastTables, c, v);
        return sample(v);
    };
    const auto interpolate = [&](const double* position, double* sum) {
        simplexFixedSize<Inputs, Outputs>(position, grid_.data(), gridScale_.data(),
                                          strides_.data(), 0, sum, load);
    };
    // The M curves and the matrix, where there are any, as pixel() and pixel16() apply them:
    // in "mBA " between the first curves and the CLUT, in "mAB " between the CLUT and the last
    // curves (where the shortcuts of firstCurve and lastCurve do not apply).
    const bool middle = tag_->hasMatrix() || !m_.empty();
    const bool middleFirst = middle && !aToB, middleLast = middle && aToB;
    // With the matrix folded, on the samples (within 0..65535) or on the CLUT's sums.
    const auto foldedMatrix = [this](const double* x, double* v) {
        for (int r = 0; r < 3; ++r)
            v[r] = clamp01(folded_[r][0] * x[0] + folded_[r][1] * x[1] + folded_[r][2] * x[2] +
                           folded_[r][3]);
    };
    const auto firstThroughMiddle = [&](const Sample* pixel, double* position) {
        double v[16];
        if (foldedMatrix_) {
            double x[3];
            for (unsigned k = 0; k < 3; ++k)
                x[k] = clamp01(pixel[k] / 65535.0) * 65535;
            foldedMatrix(x, v);
            for (unsigned k = 0; k < 3; ++k)
                position[k] = v[k] * 65535;
            return;
        }
        for (unsigned k = 0; k < Inputs; ++k) {
            if (steps[k] != nullptr) {
                v[k] = steps[k][static_cast<std::size_t>(pixel[k])] / 65535.0;
                continue;
            }
            v[k] = clamp01(pixel[k] / 65535.0);
            if (k < first.size())
                v[k] = curve(first, firstTables, k, v[k]);
        }
        matrix(v);
        curves(m_, mTables_, v);
        for (unsigned k = 0; k < Inputs; ++k)
            position[k] = clamp01(v[k]) * 65535;
    };
    const auto middleThroughLast = [&](const double* sum, Sample* pixel) {
        double v[16];
        if (foldedMatrix_) {
            foldedMatrix(sum, v);
            for (unsigned c = 0; c < 3; ++c)
                pixel[c] = sample(v[c]);
            return;
        }
        for (unsigned c = 0; c < Outputs; ++c)
            v[c] = clamp01(sum[c] / 65535);
        curves(m_, mTables_, v);
        matrix(v);
        curves(last, lastTables, v);
        for (unsigned c = 0; c < Outputs; ++c)
            pixel[c] = sample(v[c]);
    };
    // Curves with tables on n values each, planes on the 16-bit scale, in place, as curve() takes
    // them normalised: where a table decides, its step straight from the value (which normalising
    // moves by a unit in the last place at most; a whole step comes back from normalising and
    // scaling again); elsewhere normalised, through the curve, and clamped as curve() does.
    const auto throughTables = [](const csICCCurveTable* const tables[], double* const planes[],
                                  int count, int n) {
        double decided[4][block];
        double* results[4];
        for (int c = 0; c < count; ++c) {
            for (int i = 0; i < n; ++i) {
                const double x = planes[c][i] > 0 ? planes[c][i] : 0.0; // not a number too
                planes[c][i] = x < 65535 ? x : 65535.0;
            }
            results[c] = decided[c];
        }
        csICCCurveTable::stepsByLine(tables, count, planes, results, n);
        for (int c = 0; c < count; ++c)
            for (int i = 0; i < n; ++i) {
                const double step = decided[c][i];
                planes[c][i] =
                    step == step
                        ? step
                        : clamp01(tables[c]->forwardValue(clamp01(planes[c][i] / 65535) * 65535) /
                                  65535) *
                              65535;
            }
    };
    // One pixel by itself; more in blocks, a step at a time over the block, so that the table
    // lookups of neighbouring pixels overlap instead of waiting on each other (and the curves with
    // tables and the CLUT go four at a time on processors with AVX2).
    if (count < 2) {
        for (int i = 0; i < count; ++i, in += inStep, out += outStep) {
            double position[Inputs], sum[Outputs];
            if (middleFirst)
                firstThroughMiddle(in, position);
            else
                for (unsigned k = 0; k < Inputs; ++k)
                    position[k] = firstCurve(k, in[k]);
            interpolate(position, sum);
            if (middleLast)
                middleThroughLast(sum, out);
            else
                for (unsigned c = 0; c < Outputs; ++c)
                    out[c] = lastCurve(c, sum[c]);
        }
        return;
    }
    // Positions and sums in planes, as simplexBlock takes them.
    double position[Inputs][block], sum[Outputs][block];
    double* positions[Inputs];
    double* sums[Outputs];
    for (unsigned k = 0; k < Inputs; ++k)
        positions[k] = position[k];
    for (unsigned c = 0; c < Outputs; ++c)
        sums[c] = sum[c];
    for (int done = 0; done < count; done += block) {
        const int n = std::min(block, count - done);
        if (middleFirst && foldedMatrix_) {
            for (int i = 0; i < n; ++i) {
                double p[Inputs];
                firstThroughMiddle(in + std::ptrdiff_t{i} * inStep, p);
                for (unsigned k = 0; k < Inputs; ++k)
                    position[k][i] = p[k];
            }
        } else if (middleFirst) {
            // The first curves' results normalised, as pixel() and pixel16() have them (those of
            // tables as whole steps first, which normalise exactly); then the matrix and the M
            // curves, and the CLUT positions.
            const csICCCurveTable* tables[Inputs];
            double* tabled[Inputs];
            int count = 0;
            for (unsigned k = 0; k < Inputs; ++k) {
                double* p = position[k];
                if (steps[k] != nullptr) {
                    for (int i = 0; i < n; ++i)
                        p[i] =
                            steps[k][static_cast<std::size_t>(in[std::ptrdiff_t{i} * inStep + k])] /
                            65535.0;
                    continue;
                }
                for (int i = 0; i < n; ++i)
                    p[i] = in[std::ptrdiff_t{i} * inStep + k];
                if (k < first.size() && firstTables[k]) {
                    tables[count] = firstTables[k].get();
                    tabled[count++] = p;
                    continue;
                }
                clampScaled(p, n);
                if (k < first.size())
                    for (int i = 0; i < n; ++i)
                        p[i] = curve(first, firstTables, k, p[i]);
            }
            throughTables(tables, tabled, count, n);
            for (int c = 0; c < count; ++c)
                clampScaled(tabled[c], n);
            matrix(positions, n);
            curves(m_, mTables_, positions, n);
            for (unsigned k = 0; k < Inputs; ++k)
                scaleClamped(position[k], n);
        }
        if (!middleFirst) {
            // The channels with tables all at once.
            const csICCCurveTable* tables[Inputs];
            double* tabled[Inputs];
            int count = 0;
            for (unsigned k = 0; k < Inputs; ++k) {
                double* p = position[k];
                if (steps[k] == nullptr && k < first.size() && firstTables[k]) {
                    for (int i = 0; i < n; ++i)
                        p[i] = in[std::ptrdiff_t{i} * inStep + k];
                    tables[count] = firstTables[k].get();
                    tabled[count++] = p;
                    continue;
                }
                for (int i = 0; i < n; ++i)
                    p[i] = firstCurve(k, in[std::ptrdiff_t{i} * inStep + k]);
            }
            throughTables(tables, tabled, count, n);
        }
        // The last vector filled up with the last pixel, so that none is left over.
        const int padded = (n + 3) / 4 * 4;
        for (unsigned k = 0; k < Inputs; ++k)
            std::fill(position[k] + n, position[k] + padded, position[k][n - 1]);
        for (int i = simplexBlock(Inputs, Outputs, positions, padded, grid_.data(),
                                  gridScale_.data(), strides_.data(), grid, sums);
             i < n; ++i) {
            double p[Inputs], s[Outputs];
            for (unsigned k = 0; k < Inputs; ++k)
                p[k] = position[k][i];
            interpolate(p, s);
            for (unsigned c = 0; c < Outputs; ++c)
                sum[c][i] = s[c];
        }
        if (middleLast && foldedMatrix_) {
            for (int i = 0; i < n; ++i) {
                double s[Outputs];
                for (unsigned c = 0; c < Outputs; ++c)
                    s[c] = sum[c][i];
                middleThroughLast(s, out + std::ptrdiff_t{i} * outStep);
            }
        } else if (middleLast) {
            // The CLUT's results normalised, as clut() leaves them; the M curves, the matrix and
            // the last curves.
            for (unsigned c = 0; c < Outputs; ++c)
                clampScaled(sum[c], n);
            curves(m_, mTables_, sums, n);
            matrix(sums, n);
            curves(last, lastTables, sums, n);
            for (unsigned c = 0; c < Outputs; ++c)
                for (int i = 0; i < n; ++i)
                    out[std::ptrdiff_t{i} * outStep + c] = sample(sum[c][i]);
        }
        if (!middleLast) {
            const csICCCurveTable* tables[Outputs];
            double* tabled[Outputs];
            int count = 0;
            for (unsigned c = 0; c < Outputs; ++c)
                if (c < last.size() && lastTables[c]) {
                    tables[count] = lastTables[c].get();
                    tabled[count++] = sum[c];
                }
            throughTables(tables, tabled, count, n);
            for (unsigned c = 0; c < Outputs; ++c) {
                const double* v = sum[c];
                if (c < last.size() && lastTables[c]) {
                    for (int i = 0; i < n; ++i) {
                        if constexpr (sixteenBit)
                            out[std::ptrdiff_t{i} * outStep + c] = static_cast<Sample>(v[i] + 0.5);
                        else
                            out[std::ptrdiff_t{i} * outStep + c] = v[i];
                    }
                    continue;
                }
                for (int i = 0; i < n; ++i)
                    out[std::ptrdiff_t{i} * outStep + c] = lastCurve(c, v[i]);
            }
        }
        in += std::ptrdiff_t{n} * inStep;
        out += std::ptrdiff_t{n} * outStep;
    }
}

template <typename Sample>
bool csICCmABInterpolator::convertPlain(const Sample* in, Sample* out, int count, int inStep,
                                        int outStep) const {
    if (!tag_->hasCLUT())
        return false;
    // The common sizes of withCommonSize, spelt out: through it, one pixel at a time measured
    // 10 % slower (the compiler then keeps plainPixels out of line).
    const unsigned inputs = inputChannels(), outputs = outputChannels();
    if (inputs == 4 && outputs == 3)
        plainPixels<4, 3>(in, out, count, inStep, outStep);
    else if (inputs == 3 && outputs == 3)
        plainPixels<3, 3>(in, out, count, inStep, outStep);
    else if (inputs == 3 && outputs == 4)
        plainPixels<3, 4>(in, out, count, inStep, outStep);
    else
        return false;
    return true;
}

template <typename Sample>
void csICCmABInterpolator::convertSamples(const Sample* in, Sample* out, int count, int inStride,
                                          int outStride) const {
    const int inStep = inStride == 0 ? static_cast<int>(inputChannels()) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputChannels()) : outStride;
    tabulate();
    if constexpr (std::is_same_v<Sample, std::uint16_t>)
        stepFirstCurves();
    if (convertPlain(in, out, count, inStep, outStep))
        return;
    double normalised[16], result[16];
    for (int i = 0; i < count; ++i) {
        if constexpr (std::is_same_v<Sample, std::uint16_t>) {
            pixel16(in + i * inStep, result);
        } else {
            for (unsigned k = 0; k < inputChannels(); ++k)
                normalised[k] = in[i * inStep + k] / 65535.0;
            pixel(normalised, result);
        }
        for (unsigned c = 0; c < outputChannels(); ++c) {
            if constexpr (std::is_same_v<Sample, std::uint16_t>)
                out[i * outStep + c] = static_cast<std::uint16_t>(result[c] * 65535.0 + 0.5);
            else
                out[i * outStep + c] = result[c] * 65535.0;
        }
    }
}

void csICCmABInterpolator::convert(const double* in, double* out, int count, int inStride,
                                   int outStride) const {
    convertSamples(in, out, count, inStride, outStride);
}

void csICCmABInterpolator::convert(const std::uint16_t* in, std::uint16_t* out, int count,
                                   int inStride, int outStride) const {
    convertSamples(in, out, count, inStride, outStride);
}
