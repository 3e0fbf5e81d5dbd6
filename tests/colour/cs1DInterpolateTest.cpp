#include "cs1DInterpolate.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(cs1DInterpolate, LinearBetweenEvenlySpacedEntries) {
    const std::uint16_t table[3] = {0, 1000, 4000};
    const std::uint8_t bigEndian[6] = {0, 0, 0x03, 0xE8, 0x0F, 0xA0};
    EXPECT_EQ(cs1DInterpolate::at(table, 3, 65535), 4000.0) << "the top entry exactly";
    EXPECT_DOUBLE_EQ(cs1DInterpolate::at(table, 3, 49151.25), 2500.0);
    // Outside 0..65535 the first or last segment extends: p = -2 on the first segment.
    EXPECT_DOUBLE_EQ(cs1DInterpolate::at(table, 3, -65535), -2000.0);
    EXPECT_DOUBLE_EQ(cs1DInterpolate::atBigEndian(bigEndian, 3, 49151.25), 2500.0);
    const std::uint8_t eight[2] = {0, 255};
    EXPECT_DOUBLE_EQ(cs1DInterpolate::at8(eight, 2, 65535 / 3.0), 65535 / 3.0);
}

TEST(cs1DInterpolate, ExpansionRoundsEveryInput) {
    const std::uint16_t ends[2] = {0, 65535};
    std::vector<std::uint16_t> out(65536);
    cs1DInterpolate::expand(ends, 2, out.data());
    for (unsigned k = 0; k < 65536; k += 4099)
        EXPECT_EQ(out[k], k) << "two entries 0 and 65535 expand to the identity";
    const std::uint16_t coarse[3] = {0, 1001, 4000};
    cs1DInterpolate::expand(coarse, 3, out.data());
    // At k = 16384: p = 0.50000763, value 500.5076 + 0.5, truncated.
    EXPECT_EQ(out[16384], 501);
    EXPECT_EQ(out[65535], 4000);
    const std::uint8_t bigEndian[6] = {0, 0, 0x03, 0xE9, 0x0F, 0xA0};
    std::vector<std::uint16_t> fromBytes(65536);
    cs1DInterpolate::expandBigEndian(bigEndian, 3, fromBytes.data());
    EXPECT_EQ(fromBytes, out);
}

TEST(cs1DInterpolate, InversionOfRisingAndFallingTables) {
    std::vector<std::uint16_t> rising(65536), inverse(65536);
    for (unsigned k = 0; k < 65536; ++k)
        rising[k] = static_cast<std::uint16_t>(k < 1000 ? 0 : k / 2);
    cs1DInterpolate::invert(rising.data(), inverse.data());
    EXPECT_EQ(inverse[1], 1000) << "the first index whose entry reaches the value";
    EXPECT_EQ(inverse[501], 1002);
    EXPECT_EQ(inverse[32768], 65535) << "beyond the table's range: 65535";

    std::vector<std::uint16_t> falling(65536);
    for (unsigned k = 0; k < 65536; ++k)
        falling[k] = static_cast<std::uint16_t>(40000 - k * 40000 / 65535);
    cs1DInterpolate::invert(falling.data(), inverse.data());
    EXPECT_GT(inverse[10000], inverse[20000]) << "a falling inverse";
    EXPECT_EQ(inverse[40000], 1) << "entries 0 and 1 are both 40000; the search stops at 1";
    EXPECT_EQ(inverse[40001], 0) << "beyond the table's range: 0";
}

} // namespace
