#include "csICCcurvTag.h"

#include "cs1DInterpolate.h"
#include "csICCNumbers.h"
#include "csLog.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t tableSize = 65536;

} // namespace

csICCcurvTag::csICCcurvTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {
    setUp();
}

csICCcurvTag::csICCcurvTag(Signature signature, double gammaValue) {
    setSignature(signature);
    std::uint8_t block[14] = {};
    Signature("curv").write(block);
    writeU32(block + 8, 1);
    writeU8Fixed8(block + 12, gammaValue);
    setData(14, block);
    setUp();
}

csICCcurvTag::csICCcurvTag(const csICCcurvTag& other) : csICCTag(other) { setUp(); }

csICCcurvTag& csICCcurvTag::operator=(const csICCcurvTag& other) {
    csICCTag::operator=(other);
    setUp();
    return *this;
}

bool csICCcurvTag::validate(const std::uint8_t* data, std::uint32_t size) {
    if (size < 12) {
        logError("corrupt tag data", "curv tag of %u bytes is too short", size);
        return false;
    }
    const std::uint32_t n = readU32(data + 8);
    if (n >= tableSize || 12 + 2 * std::uint64_t{n} > size) {
        logError("corrupt tag data", "curv tag with %u entries does not fit in %u bytes", n, size);
        return false;
    }
    return true;
}

std::uint32_t csICCcurvTag::numEntries() const { return readU32(data() + 8); }

void csICCcurvTag::setIdentity() {
    for (std::uint32_t i = 0; i < tableSize; ++i)
        forward_[i] = inverse_[i] = static_cast<std::uint16_t>(i);
    gamma_ = 1.0;
    identity_ = gammaCurve_ = true;
}

void csICCcurvTag::setUp() {
    forward_ = std::make_unique<std::uint16_t[]>(tableSize);
    inverse_ = std::make_unique<std::uint16_t[]>(tableSize);
    const std::uint32_t n = numEntries();
    if (n == 0) {
        setIdentity();
        return;
    }
    if (n == 1) {
        const double g = readU16(data() + 12) / 256.0;
        if (g == 0.0) {
            logWarning("bad gamma", "gamma value in TRC is 0. continuing with 1.");
            setIdentity();
            return;
        }
        if (g == 1.0) {
            setIdentity();
            return;
        }
        gamma_ = g;
        identity_ = false;
        gammaCurve_ = true;
        for (std::uint32_t i = 0; i < tableSize; ++i) {
            forward_[i] =
                static_cast<std::uint16_t>(std::floor(std::pow(i / 65535.0, g) * 65535 + 0.5));
            inverse_[i] = static_cast<std::uint16_t>(
                std::floor(std::pow(i / 65535.0, 1.0 / g) * 65535 + 0.5));
        }
        return;
    }
    gamma_ = 1.0;
    identity_ = gammaCurve_ = false;
    cs1DInterpolate::expandBigEndian(data() + 12, n, forward_.get());
    cs1DInterpolate::invert(forward_.get(), inverse_.get());
}

double csICCcurvTag::forwardValue(double x) const {
    if (identity_)
        return x;
    if (gammaCurve_)
        return std::floor(beforeRounding(x) + 0.5);
    return cs1DInterpolate::atBigEndian(data() + 12, numEntries(), x);
}

double csICCcurvTag::beforeRounding(double x) const {
    return std::pow(x / 65535.0, gamma_) * 65535;
}

double csICCcurvTag::inverseValue(double x) const {
    if (identity_)
        return x;
    if (gammaCurve_) {
        const double r = x / 65535.0;
        return std::pow(r < 0 ? 0 : r > 1 ? 1 : r, 1.0 / gamma_) * 65535;
    }
    const double clamped = !(x > 0) ? 0 : x > 65535 ? 65535 : x; // a NaN becomes 0
    auto i = static_cast<std::uint32_t>(clamped);
    if (i >= 65535)
        i = 65534;
    const double t = clamped - i;
    return (1 - t) * inverse_[i] + t * inverse_[i + 1];
}

void csICCcurvTag::forward(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                           int outStride) const {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = forward_[in[k * inStep]];
}

void csICCcurvTag::inverse(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                           int outStride) const {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = inverse_[in[k * inStep]];
}

void csICCcurvTag::forward(const double* in, double* out, int count, int inStride,
                           int outStride) const {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = forwardValue(in[k * inStep]);
}

void csICCcurvTag::inverse(const double* in, double* out, int count, int inStride,
                           int outStride) const {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = inverseValue(in[k * inStep]);
}
