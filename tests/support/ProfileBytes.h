#pragma once

// Builds profile images byte by byte for tests, independently of the library's writer: a header
// with the given size field, a tag table with the given entries, and data at chosen offsets.

#include <cstdint>
#include <string>
#include <vector>

class ProfileBytes {
public:
    // A header for a v2 output profile ("prtr", "CMYK", "Lab ") with "acsp"; total size bytes.
    explicit ProfileBytes(std::uint32_t size) : bytes(size, 0) {
        put32(0, size);
        put(8, {0x02, 0x10});
        putText(12, "prtr");
        putText(16, "CMYK");
        putText(20, "Lab ");
        putText(36, "acsp");
    }

    void put(std::size_t at, std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t v : values)
            bytes.at(at++) = v;
    }
    void put32(std::size_t at, std::uint32_t v) {
        put(at,
            {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)});
    }
    void putText(std::size_t at, const std::string& text) {
        for (char c : text)
            bytes.at(at++) = static_cast<std::uint8_t>(c);
    }
    // The tag count and entry i of the table.
    void count(std::uint32_t n) { put32(128, n); }
    void entry(unsigned i, const std::string& signature, std::uint32_t offset, std::uint32_t size) {
        putText(132 + 12 * i, signature);
        put32(136 + 12 * i, offset);
        put32(140 + 12 * i, size);
    }

    std::vector<std::uint8_t> bytes;
};

inline std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t{bytes.at(at)} << 24 | std::uint32_t{bytes.at(at + 1)} << 16 |
           std::uint32_t{bytes.at(at + 2)} << 8 | bytes.at(at + 3);
}
