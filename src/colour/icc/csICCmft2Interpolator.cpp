#include "csICCmft2Interpolator.h"

#include "cs1DInterpolate.h"
#include "csICCPCS.h"
#include "csICCSimplexBlock.h"
#include "csProcessor.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

std::uint16_t load(const std::uint8_t* at) {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Grid position of one 16-bit input in fixed point: base index and a 16-bit fraction (0 to
// 65536), with the top of the grid at base g - 2 and fraction 65535.
struct Position {
    std::uint32_t base, fraction;
};

Position position(std::uint32_t x, std::uint32_t g) {
    const std::uint32_t q = x * (g - 1);
    const std::uint32_t p = q + (q >> 16);
    const std::uint32_t base = p < ((g - 1) << 16) ? p >> 16 : g - 2;
    return {base, p - (base << 16)};
}

#if defined(__x86_64__) || defined(__i386__)

// Linear interpolation in a table of n 16-bit entries, as csICCmftInterpolator::interpolate does
// it, four samples at a time with AVX2 (the same operations, no fused multiply-adds): the samples
// of one channel of count pixels, `step` apart, on processors with AVX2. Returns how many pixels
// it did (a multiple of 4); the caller does the rest.
__attribute__((target("avx2"))) int tableFourAtATime(const std::uint16_t* table, std::uint32_t n,
                                                     double scale, double* samples, int count,
                                                     int step) {
    const __m256d top = _mm256_set1_pd(n - 1.0), last = _mm256_set1_pd(n - 2.0);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        double* s = samples + std::ptrdiff_t{i} * step;
        const __m256d p = _mm256_mul_pd(_mm256_setr_pd(s[0], s[step], s[2 * step], s[3 * step]),
                                        _mm256_set1_pd(scale));
        // cellBase: 0 below the table (and for not-a-number), n - 2 at its top.
        __m256d base = _mm256_round_pd(p, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        base = _mm256_blendv_pd(base, last, _mm256_cmp_pd(p, top, _CMP_GE_OQ));
        base = _mm256_and_pd(base, _mm256_cmp_pd(p, _mm256_setzero_pd(), _CMP_GE_OQ));
        const __m256d fraction = _mm256_sub_pd(p, base);
        // Entries base and base + 1 in one read of four bytes.
        const __m128i pair =
            _mm_i32gather_epi32(reinterpret_cast<const int*>(table), _mm256_cvttpd_epi32(base), 2);
        const __m256d low = _mm256_cvtepi32_pd(_mm_and_si128(pair, _mm_set1_epi32(0xFFFF)));
        const __m256d high = _mm256_cvtepi32_pd(_mm_srli_epi32(pair, 16));
        const __m256d value =
            _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(_mm256_set1_pd(1), fraction), low),
                          _mm256_mul_pd(fraction, high));
        alignas(32) double out[4];
        _mm256_store_pd(out, value);
        for (int k = 0; k < 4; ++k)
            s[k * step] = out[k];
    }
    return i;
}

#else

int tableFourAtATime(const std::uint16_t*, std::uint32_t, double, double*, int, int) { return 0; }

#endif

} // namespace

csICCmft2Interpolator::csICCmft2Interpolator(csICCmft2Tag* tag)
    : csICCmftInterpolator(tag), lut_(tag) {
    layout();
}

namespace {

// Whether n entries rise evenly from 0 to 65535 in whole steps, so that the table changes no value.
bool isIdentity(const std::uint16_t* table, std::uint32_t n) {
    if (65535 % (n - 1) != 0)
        return false;
    const std::uint32_t step = 65535 / (n - 1);
    for (std::uint32_t k = 0; k < n; ++k)
        if (table[k] != k * step)
            return false;
    return true;
}

} // namespace

void csICCmft2Interpolator::layout() {
    layoutFromTag();
    inputTables_.resize(std::size_t{inputEntries_} * inputs_);
    outputTables_.resize(std::size_t{outputEntries_} * outputs_);
    for (unsigned c = 0; c < inputs_; ++c)
        for (std::uint32_t k = 0; k < inputEntries_; ++k)
            inputTables_[c * inputEntries_ + k] = lut_->valueAt(inputTableOffsets_[c] + 2 * k);
    for (unsigned c = 0; c < outputs_; ++c)
        for (std::uint32_t k = 0; k < outputEntries_; ++k)
            outputTables_[c * outputEntries_ + k] = lut_->valueAt(outputTableOffsets_[c] + 2 * k);
    // Blocks of pixels read the grid's corners four bytes at a time, so the two bytes after the
    // grid must lie in the tag (its output tables follow).
    std::uint64_t points = 1;
    for (unsigned k = 0; k < inputs_; ++k)
        points *= grid_[k];
    clutInBlocks_ =
        inputs_ <= 4 && outputs_ <= 4 && clut_ + 2 * outputs_ * points + 2 <= lut_->size();
    // Identity tables, common in device-to-PCS luts, are left out of the conversions.
    identityInputs_ = identityOutputs_ = true;
    for (unsigned c = 0; c < inputs_; ++c)
        identityInputs_ =
            identityInputs_ && isIdentity(inputTables_.data() + c * inputEntries_, inputEntries_);
    for (unsigned c = 0; c < outputs_; ++c)
        identityOutputs_ = identityOutputs_ &&
                           isIdentity(outputTables_.data() + c * outputEntries_, outputEntries_);
}

const std::uint8_t* csICCmft2Interpolator::nativeData() {
    // A profile written since the last conversion has its luts back in file order.
    lut_->makeNativeOrder();
    return lut_->data();
}

void csICCmft2Interpolator::expandTables() {
    expandedIn_ = std::make_unique<std::uint16_t[]>(65536 * std::size_t{inputs_});
    expandedOut_ = std::make_unique<std::uint16_t[]>(65536 * std::size_t{outputs_});
    for (unsigned c = 0; c < inputs_; ++c)
        cs1DInterpolate::expand(inputTables_.data() + c * inputEntries_, inputEntries_,
                                expandedIn_.get() + 65536 * c);
    for (unsigned c = 0; c < outputs_; ++c)
        cs1DInterpolate::expand(outputTables_.data() + c * outputEntries_, outputEntries_,
                                expandedOut_.get() + 65536 * c);
}

void csICCmft2Interpolator::inputTables(std::uint16_t* samples, int count, int stride) {
    if (identityInputs_)
        return;
    lookUp(samples, count, stride == 0 ? static_cast<int>(inputs_) : stride, inputs_, true);
}

void csICCmft2Interpolator::inputTables(double* samples, int count, int stride) {
    if (identityInputs_)
        return;
    const int step = stride == 0 ? static_cast<int>(inputs_) : stride;
    // Four samples of a channel at a time where there are enough, the rest one by one.
    int done = 0;
    for (unsigned c = 0; c < inputs_ && count >= 4 && processorHasAVX2(); ++c)
        done = tableFourAtATime(inputTables_.data() + c * inputEntries_, inputEntries_, inputScale_,
                                samples + c, count, step);
    for (int i = done; i < count; ++i)
        for (unsigned c = 0; c < inputs_; ++c) {
            const std::uint16_t* table = inputTables_.data() + c * inputEntries_;
            double& sample = samples[std::ptrdiff_t{i} * step + c];
            sample = interpolate(inputEntries_, inputScale_, sample,
                                 [table](std::uint32_t k) { return double(table[k]); });
        }
}

void csICCmft2Interpolator::inputTables(std::uint16_t* const planes[], int count) {
    if (identityInputs_)
        return;
    lookUp(planes, count, inputs_, true);
}

void csICCmft2Interpolator::inputTables(double* const planes[], int count) {
    if (identityInputs_)
        return;
    for (unsigned c = 0; c < inputs_; ++c) {
        const std::uint16_t* table = inputTables_.data() + c * inputEntries_;
        for (int i = 0; i < count; ++i)
            planes[c][i] = interpolate(inputEntries_, inputScale_, planes[c][i],
                                       [table](std::uint32_t k) { return double(table[k]); });
    }
}

void csICCmft2Interpolator::outputTables(std::uint16_t* samples, int count, int stride) {
    if (identityOutputs_)
        return;
    lookUp(samples, count, stride == 0 ? static_cast<int>(outputs_) : stride, outputs_, false);
}

void csICCmft2Interpolator::outputTables(double* samples, int count, int stride) {
    if (identityOutputs_)
        return;
    const int step = stride == 0 ? static_cast<int>(outputs_) : stride;
    for (int i = 0; i < count; ++i, samples += step)
        for (unsigned c = 0; c < outputs_; ++c) {
            const std::uint16_t* table = outputTables_.data() + c * outputEntries_;
            samples[c] = interpolate(outputEntries_, outputScale_, samples[c],
                                     [table](std::uint32_t k) { return double(table[k]); });
        }
}

void csICCmft2Interpolator::outputTables(std::uint16_t* const planes[], int count) {
    if (identityOutputs_)
        return;
    lookUp(planes, count, outputs_, false);
}

void csICCmft2Interpolator::outputTables(double* const planes[], int count) {
    if (identityOutputs_)
        return;
    for (unsigned c = 0; c < outputs_; ++c) {
        const std::uint16_t* table = outputTables_.data() + c * outputEntries_;
        for (int i = 0; i < count; ++i)
            planes[c][i] = interpolate(outputEntries_, outputScale_, planes[c][i],
                                       [table](std::uint32_t k) { return double(table[k]); });
    }
}

void csICCmft2Interpolator::clutPixel(const double* in, double* out) {
    const std::uint8_t* data = nativeData();
    if (simplexCommonSize(
            in, inputs_, outputs_, grid_.data(), gridScale_.data(), strides_.data(), clut_, out,
            [data](std::uint32_t offset, unsigned c) { return load(data + offset + 2 * c); }))
        return;
    const unsigned outputs = outputs_;
    simplex(in, out, [data, outputs](std::uint32_t offset, double weight, double* sum) {
        for (unsigned c = 0; c < outputs; ++c)
            sum[c] += load(data + offset + 2 * c) * weight;
    });
}

void csICCmft2Interpolator::tetrahedral(const std::uint16_t* in, std::uint16_t* out,
                                        const std::uint8_t* data) const {
    Position p[3];
    std::uint32_t offset = clut_;
    for (unsigned k = 0; k < 3; ++k) {
        p[k] = position(in[k], grid_[k]);
        offset += p[k].base * strides_[k];
    }
    // The three dimensions by fraction, largest first; equal fractions keep dimension order.
    unsigned a = 0, b = 1, c = 2;
    if (p[b].fraction > p[a].fraction)
        std::swap(a, b);
    if (p[c].fraction > p[b].fraction) {
        std::swap(b, c);
        if (p[b].fraction > p[a].fraction)
            std::swap(a, b);
    }
    const std::uint32_t o1 = offset + strides_[a], o2 = o1 + strides_[b], o3 = o2 + strides_[c];
    const std::uint32_t w0 = 65536 - p[a].fraction, w1 = p[a].fraction - p[b].fraction,
                        w2 = p[b].fraction - p[c].fraction, w3 = p[c].fraction;
    for (unsigned k = 0; k < outputs_; ++k) {
        const std::uint32_t s =
            (load(data + offset + 2 * k) * w0 + load(data + o1 + 2 * k) * w1 + 128 +
             load(data + o2 + 2 * k) * w2 + load(data + o3 + 2 * k) * w3) >>
            8;
        out[k] = static_cast<std::uint16_t>((s + 128) >> 8);
    }
}

void csICCmft2Interpolator::fiveCorners(const std::uint16_t* in, std::uint16_t* out,
                                        const std::uint8_t* data) const {
    Position p[4];
    std::uint32_t offset = clut_;
    for (unsigned k = 0; k < 4; ++k) {
        p[k] = position(in[k], grid_[k]);
        offset += p[k].base * strides_[k];
    }
    unsigned order[4];
    orderLargestFirst<4>(order, [&](unsigned k) { return p[k].fraction; });
    std::uint32_t corners[5] = {offset};
    for (unsigned i = 0; i < 4; ++i)
        corners[i + 1] = corners[i] + strides_[order[i]];
    const std::uint32_t weights[5] = {
        65536 - p[order[0]].fraction, p[order[0]].fraction - p[order[1]].fraction,
        p[order[1]].fraction - p[order[2]].fraction, p[order[2]].fraction - p[order[3]].fraction,
        p[order[3]].fraction};
    for (unsigned k = 0; k < outputs_; ++k) {
        std::uint32_t s = 128;
        for (unsigned i = 0; i < 5; ++i)
            s += load(data + corners[i] + 2 * k) * weights[i];
        out[k] = static_cast<std::uint16_t>(((s >> 8) + 128) >> 8);
    }
}

void csICCmft2Interpolator::generalSimplex(const std::uint16_t* in, std::uint16_t* out,
                                           const std::uint8_t* data) const {
    Position p[maxChannels] = {};
    unsigned order[maxChannels] = {};
    std::uint32_t offset = clut_;
    for (unsigned k = 0; k < inputs_; ++k) {
        p[k] = position(in[k], grid_[k]);
        offset += p[k].base * strides_[k];
        order[k] = k;
    }
    for (unsigned i = 1; i < inputs_; ++i)
        for (unsigned j = i; j > 0 && p[order[j]].fraction > p[order[j - 1]].fraction; --j)
            std::swap(order[j], order[j - 1]);
    std::uint32_t sums[maxChannels];
    const std::uint32_t first = 65536 - p[order[0]].fraction;
    for (unsigned k = 0; k < outputs_; ++k)
        sums[k] = first == 0 ? 0 : (load(data + offset + 2 * k) * first + 128) >> 8;
    for (unsigned step = 0; step < inputs_; ++step) {
        offset += strides_[order[step]];
        const std::uint32_t weight =
            p[order[step]].fraction - (step + 1 < inputs_ ? p[order[step + 1]].fraction : 0);
        if (weight == 0)
            continue;
        for (unsigned k = 0; k < outputs_; ++k)
            sums[k] += (load(data + offset + 2 * k) * weight + 128) >> 8;
    }
    for (unsigned k = 0; k < outputs_; ++k)
        out[k] = static_cast<std::uint16_t>((sums[k] + 128) >> 8);
}

void csICCmft2Interpolator::clut(const std::uint16_t* in, std::uint16_t* out, int count,
                                 int inStride, int outStride) {
    const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputs_) : outStride;
    const std::uint8_t* data = nativeData();
    const bool toV4 = legacyLabGiven();
    const auto run = [&](auto pixel) {
        for (int i = 0; i < count; ++i, in += inStep, out += outStep) {
            pixel(in, out);
            for (unsigned c = 0; c < outputs_ && toV4; ++c)
                out[c] = csICCPCS::labV2toV4(out[c]);
        }
    };
    using Sample = std::uint16_t;
    if (inputs_ == 3)
        run([&](const Sample* i, Sample* o) { tetrahedral(i, o, data); });
    else if (inputs_ == 4)
        run([&](const Sample* i, Sample* o) { fiveCorners(i, o, data); });
    else
        run([&](const Sample* i, Sample* o) { generalSimplex(i, o, data); });
}

void csICCmft2Interpolator::clut(const double* in, double* out, int count, int inStride,
                                 int outStride) {
    const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputs_) : outStride;
    // Many pixels in blocks, four at a time where the processor has AVX2 and the grid has a
    // common size (the same sums as clutPixel).
    constexpr int block = 128;
    if (count >= 2 && clutInBlocks_) {
        const std::uint8_t* data = nativeData();
        double position[4][block], sum[4][block];
        double* positions[4] = {position[0], position[1], position[2], position[3]};
        double* sums[4] = {sum[0], sum[1], sum[2], sum[3]};
        for (int done = 0; done < count; done += block) {
            const int n = std::min(block, count - done);
            // Only positions in the grid's range go four at a time.
            bool inRange = true;
            for (unsigned k = 0; k < inputs_; ++k)
                for (int i = 0; i < n; ++i) {
                    const double p = in[std::ptrdiff_t{done + i} * inStep + k];
                    position[k][i] = p;
                    inRange = inRange && p >= 0 && p <= 65535;
                }
            // The last vector filled up with the last pixel.
            const int padded = (n + 3) / 4 * 4;
            for (unsigned k = 0; k < inputs_; ++k)
                std::fill(position[k] + n, position[k] + padded, position[k][n - 1]);
            const int four =
                inRange ? simplexBlock(inputs_, outputs_, positions, padded, grid_.data(),
                                       gridScale_.data(), strides_.data(), clut_, data, sums)
                        : 0;
            for (int i = 0; i < n; ++i) {
                double* o = out + std::ptrdiff_t{done + i} * outStep;
                if (i < four)
                    for (unsigned c = 0; c < outputs_; ++c)
                        o[c] = sum[c][i];
                else
                    clutPixel(in + std::ptrdiff_t{done + i} * inStep, o);
            }
        }
        return;
    }
    clutPixels(in, out, count, inStride, outStride,
               [this](const double* i, double* o) { clutPixel(i, o); });
}

void csICCmft2Interpolator::clut(std::uint16_t* const in[], std::uint16_t* const out[], int count) {
    clutPlanes(in, out, count, [this](const double* i, double* o) { clutPixel(i, o); });
}

void csICCmft2Interpolator::clut(double* const in[], double* const out[], int count) {
    clutPlanes(in, out, count, [this](const double* i, double* o) { clutPixel(i, o); });
}
