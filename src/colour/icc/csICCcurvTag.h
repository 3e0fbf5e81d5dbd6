#pragma once

#include "csICCTag.h"

#include <memory>

// A "curv" tone curve: the identity (no entries), a gamma (one u8Fixed8 entry) or a sampled
// curve (n >= 2 entries spread evenly over 0 to 65535). Values are on the 16-bit scale in both
// directions; the forward and inverse curves are expanded to 65536 entries when the tag is made.
class csICCcurvTag : public csICCTag {
public:
    // From a block that validate() has accepted.
    csICCcurvTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    // A gamma curve; the gamma is stored as u8Fixed8.
    csICCcurvTag(Signature signature, double gamma);
    csICCcurvTag(const csICCcurvTag& other);
    csICCcurvTag& operator=(const csICCcurvTag& other);

    // Whether the block is a curve whose entries fit in it; an error entry says why not.
    static bool validate(const std::uint8_t* data, std::uint32_t size);

    std::uint32_t numEntries() const;
    double gamma() const { return gamma_; }
    bool isIdentity() const { return identity_; }
    bool isGamma() const { return gammaCurve_; }

    // Table lookups; strides count samples, 0 meaning 1.
    void forward(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void inverse(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0) const;
    // Evaluation on doubles (0 to 65535).
    void forward(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void inverse(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    // One value of forward on doubles; for a gamma curve, beforeRounding(x) rounded to the nearest
    // 16-bit step.
    double forwardValue(double x) const;
    double beforeRounding(double x) const;

    const std::uint16_t* forwardTable() const { return forward_.get(); }
    const std::uint16_t* inverseTable() const { return inverse_.get(); }

    void setIdentity();

private:
    void setUp();
    double inverseValue(double x) const;

    std::unique_ptr<std::uint16_t[]> forward_;
    std::unique_ptr<std::uint16_t[]> inverse_;
    double gamma_ = 1.0;
    bool identity_ = false;
    bool gammaCurve_ = false;
};
