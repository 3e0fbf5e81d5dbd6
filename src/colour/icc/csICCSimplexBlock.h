#pragma once

#include <cstdint>

// Simplex interpolation of many pixels at once, four to a vector on processors with AVX2: for each
// pixel the arithmetic of simplexFixedSize in the same order (no fused multiply-adds), so the
// results are the same to the bit. positions holds one plane of n positions per input, each in
// 0..65535 (not a number is not allowed), sums receives one plane of n results per output; grid,
// gridScale and strides are as for simplexFixedSize (strides in values of the grid, which holds
// each point's outputs side by side as floats). Handles 4 inputs and 3 outputs, 3 and 3, or 3 and
// 4; returns how many of the first pixels it interpolated (a multiple of 4, or 0 without AVX2 or
// for other sizes), and the caller interpolates the rest.
int simplexBlock(unsigned inputs, unsigned outputs, const double* const positions[], int n,
                 const std::uint32_t* grid, const double* gridScale, const std::uint32_t* strides,
                 const float* values, double* const sums[]);

// The same on a grid of 16-bit values in native byte order, the corners at byte offsets: start
// and strides count bytes, and the two bytes after the grid's last value must be readable.
int simplexBlock(unsigned inputs, unsigned outputs, const double* const positions[], int n,
                 const std::uint32_t* grid, const double* gridScale, const std::uint32_t* strides,
                 std::uint32_t start, const std::uint8_t* native16, double* const sums[]);
