#pragma once

#include "csICCCurveTable.h"
#include "csICCLutABTag.h"
#include "csICCToneCurve.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Runs samples through an "mAB " or "mBA " tag in double precision: the curve sets, the matrix
// with its offsets and the CLUT (simplex interpolation), in the order of the tag's type. Samples
// are on the 16-bit scale (Lab PCS values in the version 4 encoding, XYZ with 1.0 at 32768); 16-bit
// samples go through the same double evaluation and are rounded. Curves that round to 16-bit steps
// go through tables of them (csICCCurveTable, same results), made at the first conversion; one
// interpolator converts on one thread at a time. The tag is not owned and must outlive the
// interpolator.
class csICCmABInterpolator {
public:
    explicit csICCmABInterpolator(const csICCLutABTag* tag);

    unsigned inputChannels() const { return tag_->inputChannels(); }
    unsigned outputChannels() const { return tag_->outputChannels(); }

    // Strides count samples; 0 means the channel count.
    void convert(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void convert(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0) const;

private:
    template <typename Sample>
    void convertSamples(const Sample* in, Sample* out, int count, int inStride,
                        int outStride) const;
    // One pixel, normalised 0..1 in and out; the same from 16-bit samples; and the steps after
    // the first curve set, on values normalised 0..1.
    void pixel(const double* in, double* out) const;
    void pixel16(const std::uint16_t* in, double* out) const;
    // The common shape (first curves, CLUT, last curves; no matrix, no M curves; 3 or 4 channels
    // each way) unrolled, with the same arithmetic as the steps one by one; false for others.
    template <typename Sample>
    bool convertPlain(const Sample* in, Sample* out, int count, int inStep, int outStep) const;
    template <unsigned Inputs, unsigned Outputs, typename Sample>
    void plainPixels(const Sample* in, Sample* out, int count, int inStep, int outStep) const;
    void afterFirstCurves(double* values, double* out) const;
    // Curve c of a set on a value normalised 0..1, through its table when it has one.
    static double curve(const std::vector<csICCToneCurve>& set,
                        const std::vector<std::unique_ptr<csICCCurveTable>>& tables, std::size_t c,
                        double value);
    void curves(const std::vector<csICCToneCurve>& set,
                const std::vector<std::unique_ptr<csICCCurveTable>>& tables, double* values) const;
    // The same for n pixels in planes, one per channel (curves with tables many values at a time).
    static void curves(const std::vector<csICCToneCurve>& set,
                       const std::vector<std::unique_ptr<csICCCurveTable>>& tables,
                       double* const planes[], int n);
    void matrix(double* const planes[], int n) const;
    // Makes the curve tables, once; and the first curve set's results per 16-bit sample value.
    void tabulate() const;
    void stepFirstCurves() const;
    void matrix(double* values) const;
    // In place: the CLUT's inputs in, its outputs out; nothing without a CLUT.
    void clut(double* values) const;

    const csICCLutABTag* tag_;
    std::vector<csICCToneCurve> a_, m_, b_;
    // Per curve of each set, its table, or null for a curve that does not round.
    mutable std::vector<std::unique_ptr<csICCCurveTable>> aTables_, mTables_, bTables_;
    mutable bool tabulated_ = false;
    // Per curve of the first set whose results on 16-bit samples are all whole steps, the CLUT
    // position (or the next element's input) for each sample value; empty for the others.
    mutable std::vector<std::vector<std::uint16_t>> firstSteps_;
    mutable bool firstStepped_ = false;
    std::array<std::uint32_t, 16> grid_{};
    std::array<std::uint32_t, 16> strides_{};
    std::array<double, 16> gridScale_{};
    std::vector<float> clut_; // grid point values, 0..65535, outputs per point
    // A matrix between curves that change nothing (the M curves on one side, the B curves on the
    // other) folded with the scaling around it: rows of coefficients for values on the 16-bit
    // scale and the offset, giving a result normalised 0..1 (then clamped).
    bool foldedMatrix_ = false;
    double folded_[3][4] = {};
};
