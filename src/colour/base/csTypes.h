#pragma once

#include <cstdint>

// Sample types of the colour library: 16-bit unsigned samples, and doubles that hold the same
// 16-bit numbers without rounding or clamping (used where precision matters more than speed).
using uint16 = std::uint16_t;
using rfloat = double;
