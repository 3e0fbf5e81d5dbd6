#pragma once

#include "csICCmft2Tag.h"
#include "csICCmftInterpolator.h"

#include <vector>

// The interpolator of an "mft2" lut. Its 16-bit interleaved CLUT works in fixed point on the
// tag's data in native byte order: tetrahedral for three inputs, five corners for four, the
// general simplex otherwise.
class csICCmft2Interpolator : public csICCmftInterpolator {
public:
    explicit csICCmft2Interpolator(csICCmft2Tag* tag);

    void inputTables(std::uint16_t* samples, int count, int stride) override;
    void inputTables(double* samples, int count, int stride) override;
    void inputTables(std::uint16_t* const planes[], int count) override;
    void inputTables(double* const planes[], int count) override;
    void outputTables(std::uint16_t* samples, int count, int stride) override;
    void outputTables(double* samples, int count, int stride) override;
    void outputTables(std::uint16_t* const planes[], int count) override;
    void outputTables(double* const planes[], int count) override;
    void clut(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
              int outStride) override;
    void clut(const double* in, double* out, int count, int inStride, int outStride) override;
    void clut(std::uint16_t* const in[], std::uint16_t* const out[], int count) override;
    void clut(double* const in[], double* const out[], int count) override;
    void layout() override;
    // With output tables that change nothing (or are not applied).
    bool legacyLabGiven() const override {
        return legacyLabOutputs && (identityOutputs_ || !applyOutputTables);
    }

protected:
    void expandTables() override;

private:
    // The tag's tables and CLUT in native order, as the fixed-point path reads them.
    const std::uint8_t* nativeData();
    void clutPixel(const double* in, double* out);
    void tetrahedral(const std::uint16_t* in, std::uint16_t* out, const std::uint8_t* data) const;
    void fiveCorners(const std::uint16_t* in, std::uint16_t* out, const std::uint8_t* data) const;
    void generalSimplex(const std::uint16_t* in, std::uint16_t* out,
                        const std::uint8_t* data) const;

    csICCmft2Tag* lut_;
    // Copies of the tables in native order, for the double path.
    std::vector<std::uint16_t> inputTables_;
    std::vector<std::uint16_t> outputTables_;
    bool identityInputs_ = false;
    bool identityOutputs_ = false;
    // Whether the CLUT of many pixels may go through simplexBlock.
    bool clutInBlocks_ = false;
};
