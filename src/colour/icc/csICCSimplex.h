#pragma once

#include <cstdint>
#include <utility>

// The grid cell of position p (in grid points) along a dimension of g points: floor(p), but 0 below
// the grid (or for a NaN) and g - 2 at or above its top; truncation is floor for the
// non-negative positions that remain.
inline std::uint32_t cellBase(double p, std::uint32_t g) {
    return !(p >= 0) ? 0 : p >= g - 1.0 ? g - 2 : static_cast<std::uint32_t>(p);
}

// The grid cell of one pixel of double samples on the 16-bit scale: each input's fraction within
// the cell, and the cell's first corner (start plus each input's cell times its stride).
inline std::uint32_t locateCell(const double* in, unsigned inputs, const std::uint32_t* grid,
                                const double* gridScale, const std::uint32_t* strides,
                                std::uint32_t start, double* fraction) {
    std::uint32_t position = start;
    for (unsigned k = 0; k < inputs; ++k) {
        const double p = in[k] * gridScale[k];
        const std::uint32_t base = cellBase(p, grid[k]);
        fraction[k] = p - base;
        position += base * strides[k];
    }
    return position;
}

// Orders the dimensions 0..N-1 (N 3 or 4) in order[] by fraction(k), largest first and equal
// ones in dimension order: the order of a stable sort, by a sorting network of exchanges without
// branches (the fractions of neighbouring pixels order at random). Fractions that are not
// numbers are never exchanged, so the order stays a permutation.
template <unsigned N, typename Fraction>
void orderLargestFirst(unsigned order[N], Fraction fraction) {
    static_assert(N == 3 || N == 4);
    for (unsigned k = 0; k < N; ++k)
        order[k] = k;
    const auto exchange = [&](unsigned i, unsigned j) {
        const unsigned a = order[i], b = order[j];
        const auto fa = fraction(a), fb = fraction(b);
        // Bit arithmetic, so that the compiler makes no branches of it.
        const unsigned swap = unsigned(fb > fa) | (unsigned(fb == fa) & unsigned(b < a));
        const unsigned change = (a ^ b) & (0u - swap);
        order[i] = a ^ change;
        order[j] = b ^ change;
    };
    if constexpr (N == 3) {
        exchange(0, 1), exchange(1, 2), exchange(0, 1);
    } else {
        exchange(0, 1), exchange(2, 3), exchange(0, 2), exchange(1, 3), exchange(1, 2);
    }
}

// Simplex interpolation in a CLUT for one pixel of double samples on the 16-bit scale, shared by
// the lut interpolators. For each input dimension k, gridScale[k] is (grid points - 1) / 65535
// and strides[k] the distance between neighbouring grid points in the caller's units (bytes or
// points); start is where the grid begins in those units. add(position, weight, out) adds weight
// times the values of the grid point at that position to out[0..outputs).
template <typename AddPoint>
void simplexInterpolate(const double* in, unsigned inputs, unsigned outputs,
                        const std::uint32_t* grid, const double* gridScale,
                        const std::uint32_t* strides, std::uint32_t start, double* out,
                        AddPoint add) {
    constexpr unsigned maxInputs = 16;
    double fraction[maxInputs] = {};
    unsigned order[maxInputs] = {};
    std::uint32_t position = locateCell(in, inputs, grid, gridScale, strides, start, fraction);
    for (unsigned k = 0; k < inputs; ++k)
        order[k] = k;
    // Largest fraction first; equal fractions keep dimension order (a stable insertion sort:
    // there are at most 16 and usually 3 or 4, and nothing is allocated).
    for (unsigned i = 1; i < inputs; ++i)
        for (unsigned j = i; j > 0 && fraction[order[j]] > fraction[order[j - 1]]; --j)
            std::swap(order[j], order[j - 1]);
    for (unsigned c = 0; c < outputs; ++c)
        out[c] = 0;
    add(position, 1 - fraction[order[0]], out);
    for (unsigned step = 0; step < inputs; ++step) {
        const unsigned k = order[step];
        position += strides[k];
        const double weight = fraction[k] - (step + 1 < inputs ? fraction[order[step + 1]] : 0.0);
        if (weight != 0)
            add(position, weight, out);
    }
}

// The same interpolation unrolled for the common sizes (3 or 4 inputs, 3 or 4 outputs), with the
// same arithmetic in the same order. load(position, c) gives output c of the grid point at that
// position.
template <unsigned Inputs, unsigned Outputs, typename Load>
void simplexFixedSize(const double* in, const std::uint32_t* grid, const double* gridScale,
                      const std::uint32_t* strides, std::uint32_t start, double* out, Load load) {
    double fraction[Inputs];
    unsigned order[Inputs];
    std::uint32_t position = locateCell(in, Inputs, grid, gridScale, strides, start, fraction);
    orderLargestFirst<Inputs>(order, [&](unsigned k) { return fraction[k]; });
    double sum[Outputs];
    const double first = 1 - fraction[order[0]];
    for (unsigned c = 0; c < Outputs; ++c)
        sum[c] = load(position, c) * first;
    for (unsigned step = 0; step < Inputs; ++step) {
        position += strides[order[step]];
        // Corners of weight 0 are added too (they change no sum, and every corner lies in the
        // grid), so that nothing branches.
        const double weight =
            fraction[order[step]] - (step + 1 < Inputs ? fraction[order[step + 1]] : 0.0);
        for (unsigned c = 0; c < Outputs; ++c)
            sum[c] += load(position, c) * weight;
    }
    for (unsigned c = 0; c < Outputs; ++c)
        out[c] = sum[c];
}

// The sizes the unrolled paths take: 4 inputs and 3 outputs (device to PCS), 3 and 3, or 3 and 4
// (PCS to CMYK). Calls sized.template operator()<Inputs, Outputs>() for them and returns true;
// false, and nothing called, for other sizes.
template <typename Sized> bool withCommonSize(unsigned inputs, unsigned outputs, Sized sized) {
    if (inputs == 4 && outputs == 3)
        sized.template operator()<4, 3>();
    else if (inputs == 3 && outputs == 3)
        sized.template operator()<3, 3>();
    else if (inputs == 3 && outputs == 4)
        sized.template operator()<3, 4>();
    else
        return false;
    return true;
}

// The unrolled interpolation for the common sizes; false, and nothing done, for other sizes.
template <typename Load>
bool simplexCommonSize(const double* in, unsigned inputs, unsigned outputs,
                       const std::uint32_t* grid, const double* gridScale,
                       const std::uint32_t* strides, std::uint32_t start, double* out, Load load) {
    return withCommonSize(inputs, outputs, [&]<unsigned Inputs, unsigned Outputs>() {
        simplexFixedSize<Inputs, Outputs>(in, grid, gridScale, strides, start, out, load);
    });
}
