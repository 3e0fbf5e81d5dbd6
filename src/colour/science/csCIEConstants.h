#pragma once

#include <cmath>

// The CIE L*a*b* constants and the cube-root function pair that every Lab/XYZ conversion of the
// library uses, and the library's value of pi for hue angles in degrees.
namespace csCIE {

constexpr double epsilon = 0.008856451679035631; // 216/24389
constexpr double slope = 7.787037037037037;      // 841/108
constexpr double offset = 0.13793103448275862;   // 16/116

// Fourteen decimals, not the full double: hue angles have always been converted with this value.
constexpr double pi = 3.14159265358979;

// f(ratio): the cube root above epsilon, the linear segment below.
inline double labF(double ratio) {
    return ratio > epsilon ? std::cbrt(ratio) : ratio * slope + offset;
}

// The inverse of labF; the test is on the cube, not on L*.
inline double labFInverse(double f) {
    const double cube = f * f * f;
    return cube > epsilon ? cube : (f - offset) / slope;
}

} // namespace csCIE
