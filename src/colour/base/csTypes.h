#pragma once

#include <cstdint>

// Sample types of the colour library: 16-bit unsigned samples, and doubles that hold the same
// 16-bit numbers without rounding or clamping (used where precision matters more than speed).
using uint16 = std::uint16_t;
using rfloat = double;

// A double rounded to single precision, as a computation's specified single-precision step. The
// empty asm statement keeps the rounded value opaque: g++ 12's vectoriser otherwise reuses the
// unrounded doubles where the rounded value is read back as a double.
inline float toSingle(double value) {
    float rounded = static_cast<float>(value);
#if defined(__GNUC__)
    __asm__("" : "+m"(rounded));
#endif
    return rounded;
}
