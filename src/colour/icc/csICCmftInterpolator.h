#pragma once

#include "csICCSimplex.h"
#include "csICCmftTag.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <type_traits>

// Runs samples through a lut tag: the matrix, the input tables, the CLUT and the output tables,
// on 16-bit or double samples (all on the 16-bit scale), interleaved or planar. The tag is not
// owned and must outlive the interpolator.
class csICCmftInterpolator {
public:
    explicit csICCmftInterpolator(csICCmftTag* tag);
    virtual ~csICCmftInterpolator();
    csICCmftInterpolator(const csICCmftInterpolator&) = delete;
    csICCmftInterpolator& operator=(const csICCmftInterpolator&) = delete;

    // The whole lut. The matrix and the input tables work in place on the input samples. Strides
    // count samples; 0 means the channel count.
    void convert(std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0);
    void convert(double* in, double* out, int count, int inStride = 0, int outStride = 0);
    void convert(std::uint16_t* const in[], std::uint16_t* const out[], int count);
    void convert(double* const in[], double* const out[], int count);

    // The steps one by one; tables work in place.
    virtual void inputTables(std::uint16_t* samples, int count, int stride) = 0;
    virtual void inputTables(double* samples, int count, int stride) = 0;
    virtual void inputTables(std::uint16_t* const planes[], int count) = 0;
    virtual void inputTables(double* const planes[], int count) = 0;
    virtual void outputTables(std::uint16_t* samples, int count, int stride) = 0;
    virtual void outputTables(double* samples, int count, int stride) = 0;
    virtual void outputTables(std::uint16_t* const planes[], int count) = 0;
    virtual void outputTables(double* const planes[], int count) = 0;
    virtual void clut(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                      int outStride) = 0;
    virtual void clut(const double* in, double* out, int count, int inStride, int outStride) = 0;
    virtual void clut(std::uint16_t* const in[], std::uint16_t* const out[], int count) = 0;
    virtual void clut(double* const in[], double* const out[], int count) = 0;
    // Per channel, the input table index whose value is the sample: the tables run backwards.
    void invertInputTables(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                           int outStride) {
        invertExpandedInputTables(in, out, count, inStride, outStride);
    }
    virtual void layout() = 0;

    unsigned inputChannels() const { return inputs_; }
    unsigned outputChannels() const { return outputs_; }
    const csICCmftTag* tag() const { return tag_; }

    bool applyMatrix = true;
    bool applyInputTables = true;
    bool applyOutputTables = true;
    // Outputs that are legacy 16-bit Lab, wanted in the version 4 encoding. When
    // legacyLabGiven(), the CLUT step on 16-bit samples gives them so, each pixel as it is
    // interpolated (saving a pass over the results); otherwise the caller converts them.
    bool legacyLabOutputs = false;
    virtual bool legacyLabGiven() const { return false; }

protected:
    static constexpr unsigned maxChannels = csICCmftTag::maxChannels;

    // Copies the tag's layout into the interpolator.
    void layoutFromTag();
    // Tables expanded to 65536 entries per channel, made on first 16-bit use.
    virtual void expandTables() = 0;
    const std::uint16_t* expandedInput(unsigned channel);
    const std::uint16_t* expandedOutput(unsigned channel);

    // The inverse of the expanded input tables, which both lut types share.
    void invertExpandedInputTables(const std::uint16_t* in, std::uint16_t* out, int count,
                                   int inStride, int outStride);
    // Linear interpolation in a table of n entries over 0..65535 (scale = (n - 1) / 65535),
    // extending the end segments outside the range; read(i) gives entry i. A NaN takes the first
    // segment (cellBase) instead of reaching the integer conversion.
    template <typename Read>
    static double interpolate(std::uint32_t n, double scale, double x, Read read) {
        const double p = x * scale;
        const std::uint32_t i = cellBase(p, n);
        const double t = p - i;
        return (1 - t) * read(i) + t * read(i + 1);
    }
    // Rounds a double CLUT result to 16 bits; extrapolation outside the grid can leave the range.
    // A NaN becomes 0.
    static std::uint16_t round16(double value) {
        return static_cast<std::uint16_t>(!(value > 0) ? 0 : value >= 65535 ? 65535 : value + 0.5);
    }
    // Table steps on expanded tables (16-bit) shared by both lut types.
    void lookUp(std::uint16_t* samples, int count, int stride, unsigned channels, bool inputSide);
    void lookUp(std::uint16_t* const planes[], int count, unsigned channels, bool inputSide);

    void matrix(std::uint16_t* samples, int count, int stride) const;
    void matrix(double* samples, int count, int stride) const;
    void matrix(std::uint16_t* const planes[], int count) const;
    void matrix(double* const planes[], int count) const;

    // The CLUT steps that go through one double pixel at a time: pixel(in, out) interpolates one.
    // Planar 16-bit results are rounded.
    template <typename Pixel>
    void clutPixels(const double* in, double* out, int count, int inStride, int outStride,
                    Pixel pixel) const {
        const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
        const int outStep = outStride == 0 ? static_cast<int>(outputs_) : outStride;
        for (int i = 0; i < count; ++i, in += inStep, out += outStep)
            pixel(in, out);
    }
    template <typename Sample, typename Pixel>
    void clutPlanes(Sample* const in[], Sample* const out[], int count, Pixel pixel) const {
        double inPixel[maxChannels], outPixel[maxChannels];
        for (int i = 0; i < count; ++i) {
            for (unsigned k = 0; k < inputs_; ++k)
                inPixel[k] = in[k][i];
            pixel(inPixel, outPixel);
            for (unsigned c = 0; c < outputs_; ++c) {
                if constexpr (std::is_same_v<Sample, std::uint16_t>)
                    out[c][i] = round16(outPixel[c]);
                else
                    out[c][i] = outPixel[c];
            }
        }
    }

    // Simplex interpolation in the CLUT for one pixel of double samples. add(offset, weight, out)
    // adds weight times the values of the grid point at a byte offset of the data.
    template <typename AddPoint> void simplex(const double* in, double* out, AddPoint add) const {
        simplexInterpolate(in, inputs_, outputs_, grid_.data(), gridScale_.data(), strides_.data(),
                           clut_, out, add);
    }

    csICCmftTag* tag_;
    unsigned inputs_ = 0;
    unsigned outputs_ = 0;
    std::array<std::uint32_t, maxChannels> grid_{};
    std::uint32_t inputEntries_ = 0;
    std::uint32_t outputEntries_ = 0;
    std::uint32_t clut_ = 0;
    std::array<std::uint32_t, maxChannels> strides_{};
    std::array<std::uint32_t, maxChannels> inputTableOffsets_{};
    std::array<std::uint32_t, maxChannels> outputTableOffsets_{};
    // (g - 1) / 65535 per input dimension, and (entries - 1) / 65535 for the tables.
    std::array<double, maxChannels> gridScale_{};
    double inputScale_ = 0;
    double outputScale_ = 0;
    std::int32_t matrix_[3][3] = {};
    bool identityMatrix_ = true;
    std::unique_ptr<std::uint16_t[]> expandedIn_;
    std::unique_ptr<std::uint16_t[]> expandedOut_;
};
