#pragma once

#include "csICCTag.h"

#include <cstdint>
#include <memory>

class csICCcurvTag;
class csICCparaTag;

// A tone curve that is either a "curv" or a "para" tag, evaluated alike on the 16-bit scale
// (0 to 65535) in both directions: the TRCs of matrix/TRC profiles and the curve elements of
// "mAB " and "mBA " luts. Refers to the tag without owning it; a default curve is the identity.
class csICCToneCurve {
public:
    csICCToneCurve() = default;
    // tag must be a curve (isCurve); anything else gives the identity.
    explicit csICCToneCurve(csICCTag* tag);

    static bool isCurve(const csICCTag* tag);

    // A curve element embedded in another tag at data, within limit bytes: a "curv" or "para"
    // block, copied into a tag object of its own. *used receives its size rounded up to a
    // multiple of 4, where the next element starts. Null with an error entry when the block is
    // neither or does not fit.
    static std::unique_ptr<csICCTag> readElement(const std::uint8_t* data, std::uint32_t limit,
                                                 std::uint32_t* used);
    // The checks of readElement without making the tag: *used receives the unpadded size.
    static bool measureElement(const std::uint8_t* data, std::uint32_t limit, std::uint32_t* used);

    bool isIdentity() const { return curv_ == nullptr && para_ == nullptr; }
    // Whether forwardValue gives every value back: the default curve and a "curv" without
    // entries.
    bool changesNothing() const;

    // Table lookups on 16-bit values and evaluation on doubles; strides count samples, 0 meaning
    // 1. In and out may be the same.
    void forward(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void inverse(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void forward(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void inverse(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    // One value of forward on doubles.
    double forwardValue(double x) const;
    // Whether, on 0..65535, forwardValue(x) is beforeRounding(x) rounded to the nearest 16-bit
    // step and kept within 0..65535: parametric curves and gamma curves.
    bool rounds() const;
    double beforeRounding(double x) const;
    // For a curve that rounds: whether beforeRounding is monotone on [x0, x1] (0..65535).
    bool monotoneOn(double x0, double x1) const;

private:
    const csICCcurvTag* curv_ = nullptr;
    csICCparaTag* para_ = nullptr;
};
