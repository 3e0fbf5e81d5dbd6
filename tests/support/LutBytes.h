#pragma once

// Builds "mft1" and "mft2" blocks for tests, byte by byte: identity matrix (unless given),
// identity tables of the given sizes, and CLUT values from a function of the grid indices.

#include <cstdint>
#include <functional>
#include <vector>

struct LutBytes {
    unsigned inputs = 3, outputs = 3, grid = 2;
    unsigned inputEntries = 2, outputEntries = 2; // mft2 only; mft1 tables have 256
    std::int32_t matrix[9] = {65536, 0, 0, 0, 65536, 0, 0, 0, 65536};
    std::uint8_t gridByte = 0; // written instead of grid when nonzero... see below
    bool useGridByte = false;
    // Value of output c at the grid point with these indices, on the 16-bit scale.
    std::function<std::uint16_t(const std::vector<unsigned>&, unsigned)> clut =
        [this](const std::vector<unsigned>& index, unsigned c) {
            return static_cast<std::uint16_t>(c < index.size() ? index[c] * 65535 / (grid - 1) : 0);
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
        b[10] = useGridByte ? gridByte : static_cast<std::uint8_t>(grid);
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
                putValue(b, at, size, static_cast<unsigned>(k * 65535ull / (inEntries - 1)));
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
