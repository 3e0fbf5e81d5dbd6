#include "csSpectrum.h"

#include "csAssert.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

csSpectrum::csSpectrum(const float* values, unsigned num, unsigned start, unsigned lInc)
    : count_(num), start_(start), step_(lInc) {
    CS_ASSERT(num != 0);
    CS_ASSERT(lInc != 0);
    data_ = std::make_unique<float[]>(num);
    if (values != nullptr)
        std::memcpy(data_.get(), values, num * sizeof(float));
}

csSpectrum::csSpectrum(const csSpectrum& other)
    : count_(other.count_), start_(other.start_), step_(other.step_) {
    if (other.data_) {
        data_ = std::make_unique<float[]>(count_);
        std::memcpy(data_.get(), other.data_.get(), count_ * sizeof(float));
    }
}

csSpectrum& csSpectrum::operator=(const csSpectrum& other) {
    if (this == &other)
        return *this;
    if (!other.data_) {
        data_.reset();
    } else {
        if (!data_ || count_ != other.count_)
            data_ = std::make_unique<float[]>(other.count_);
        std::memcpy(data_.get(), other.data_.get(), other.count_ * sizeof(float));
    }
    count_ = other.count_;
    start_ = other.start_;
    step_ = other.step_;
    return *this;
}

csSpectrum::csSpectrum(const csSpectrum& other, unsigned count, unsigned start, unsigned step)
    : csSpectrum(other) {
    resample(count, start, step);
}

float csSpectrum::valueAt(unsigned wavelength) const {
    if (count_ == 0)
        return 0.0f;
    const float* d = data_.get();
    if (wavelength < start_)
        return d[0];
    const unsigned i = (wavelength - start_) / step_;
    if (i >= count_ - 1)
        return d[count_ - 1];
    const unsigned rest = wavelength - start_ - i * step_;
    if (rest == 0)
        return d[i];

    const double t = static_cast<double>(rest) / step_;
    const double u = 1.0 - t;
    const double linear = d[i] * u + d[i + 1] * t;
    if (count_ == 2)
        return toSingle(linear);

    const bool first = i == 0;
    const bool last = i == count_ - 2;
    double value;
    if (2 * rest == step_) {
        // The midpoint in closed form, so that it is exact where the samples allow.
        const double mean = (double{d[i]} + d[i + 1]) / 2.0;
        if (first)
            value = mean + (double{d[1]} - d[2]) / 16.0;
        else if (last)
            value = mean + (double{d[i]} - d[i - 1]) / 16.0;
        else
            value = mean + (double{d[i]} + d[i + 1] - d[i - 1] - d[i + 2]) / 16.0;
    } else {
        // The four-point Lagrange cubic, written as the linear part plus a correction; at the
        // ends the sample that does not exist is left out of the correction.
        const double w = t * u / 6.0;
        if (first)
            value = linear + w * (3.0 * t * d[1] - (1.0 + t) * d[2]);
        else if (last)
            value = linear + w * (3.0 * u * d[i] + (t - 2.0) * d[i - 1]);
        else
            value = linear + w * (3.0 * u * d[i] + 3.0 * t * d[i + 1] - (1.0 + t) * d[i + 2] +
                                  (t - 2.0) * d[i - 1]);
    }
    return toSingle(value);
}

void csSpectrum::resample(unsigned count, unsigned start, unsigned step) {
    CS_ASSERT(count != 0);
    CS_ASSERT(step != 0);
    auto samples = std::make_unique<float[]>(count);
    for (unsigned k = 0; k < count; ++k)
        samples[k] = valueAt(start + k * step);
    data_ = std::move(samples);
    count_ = count;
    start_ = start;
    step_ = step;
}

csSpectrum csSpectrum::resampled(unsigned count, unsigned start, unsigned step) const {
    return csSpectrum(*this, count, start, step);
}

csSpectrum::Grid csSpectrum::commonGrid(const csSpectrum& a, const csSpectrum& b) {
    const unsigned start = std::min(a.start_, b.start_);
    const unsigned step = std::min(a.step_, b.step_);
    const unsigned end = std::max(a.end(), b.end());
    return {(end - start) / step + 1, start, step};
}

template <typename Operation>
csSpectrum& csSpectrum::combine(const csSpectrum& other, Operation operation) {
    if (sameGrid(other)) {
        for (unsigned k = 0; k < count_; ++k)
            data_[k] = operation(data_[k], other.data_[k]);
        return *this;
    }
    const Grid grid = commonGrid(*this, other);
    resample(grid.count, grid.start, grid.step);
    const csSpectrum right = other.resampled(grid.count, grid.start, grid.step);
    for (unsigned k = 0; k < count_; ++k)
        data_[k] = operation(data_[k], right.data_[k]);
    return *this;
}

csSpectrum& csSpectrum::operator+=(const csSpectrum& other) {
    return combine(other, [](float a, float b) { return a + b; });
}
csSpectrum& csSpectrum::operator-=(const csSpectrum& other) {
    return combine(other, [](float a, float b) { return a - b; });
}
csSpectrum& csSpectrum::operator*=(const csSpectrum& other) {
    return combine(other, [](float a, float b) { return a * b; });
}
csSpectrum& csSpectrum::operator/=(const csSpectrum& other) {
    return combine(other, [](float a, float b) { return a / b; });
}

csSpectrum& csSpectrum::operator*=(double factor) {
    for (unsigned k = 0; k < count_; ++k)
        data_[k] = toSingle(data_[k] * factor);
    return *this;
}

csSpectrum& csSpectrum::operator/=(double factor) {
    for (unsigned k = 0; k < count_; ++k)
        data_[k] = toSingle(data_[k] / factor);
    return *this;
}

csSpectrum csSpectrum::scaled(double factor) const {
    csSpectrum result(*this);
    const auto single = toSingle(factor);
    for (unsigned k = 0; k < count_; ++k)
        result.data_[k] *= single;
    return result;
}

double csSpectrum::integrate(const csSpectrum& a, const csSpectrum& b) {
    if (!a.sameGrid(b)) {
        const Grid grid = commonGrid(a, b);
        return toSingle(integrate(a.resampled(grid.count, grid.start, grid.step),
                                  b.resampled(grid.count, grid.start, grid.step)));
    }
    double sum = 0.0;
    for (unsigned k = 0; k < a.count_; ++k)
        sum += double{a.data_[k]} * b.data_[k];
    return sum;
}

double csSpectrum::planck(double temperature, unsigned wavelength) {
    const double lambda = wavelength * 1e-9;
    const double lambda5 = lambda * lambda * lambda * lambda * lambda;
    return 3.7418e-16 / lambda5 / (std::exp(0.014388 / (lambda * temperature)) - 1.0);
}

csSpectrum csSpectrum::blackbody(double temperature, unsigned count, unsigned start,
                                 unsigned step) {
    csSpectrum spectrum(nullptr, count, start, step);
    for (unsigned k = 0; k < count; ++k)
        spectrum.data_[k] = toSingle(planck(temperature, start + k * step));
    return spectrum;
}

csSpectrum operator+(const csSpectrum& a, const csSpectrum& b) { return csSpectrum(a) += b; }
csSpectrum operator-(const csSpectrum& a, const csSpectrum& b) { return csSpectrum(a) -= b; }
csSpectrum operator*(const csSpectrum& a, const csSpectrum& b) { return csSpectrum(a) *= b; }
csSpectrum operator/(const csSpectrum& a, const csSpectrum& b) { return csSpectrum(a) /= b; }
