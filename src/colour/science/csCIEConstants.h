#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// The CIE L*a*b* constants and the cube-root function pair that every Lab/XYZ conversion of the
// library uses, and the library's value of pi for hue angles in degrees.
namespace csCIE {

constexpr double epsilon = 0.008856451679035631; // 216/24389
constexpr double slope = 7.787037037037037;      // 841/108
constexpr double offset = 0.13793103448275862;   // 16/116

// Fourteen decimals, not the full double: hue angles have always been converted with this value.
constexpr double pi = 3.14159265358979;

// The cube root to within a few units in the last place (3 at most over 0..2): a first guess from
// the exponent bits, two Halley steps and a Newton step. It is about twice as fast as std::cbrt,
// which dominates every Lab conversion otherwise. Numbers far from 1, where the cubes of the steps
// could overflow, zero, negative numbers, infinity and NaN go to std::cbrt.
inline double cubeRoot(double x) {
    if (!(x >= 0x1p-600 && x <= 0x1p600))
        return std::cbrt(x);
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits = bits / 3 + 0x2A9F7893782DA1CEull; // a third of the exponent, within a few percent
    double y;
    std::memcpy(&y, &bits, sizeof y);
    for (int step = 0; step < 2; ++step) {
        const double y3 = y * y * y;
        y = y * (y3 + 2 * x) / (2 * y3 + x);
    }
    return y - (y * y * y - x) / (3 * y * y);
}

// f(ratio): the cube root above epsilon, the linear segment below.
inline double labF(double ratio) {
    return ratio > epsilon ? cubeRoot(ratio) : ratio * slope + offset;
}

// The inverse of labF; the test is on the cube, not on L*.
inline double labFInverse(double f) {
    const double cube = f * f * f;
    return cube > epsilon ? cube : (f - offset) / slope;
}

} // namespace csCIE
