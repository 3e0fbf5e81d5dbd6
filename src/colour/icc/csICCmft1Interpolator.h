#pragma once

#include "csICCmft1Tag.h"
#include "csICCmftInterpolator.h"

// The interpolator of an "mft1" lut: 8-bit tables and CLUT, read as value times 257.
class csICCmft1Interpolator : public csICCmftInterpolator {
public:
    explicit csICCmft1Interpolator(csICCmft1Tag* tag);

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

protected:
    void expandTables() override;

private:
    void clutPixel(const double* in, double* out) const;
    void tablePixel(double* samples, unsigned channels, const std::uint32_t* offsets) const;
};
