#pragma once

// Builds lut blocks for tests, byte by byte. "mft1" and "mft2": identity matrix (unless given),
// identity tables of the given sizes, and CLUT values from a function of the grid indices.
// "mAB " and "mBA ": identity curves around a 2-point CLUT of mid-grey values.

#include <cstdint>
#include <functional>
#include <vector>

struct LutBytes {
    unsigned inputs = 3, outputs = 3, grid = 2;
    unsigned inputEntries = 2, outputEntries = 2; // mft2 only; mft1 tables have 256
    std::int32_t matrix[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    // Value of output c at the grid point with these indices, on the 16-bit scale.
    std::function<std::uint16_t(const std::vector<unsigned>&, unsigned)> clut =
        [this](const std::vector<unsigned>& index, unsigned c) {
            return static_cast<std::uint16_t>(c < index.size() ? index[c] * 65535 / (grid - 1) : 0);
        };

    // Entry k of the n of every mft2 input table, on the 16-bit scale; a straight ramp by default.
    std::function<std::uint16_t(unsigned, unsigned)> inputTable = [](unsigned k, unsigned n) {
        return static_cast<std::uint16_t>(k * 65535ull / (n - 1));
    };

    std::vector<std::uint8_t> mft2() const { return build(2); }
    std::vector<std::uint8_t> mft1() const { return build(1); }

private:
    static void put16(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
        b[at] = static_cast<std::uint8_t>(v >> 8);
        b[at + 1] = static_cast<std::uint8_t>(v);
    }
    void putValue(std::vector<std::uint8_t>& b, std::size_t& at, unsigned size,
                  unsigned value16) const {
        if (size == 2) {
            put16(b, at, value16);
            at += 2;
        } else {
            b[at++] = static_cast<std::uint8_t>(value16 >> 8);
        }
    }
    std::vector<std::uint8_t> build(unsigned size) const {
        const unsigned inEntries = size == 2 ? inputEntries : 256;
        const unsigned outEntries = size == 2 ? outputEntries : 256;
        std::size_t points = 1;
        for (unsigned k = 0; k < inputs; ++k)
            points *= grid;
        const std::size_t start = size == 2 ? 52 : 48;
        std::vector<std::uint8_t> b(
            start + size * (inEntries * inputs + points * outputs + outEntries * outputs), 0);
        const char* type = size == 2 ? "mft2" : "mft1";
        for (int k = 0; k < 4; ++k)
            b[k] = static_cast<std::uint8_t>(type[k]);
        b[8] = static_cast<std::uint8_t>(inputs);
        b[9] = static_cast<std::uint8_t>(outputs);
        b[10] = static_cast<std::uint8_t>(grid); // 256 points are written as 0
        for (int k = 0; k < 9; ++k) {
            const auto raw = static_cast<std::uint32_t>(matrix[k]);
            for (int byte = 0; byte < 4; ++byte)
                b[12 + 4 * k + byte] = static_cast<std::uint8_t>(raw >> (24 - 8 * byte));
        }
        if (size == 2) {
            put16(b, 48, inEntries);
            put16(b, 50, outEntries);
        }
        std::size_t at = start;
        for (unsigned c = 0; c < inputs; ++c)
            for (unsigned k = 0; k < inEntries; ++k)
                putValue(b, at, size,
                         size == 2 ? inputTable(k, inEntries)
                                   : static_cast<unsigned>(k * 65535ull / (inEntries - 1)));
        std::vector<unsigned> index(inputs, 0);
        for (std::size_t p = 0; p < points; ++p) {
            for (unsigned c = 0; c < outputs; ++c)
                putValue(b, at, size, clut(index, c));
            for (unsigned k = inputs; k-- > 0;) {
                if (++index[k] < grid)
                    break;
                index[k] = 0;
            }
        }
        for (unsigned c = 0; c < outputs; ++c)
            for (unsigned k = 0; k < outEntries; ++k)
                putValue(b, at, size, static_cast<unsigned>(k * 65535ull / (outEntries - 1)));
        return b;
    }
};

// An "mAB " or "mBA " block with inputs and outputs channels: B curves (identity "curv" tags, one
// per PCS-side channel), an 8-bit CLUT of 2 points per input holding 128, and A curves (one per
// device-side channel). The counts are written as given, even where no reader takes them.
inline std::vector<std::uint8_t> lutABBytes(const char* type, unsigned inputs, unsigned outputs) {
    const bool aToB = type[1] == 'A';
    const unsigned pcsSide = aToB ? outputs : inputs, deviceSide = aToB ? inputs : outputs;
    std::vector<std::uint8_t> b(32, 0);
    for (int k = 0; k < 4; ++k)
        b[k] = static_cast<std::uint8_t>(type[k]);
    b[8] = static_cast<std::uint8_t>(inputs);
    b[9] = static_cast<std::uint8_t>(outputs);
    const auto put32 = [&b](std::size_t at, std::size_t v) {
        for (int byte = 0; byte < 4; ++byte)
            b[at + byte] = static_cast<std::uint8_t>(v >> (24 - 8 * byte));
    };
    const auto curves = [&b](unsigned n) {
        for (unsigned c = 0; c < n; ++c)
            b.insert(b.end(), {'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0, 0, 0});
    };
    put32(12, b.size()); // B curves
    curves(pcsSide);
    put32(24, b.size()); // CLUT
    for (unsigned k = 0; k < 16; ++k)
        b.push_back(k < inputs ? 2 : 0);
    b.insert(b.end(), {1, 0, 0, 0});
    std::size_t points = 1;
    for (unsigned k = 0; k < inputs && k < 16; ++k)
        points *= 2;
    b.insert(b.end(), points * outputs, 128);
    b.resize((b.size() + 3) & ~std::size_t{3}, 0);
    put32(28, b.size()); // A curves
    curves(deviceSide);
    return b;
}
