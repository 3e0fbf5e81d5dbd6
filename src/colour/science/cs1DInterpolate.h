#pragma once

#include <cstdint>

// One-dimensional tables spread evenly over the 16-bit input range 0 to 65535, as tone curves and
// lut tables hold them: linear interpolation, expansion to one entry per 16-bit input, and
// inversion of an expanded table.
namespace cs1DInterpolate {

// The table of n >= 2 entries at x (0 to 65535; outside, the first or last segment extends).
double at(const std::uint16_t* table, std::uint32_t n, double x);
// The same for a big-endian table read in place in tag data.
double atBigEndian(const std::uint8_t* table, std::uint32_t n, double x);
// An 8-bit table, on the 16-bit scale (entries times 257).
double at8(const std::uint8_t* table, std::uint32_t n, double x);

// Entry k of out (65536 entries) is the interpolation at k, plus 0.5, truncated.
void expand(const std::uint16_t* table, std::uint32_t n, std::uint16_t* out);
void expandBigEndian(const std::uint8_t* table, std::uint32_t n, std::uint16_t* out);
void expand8(const std::uint8_t* table, std::uint32_t n, std::uint16_t* out);

// The inverse of a 65536-entry table: for a rising (or flat) table the first index whose entry
// reaches each value, for a falling one the last index from the top whose entry reaches it.
void invert(const std::uint16_t* forward, std::uint16_t* inverse);

} // namespace cs1DInterpolate
