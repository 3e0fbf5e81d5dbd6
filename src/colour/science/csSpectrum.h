#pragma once

#include <memory>

// A spectrum sampled on a regular wavelength grid: sample k lies at start + k x step nm. Holds
// illuminant power, reflectance or a colour-matching function in single precision.
class csSpectrum {
public:
    // No samples; start 0, step 1.
    csSpectrum() = default;
    // count samples copied from values, or zeros when values is null. count and step must not be
    // 0.
    csSpectrum(const float* values, unsigned num, unsigned start, unsigned lInc);
    csSpectrum(const csSpectrum& other);
    csSpectrum& operator=(const csSpectrum& other);
    csSpectrum(csSpectrum&& other) noexcept = default;
    csSpectrum& operator=(csSpectrum&& other) noexcept = default;
    ~csSpectrum() = default;
    // A copy resampled to the grid (count, start, step).
    csSpectrum(const csSpectrum& other, unsigned count, unsigned start, unsigned step);

    unsigned count() const { return count_; }
    unsigned start() const { return start_; }
    unsigned step() const { return step_; }
    // Wavelength of the last sample.
    unsigned end() const { return start_ + (count_ == 0 ? 0 : (count_ - 1) * step_); }
    const float* data() const { return data_.get(); }
    float* data() { return data_.get(); }
    float operator[](unsigned k) const { return data_[k]; }
    float& operator[](unsigned k) { return data_[k]; }

    // The value at a wavelength: a sample where there is one, a cubic interpolation between
    // samples, and the first or last sample outside the grid.
    float valueAt(unsigned wavelength) const;

    // Replaces the samples by the values at the wavelengths of the new grid.
    void resample(unsigned count, unsigned start, unsigned step);
    csSpectrum resampled(unsigned count, unsigned start, unsigned step) const;

    // Sample-wise arithmetic. On different grids both operands are first resampled to the grid
    // that covers both with the finer step.
    csSpectrum& operator+=(const csSpectrum& other);
    csSpectrum& operator-=(const csSpectrum& other);
    csSpectrum& operator*=(const csSpectrum& other);
    csSpectrum& operator/=(const csSpectrum& other);
    csSpectrum& operator*=(double factor);
    csSpectrum& operator/=(double factor);
    // A copy multiplied by factor rounded to single precision.
    csSpectrum scaled(double factor) const;

    // The sum over samples of a x b in double precision, not multiplied by the step. On different
    // grids both are resampled to their common grid first and the sum is rounded to single
    // precision.
    static double integrate(const csSpectrum& a, const csSpectrum& b);

    // The grid covering both spectra: the smaller start and step, the larger end.
    struct Grid {
        unsigned count, start, step;
    };
    static Grid commonGrid(const csSpectrum& a, const csSpectrum& b);

    // Spectral exitance of a blackbody at temperature kelvin and wavelength nm (Planck's law).
    static double planck(double temperature, unsigned wavelength);
    static csSpectrum blackbody(double temperature, unsigned count, unsigned start, unsigned step);

private:
    bool sameGrid(const csSpectrum& other) const {
        return count_ == other.count_ && start_ == other.start_ && step_ == other.step_;
    }
    template <typename Operation> csSpectrum& combine(const csSpectrum& other, Operation operation);

    std::unique_ptr<float[]> data_;
    unsigned count_ = 0;
    unsigned start_ = 0;
    unsigned step_ = 1;
};

csSpectrum operator+(const csSpectrum& a, const csSpectrum& b);
csSpectrum operator-(const csSpectrum& a, const csSpectrum& b);
csSpectrum operator*(const csSpectrum& a, const csSpectrum& b);
csSpectrum operator/(const csSpectrum& a, const csSpectrum& b);
