#include "csICCXYZTag.h"
#include "ClearedLogTest.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

const Signature wtpt("wtpt");

using csICCXYZTagTest = ClearedLogTest;

TEST_F(csICCXYZTagTest, BuiltTagHasTypeHeaderAndRepeatedValue) {
    const csICCXYZTag tag(wtpt, 0.9642f, 1.0f, 0.8249f, 2);
    ASSERT_EQ(tag.size(), 8u + 24u);
    EXPECT_EQ(std::memcmp(tag.data(), "XYZ \0\0\0\0", 8), 0);
    EXPECT_EQ(tag.count(), 2u);
    EXPECT_EQ(tag.getXRaw(1) + tag.getYRaw(1) + tag.getZRaw(1), 63190 + 65536 + 54061);
}

TEST_F(csICCXYZTagTest, NumbersLieAtTheirOffsets) {
    csICCXYZTag tag(wtpt, 0, 0, 0, 3);
    EXPECT_EQ(tag.setZRaw(2, -2), 0);
    EXPECT_EQ(tag.setX(1, -1.0f), 0);
    // Z of number 2 at 16 + 24 = 40; X of number 1 at 8 + 12 = 20.
    EXPECT_EQ(std::memcmp(tag.data() + 40, "\xFF\xFF\xFF\xFE", 4), 0);
    EXPECT_EQ(std::memcmp(tag.data() + 20, "\xFF\xFF\x00\x00", 4), 0);

    // A copy owns its data.
    csICCTag copy;
    copy = tag;
    EXPECT_NE(copy.data(), tag.data());
    copy = csICCTag();
    EXPECT_EQ(copy.data(), nullptr);
    std::int32_t x = 1, y = 1, z = 1;
    EXPECT_EQ(tag.getXYZRaw(2, x, y, z), 0);
    EXPECT_EQ(z, -2);
}

TEST_F(csICCXYZTagTest, BadIndexFailsWithItsMessageAndChangesNothing) {
    // A tag of 20 bytes read from a file holds one XYZ number.
    std::array<std::uint8_t, 20> block{'X', 'Y', 'Z', ' ', 0, 0, 0, 0, 0, 0, 1, 0};
    csICCXYZTag tag(wtpt, 20, block.data());
    ASSERT_EQ(tag.count(), 1u);
    EXPECT_EQ(tag.getX(0), 1.0f / 256);

    float X = 7, Y = 7, Z = 7;
    EXPECT_EQ(tag.getXYZ(1, X, Y, Z), -1);
    EXPECT_EQ(X, 7.0f);
    EXPECT_EQ(tag.setY(1, 0.5f), -1);
    EXPECT_EQ(tag.getZRaw(5), 0);
    ASSERT_EQ(logCount(), 3u);
    EXPECT_STREQ(logTitle(0), "index out of bounds");
    EXPECT_STREQ(logMessage(0), "tried to get XYZ number 1 of 1");
    EXPECT_STREQ(logMessage(2), "tried to get Z of XYZ number 5 of 1");
    EXPECT_EQ(std::memcmp(tag.data(), block.data(), block.size()), 0);
}

TEST_F(csICCXYZTagTest, TagWithoutNumbersRefusesEveryAccess) {
    const std::array<std::uint8_t, 8> header{'X', 'Y', 'Z', ' ', 0, 0, 0, 0};
    csICCXYZTag tag(wtpt, 8, header.data());
    EXPECT_EQ(tag.setXYZ(0, 1, 1, 1), -1);
    EXPECT_STREQ(logMessage(0), "tried to set XYZ number 0 of 0");
}

TEST(csICCTagDeathTest, TypeSignatureOfATagWithoutDataIsAProgrammingError) {
    const csICCTag empty;
    EXPECT_DEATH((void)empty.typeSignature(), "Assertion `data_ != 0' failed");
}

} // namespace
