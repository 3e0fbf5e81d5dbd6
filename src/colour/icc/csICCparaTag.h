#pragma once

#include "csICCTag.h"

#include <memory>

// A "para" tag (parametricCurveType): one of five curve functions of x in [0, 1] given by up to
// seven s15Fixed16 parameters g, a, b, c, d, e, f:
//   0  x^g
//   1  (a x + b)^g for x >= -b/a, else 0
//   2  (a x + b)^g + c for x >= -b/a, else c
//   3  (a x + b)^g for x >= d, else c x
//   4  (a x + b)^g + e for x >= d, else c x + f
// Values are clamped to [0, 1]; on the 16-bit scale both ways through 65536-entry tables.
class csICCparaTag : public csICCTag {
public:
    // How closely the two pieces of types 3 and 4 must meet at d.
    static constexpr double PARA_EPSILON = 0.001;

    // From a block that validate() has accepted; the tables are built as asked.
    csICCparaTag(Signature signature, std::uint32_t size, const std::uint8_t* data,
                 bool buildForward = true, bool buildInverse = false);
    csICCparaTag(const csICCparaTag& other);
    csICCparaTag& operator=(const csICCparaTag& other);

    // Whether the block is a curve that can be evaluated and inverted: a supported type, long
    // enough for it, g > 0, a > 0 for types 1 and 2, no power of a negative number where the
    // power piece is used, and pieces that meet at d. An error entry says why not.
    static bool validate(const std::uint8_t* data, std::uint32_t size);
    // A curve from a bare block of at most limit bytes, keeping only the bytes the type needs;
    // null when it cannot be parsed.
    static std::unique_ptr<csICCparaTag> fromBlock(Signature signature, const std::uint8_t* data,
                                                   std::uint32_t limit);

    int functionType() const { return type_; }
    float parameter(int index) const { return parameters_[index]; }

    // f(x) for x in [0, 1], clamped to [0, 1].
    double eval_clamped(double x) const;
    // The x in [0, 1] with eval_clamped(x) = y; the middle of a flat stretch; the nearest piece
    // end when y is not reached.
    double inverse(double y) const;

    // 16-bit lookups (the tables are built when first needed) and double evaluation on 0..65535.
    void forward(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0);
    void inverse(const std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                 int outStride = 0);
    void forward(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    void inverse(const double* in, double* out, int count, int inStride = 0,
                 int outStride = 0) const;
    // One value of forward on doubles: beforeRounding(x) rounded to the nearest 16-bit step and
    // kept within 0..65535.
    double forwardValue(double x) const;
    double beforeRounding(double x) const;
    // Whether beforeRounding is monotone on [x0, x1] (on 0..65535): everywhere but across d,
    // where types 3 and 4 go from the line to the power (each monotone, as g > 0 keeps a power).
    bool monotoneOn(double x0, double x1) const;

private:
    // The size the type needs, after reading the parameters; 0 when the type is not supported.
    std::uint32_t parse(std::uint32_t size, bool buildForward, bool buildInverse);
    double evaluate(double x) const;
    void buildForwardTable();
    void buildInverseTable();

    int type_ = -1;
    bool fillUnsupported(std::unique_ptr<std::uint16_t[]>& table) const;
    float parameters_[7] = {1, 1, 0, 0, 0, 0, 0}; // g a b c d e f
    std::unique_ptr<std::uint16_t[]> forward_;
    std::unique_ptr<std::uint16_t[]> inverse_;
    bool flatStart_ = false; // invert a flat stretch to its start
    bool flatEnd_ = false;   // or to its end (neither: its middle)
    mutable bool warnedNotInjective_ = false;
};
