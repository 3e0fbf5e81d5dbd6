#include "csICCNumbers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Bytes4 = std::array<std::uint8_t, 4>;

Bytes4 s15(double value) {
    Bytes4 bytes{};
    writeS15Fixed16(bytes.data(), value);
    return bytes;
}

// Expected patterns worked out by hand: 0.9642 x 65536 = 63189.97, rounded 63190 = 0xF6D6;
// -1.0 is the two's complement of 0x00010000; -0.5 that of 0x00008000.
TEST(csICCNumbers, S15Fixed16WritingRoundsAndSaturates) {
    EXPECT_EQ(s15(1.0), (Bytes4{0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(s15(-1.0), (Bytes4{0xFF, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(s15(-0.5), (Bytes4{0xFF, 0xFF, 0x80, 0x00}));
    EXPECT_EQ(s15(32768.0), (Bytes4{0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(s15(-40000.0), (Bytes4{0x80, 0x00, 0x00, 0x00}));
    EXPECT_EQ(s15(0.9642f), (Bytes4{0x00, 0x00, 0xF6, 0xD6}));
    // Half a unit below 32768 must not carry into the sign bit; a tiny negative value is 0.
    EXPECT_EQ(s15(32767.99999), (Bytes4{0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(s15(-1e-9), (Bytes4{0x00, 0x00, 0x00, 0x00}));
}

TEST(csICCNumbers, S15Fixed16Reading) {
    const Bytes4 minusOne{0xFF, 0xFF, 0x00, 0x00};
    const Bytes4 smallest{0x80, 0x00, 0x00, 0x00};
    const Bytes4 d50X{0x00, 0x00, 0xF6, 0xD6};
    EXPECT_EQ(readS15Fixed16(d50X.data()), 63190 / 65536.0);
    EXPECT_EQ(readS15Fixed16(smallest.data()), -32768.0);
    EXPECT_EQ(readS15Fixed16Raw(minusOne.data()), -65536);
    EXPECT_EQ(readS15Fixed16Raw(smallest.data()), -2147483647) << "raw readings are symmetric";

    Bytes4 raw{};
    writeS15Fixed16Raw(raw.data(), -2);
    EXPECT_EQ(raw, (Bytes4{0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(csICCNumbers, U16Fixed16AndU8Fixed8) {
    EXPECT_EQ(encodeU16Fixed16(1.5), 0x00018000u);
    EXPECT_EQ(encodeU16Fixed16(-0.1), 0u);
    EXPECT_EQ(encodeU16Fixed16(65535.9999999), 0xFFFFFFFFu);
    const Bytes4 u16{0x00, 0x02, 0x40, 0x00};
    EXPECT_EQ(readU16Fixed16(u16.data()), 2.25);

    // 2.2 x 256 = 563.2, rounded 563 = 0x0233.
    std::array<std::uint8_t, 2> u8{};
    writeU8Fixed8(u8.data(), 2.2);
    EXPECT_EQ(u8, (std::array<std::uint8_t, 2>{0x02, 0x33}));
    EXPECT_EQ(readU8Fixed8(u8.data()), 563 / 256.0);
    EXPECT_EQ(encodeU8Fixed8(255.999), 0xFFFF);
    EXPECT_EQ(encodeU8Fixed8(-3.0), 0);
}

TEST(csICCNumbers, CompositeNumbersAreBigEndian) {
    std::array<std::uint8_t, 12> bytes{};
    writeDateTimeNumber(bytes.data(), {2026, 12, 5, 15, 29, 4});
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 12>{0x07, 0xEA, 0, 12, 0, 5, 0, 15, 0, 29, 0, 4}));
    EXPECT_EQ(readDateTimeNumber(bytes.data()).second, 4);

    writeXYZNumber(bytes.data(), {0.9642f, 1.0f, 0.8249f});
    // 0.8249 x 65536 = 54060.6, rounded 54061 = 0xD32D.
    EXPECT_EQ(bytes,
              (std::array<std::uint8_t, 12>{0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D}));

    std::array<std::uint8_t, 8> response{0xAA, 0xAA, 0xAA, 0xAA, 0, 0, 0, 0};
    writeResponse16Number(response.data(), {0x1234, -1.0});
    EXPECT_EQ(response, (std::array<std::uint8_t, 8>{0x12, 0x34, 0, 0, 0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(readResponse16Number(response.data()).measurement, -1.0);

    std::array<std::uint8_t, 8> u64{};
    writeU64(u64.data(), 0x0102030405060708ull);
    EXPECT_EQ(u64, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(readU64(u64.data()), 0x0102030405060708ull);
    EXPECT_EQ(padToFour(21) * 100 + padToFour(20), 2420u);
}

} // namespace
