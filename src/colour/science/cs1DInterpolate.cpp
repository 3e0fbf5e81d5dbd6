#include "cs1DInterpolate.h"

#include <cmath>

namespace cs1DInterpolate {

namespace {

// The segment and the position in it for x in a table of n entries.
struct Segment {
    std::uint32_t i;
    double t;
};

Segment segment(std::uint32_t n, double x) {
    const double p = x / 65535.0 * (n - 1);
    double base = std::floor(p);
    if (!(base >= 0)) // below the table, or a NaN
        base = 0;
    if (base >= n - 1)
        base = n - 2;
    const auto i = static_cast<std::uint32_t>(base);
    return {i, p - i};
}

std::uint16_t readBigEndian(const std::uint8_t* table, std::uint32_t i) {
    return static_cast<std::uint16_t>(table[2 * i] << 8 | table[2 * i + 1]);
}

template <typename Read> void expandWith(std::uint32_t n, std::uint16_t* out, Read read) {
    for (std::uint32_t k = 0; k < 65536; ++k) {
        const Segment s = segment(n, k);
        const double value = (1 - s.t) * read(s.i) + s.t * read(s.i + 1) + 0.5;
        out[k] = static_cast<std::uint16_t>(value < 0 ? 0 : value >= 65535 ? 65535 : value);
    }
}

} // namespace

double at(const std::uint16_t* table, std::uint32_t n, double x) {
    const Segment s = segment(n, x);
    return (1 - s.t) * table[s.i] + s.t * table[s.i + 1];
}

double atBigEndian(const std::uint8_t* table, std::uint32_t n, double x) {
    const Segment s = segment(n, x);
    return (1 - s.t) * readBigEndian(table, s.i) + s.t * readBigEndian(table, s.i + 1);
}

double at8(const std::uint8_t* table, std::uint32_t n, double x) {
    const Segment s = segment(n, x);
    return 257.0 * ((1 - s.t) * table[s.i] + s.t * table[s.i + 1]);
}

void expand(const std::uint16_t* table, std::uint32_t n, std::uint16_t* out) {
    expandWith(n, out, [table](std::uint32_t i) { return static_cast<double>(table[i]); });
}

void expandBigEndian(const std::uint8_t* table, std::uint32_t n, std::uint16_t* out) {
    expandWith(n, out,
               [table](std::uint32_t i) { return static_cast<double>(readBigEndian(table, i)); });
}

void expand8(const std::uint8_t* table, std::uint32_t n, std::uint16_t* out) {
    expandWith(n, out, [table](std::uint32_t i) { return 257.0 * table[i]; });
}

void invert(const std::uint16_t* forward, std::uint16_t* inverse) {
    if (forward[0] <= forward[65535]) {
        std::uint32_t j = 0;
        for (std::uint32_t v = 0; v < 65536; ++v) {
            while (j <= 65535 && forward[j] < v)
                ++j;
            inverse[v] = static_cast<std::uint16_t>(j > 65535 ? 65535 : j);
        }
    } else {
        std::int64_t j = 65535;
        for (std::uint32_t v = 0; v < 65536; ++v) {
            while (j >= 0 && forward[j] < v)
                --j;
            inverse[v] = static_cast<std::uint16_t>(j < 0 ? 0 : j);
        }
    }
}

} // namespace cs1DInterpolate
