#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The MD5 message digest of RFC 1321, which ICC version 4 uses for the profile ID.
class csMD5 {
public:
    using Digest = std::array<std::uint8_t, 16>;

    csMD5();
    void update(const std::uint8_t* data, std::size_t length);
    // The digest of everything passed to update; the object is spent afterwards.
    Digest finish();

    static Digest of(const std::uint8_t* data, std::size_t length);

private:
    void transform(const std::uint8_t block[64]);

    std::uint32_t state_[4];
    std::uint64_t length_ = 0; // in bytes
    std::uint8_t buffer_[64];
};
