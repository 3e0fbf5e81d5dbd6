#include "csICCncl2Tag.h"
#include "ClearedLogTest.h"
#include "ProfileBytes.h"
#include "TestProfiles.h"

#include <gtest/gtest.h>

namespace {

void put16(ProfileBytes& b, std::size_t at, std::uint16_t v) {
    b.put(at, {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

// Two CMYK colours "PX Red S" and "PX Blue S" laid out byte by byte.
ProfileBytes twoColours() {
    ProfileBytes b(84 + 2 * 46);
    b.bytes.assign(b.bytes.size(), 0);
    b.putText(0, "ncl2");
    b.put32(8, 0x01020304);
    b.put32(12, 2);
    b.put32(16, 4);
    b.putText(20, "PX ");
    b.putText(52, " S");
    b.putText(84, "Red");
    put16(b, 84 + 32, 0x8000);
    put16(b, 84 + 34, 0xC000);
    put16(b, 84 + 36, 0x9000);
    for (int k = 0; k < 4; ++k)
        put16(b, 84 + 38 + 2 * k, static_cast<std::uint16_t>(1000 * (k + 1)));
    b.putText(130, "Blue");
    put16(b, 130 + 32, 0x3000);
    return b;
}

using NamedColourTag = ClearedLogTest;

TEST_F(NamedColourTag, ReadsNamesAndValues) {
    const auto tag = tagOf("ncl2", twoColours().bytes);
    const auto* ncl2 = dynamic_cast<const csICCncl2Tag*>(tag.get());
    ASSERT_NE(ncl2, nullptr);
    EXPECT_EQ(ncl2->vendorFlag(), 0x01020304u);
    EXPECT_EQ(ncl2->count() * 100 + ncl2->deviceCoordinates(), 204u);
    EXPECT_EQ(ncl2->rootName(1), "Blue");
    EXPECT_EQ(ncl2->fullName(0), "PX Red S");
    std::uint16_t pcs[3], device[4];
    ASSERT_EQ(ncl2->pcs(0, pcs), 0);
    EXPECT_EQ(std::vector<std::uint16_t>(pcs, pcs + 3),
              (std::vector<std::uint16_t>{0x8000, 0xC000, 0x9000}));
    ASSERT_EQ(ncl2->device(0, device), 0);
    EXPECT_EQ(device[3], 4000);

    // A bad index leaves the output alone.
    EXPECT_EQ(ncl2->pcs(2, pcs), -1);
    EXPECT_EQ(pcs[0], 0x8000);
    EXPECT_EQ(ncl2->fullName(2), "");
    ASSERT_GE(logCount(), 1u);
    EXPECT_STREQ(logTitle(0), "index out of bounds");
}

TEST_F(NamedColourTag, BlocksThatDoNotHoldTheirRecordsAreRefused) {
    // One byte short of the second record.
    ProfileBytes shortBlock = twoColours();
    shortBlock.bytes.pop_back();
    EXPECT_EQ(tagOf("ncl2", shortBlock.bytes), nullptr);
    // A count whose records would wrap 32 bits.
    ProfileBytes huge = twoColours();
    huge.put32(12, 0xFFFFFFFF);
    EXPECT_EQ(tagOf("ncl2", huge.bytes), nullptr);
    // More device coordinates than a colour space can have.
    ProfileBytes coordinates = twoColours();
    coordinates.put32(16, 16);
    EXPECT_EQ(tagOf("ncl2", coordinates.bytes), nullptr);
    // Shorter than the fixed header.
    ProfileBytes header(83);
    header.bytes.assign(83, 0);
    header.putText(0, "ncl2");
    EXPECT_EQ(tagOf("ncl2", header.bytes), nullptr);
    EXPECT_STREQ(logTitle(0), "corrupt tag data");
}

TEST_F(NamedColourTag, UnterminatedNamesStopAtTheirThirtyTwoBytes) {
    ProfileBytes b = twoColours();
    b.putText(20, std::string(32, 'P'));
    b.putText(84, std::string(32, 'R'));
    const auto tag = tagOf("ncl2", b.bytes);
    const auto* ncl2 = dynamic_cast<const csICCncl2Tag*>(tag.get());
    EXPECT_EQ(ncl2->prefix(), std::string(32, 'P'));
    EXPECT_EQ(ncl2->rootName(0), std::string(32, 'R'));
}

TEST_F(NamedColourTag, BuiltTagHasTheFileLayout) {
    csICCncl2Tag tag(Signature("ncl2"), 4);
    tag.setVendorFlag(0x01020304);
    EXPECT_EQ(tag.setPrefix("PX "), 0);
    EXPECT_EQ(tag.setSuffix(" S"), 0);
    const std::uint16_t red[3] = {0x8000, 0xC000, 0x9000}, blue[3] = {0x3000, 0, 0};
    const std::uint16_t redDevice[4] = {1000, 2000, 3000, 4000}, blueDevice[4] = {};
    EXPECT_EQ(tag.addColour("Red", red, redDevice), 0);
    EXPECT_EQ(tag.addColour("Blue", blue, blueDevice), 1);
    const std::vector<std::uint8_t> built(tag.data(), tag.data() + tag.size());
    EXPECT_EQ(built, twoColours().bytes);

    // Long names are cut to 31 characters so that a NUL ends them; non-ASCII ones are refused.
    EXPECT_EQ(tag.addColour(std::string(40, 'x'), blue, blueDevice), 2);
    EXPECT_EQ(tag.rootName(2), std::string(31, 'x'));
    EXPECT_EQ(tag.addColour("Gr\xC3\xBCn", blue, blueDevice), -1);
    EXPECT_EQ(tag.setSuffix("\xC2\xB0"), -1);
    EXPECT_EQ(tag.count(), 3u);
    EXPECT_EQ(tag.suffix(), " S");
}

} // namespace
