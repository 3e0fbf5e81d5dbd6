#pragma once

#include <bit>
#include <cstdint>
#include <string>

// A four-character ICC code (tag, type, device class, colour space, ...): the four bytes exactly
// as they stand in the file, held in one 32-bit word and compared as a whole.
class Signature {
public:
    constexpr Signature() = default;

    // From a four-character code written as text, such as Signature("XYZ ").
    constexpr explicit Signature(const char (&code)[5])
        : word_(fromBytes(static_cast<std::uint8_t>(code[0]), static_cast<std::uint8_t>(code[1]),
                          static_cast<std::uint8_t>(code[2]), static_cast<std::uint8_t>(code[3]))) {
    }

    // From four bytes in file order.
    static Signature read(const std::uint8_t* bytes);
    // Writes the four bytes in file order.
    void write(std::uint8_t* bytes) const;

    // The word in the machine's byte order, as held.
    constexpr std::uint32_t word() const { return word_; }
    static constexpr Signature fromWord(std::uint32_t word) {
        Signature signature;
        signature.word_ = word;
        return signature;
    }

    // The four bytes in file order as text (NUL bytes included as they are).
    std::string text() const;

    constexpr bool operator==(const Signature&) const = default;

private:
    static constexpr std::uint32_t fromBytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                             std::uint8_t b3) {
        if constexpr (std::endian::native == std::endian::little)
            return std::uint32_t{b0} | std::uint32_t{b1} << 8 | std::uint32_t{b2} << 16 |
                   std::uint32_t{b3} << 24;
        else
            return std::uint32_t{b3} | std::uint32_t{b2} << 8 | std::uint32_t{b1} << 16 |
                   std::uint32_t{b0} << 24;
    }

    std::uint32_t word_ = 0;
};
