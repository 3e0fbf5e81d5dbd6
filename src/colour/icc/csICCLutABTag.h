#pragma once

#include "csICCTag.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// What "mAB " (lutAtoBType) and "mBA " (lutBtoAType) tags have in common: channel counts and up to
// five elements at offsets from the tag's start. B curves, a 3x3 matrix with offsets, M curves, a
// CLUT with its own grid size per input dimension and 8- or 16-bit values, and A curves. Curves
// are embedded "curv" or "para" blocks, each starting on a 4-byte boundary. All values are
// normalised to 0..1; Lab PCS values use the version 4 encoding.
//
// Layout: 0 type, 4 reserved, 8 input channels, 9 output channels, 10 padding, then the offsets
// of B curves (12), matrix (16), M curves (20), CLUT (24) and A curves (28); 0 means absent.
// The CLUT: 16 grid sizes (one per input dimension, the rest 0), precision (1 or 2), 3 padding,
// then the grid points with the first input dimension varying slowest.
class csICCLutABTag : public csICCTag {
public:
    static constexpr unsigned maxChannels = 15;

    // What a writer puts into a tag. Curve elements are "curv" or "para" tags; an empty vector
    // leaves the element out. grid and clut are empty when there is no CLUT; clut holds 16-bit
    // values (divided by 257 on writing 8-bit precision).
    struct Elements {
        std::vector<const csICCTag*> a, m, b;
        bool hasMatrix = false;
        std::array<double, 12> matrix{}; // e1..e9 row by row, then the offsets e10..e12
        std::vector<std::uint8_t> grid;
        int precision = 2;
        std::vector<std::uint16_t> clut;
    };

    csICCLutABTag(const csICCLutABTag& other);
    csICCLutABTag& operator=(const csICCLutABTag& other);

    // Whether the block is an "mAB " or "mBA " (as type says) whose elements all lie inside size
    // bytes with the counts the type calls for; an E "corrupt tag data" entry says why not.
    static bool validate(Signature type, const std::uint8_t* data, std::uint32_t size);

    // True for "mAB ": A curves, CLUT, M curves, matrix, B curves. False for "mBA ": the reverse.
    bool isAToB() const { return typeSignature() == Signature("mAB "); }

    unsigned inputChannels() const { return inputs_; }
    unsigned outputChannels() const { return outputs_; }

    // The curve sets, each empty when absent; curves are "curv" or "para" tags.
    const std::vector<std::unique_ptr<csICCTag>>& curvesA() const { return a_; }
    const std::vector<std::unique_ptr<csICCTag>>& curvesM() const { return m_; }
    const std::vector<std::unique_ptr<csICCTag>>& curvesB() const { return b_; }

    bool hasMatrix() const { return hasMatrix_; }
    // e1..e9 row by row, then the three offsets.
    const std::array<double, 12>& matrix() const { return matrix_; }

    // The CLUT maps all input channels to all output channels, in either type.
    bool hasCLUT() const { return clutOffset_ != 0; }
    unsigned gridPoints(unsigned dimension) const { return grid_[dimension]; }
    int precision() const { return precision_; }
    // Grid point values of an index (counted over all points, first dimension slowest) for
    // output channel c, normalised to 0..1. No checks: the index comes from the interpolator.
    double clutValue(std::uint32_t point, unsigned c) const;

protected:
    // From a block that validate() has accepted.
    csICCLutABTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    // A new tag of the given type from its elements; the elements must be consistent.
    csICCLutABTag(Signature signature, Signature type, unsigned inputs, unsigned outputs,
                  const Elements& elements);

private:
    // Reads the layout from the data; false with an error entry when something does not fit.
    bool parse();

    unsigned inputs_ = 0, outputs_ = 0;
    std::vector<std::unique_ptr<csICCTag>> a_, m_, b_;
    bool hasMatrix_ = false;
    std::array<double, 12> matrix_{};
    std::uint32_t clutOffset_ = 0; // of the first grid point
    std::array<unsigned, 16> grid_{};
    int precision_ = 2;
};
