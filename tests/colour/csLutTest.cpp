#include "LutBytes.h"
#include "csICCmft1Interpolator.h"
#include "csICCmft1Tag.h"
#include "csICCmft2Interpolator.h"
#include "csICCmft2Tag.h"
#include "csLog.h"
#include "tagFactory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

namespace {

template <typename Tag> std::unique_ptr<Tag> make(const std::vector<std::uint8_t>& block) {
    std::unique_ptr<csICCTag> tag(tagFactory(
        nullptr, Signature("A2B0"), static_cast<std::uint32_t>(block.size()), block.data()));
    return std::unique_ptr<Tag>(dynamic_cast<Tag*>(tag.release()));
}

class Luts : public testing::Test {
protected:
    Luts() { clearLog(); }
    ~Luts() override { clearLog(); }
};

TEST_F(Luts, IdentityLutsReturnTheirInputs) {
    LutBytes bytes; // 3 in, 3 out, a 2-point grid holding the corners of the unit cube
    auto mft2 = make<csICCmft2Tag>(bytes.mft2());
    auto mft1 = make<csICCmft1Tag>(bytes.mft1());
    ASSERT_TRUE(mft2 && mft1);
    csICCmft2Interpolator lut2(mft2.get());
    csICCmft1Interpolator lut1(mft1.get());
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        std::uint16_t in[3], copy[3], out[3];
        double inD[3], outD[3];
        for (int c = 0; c < 3; ++c)
            in[c] = copy[c] = static_cast<std::uint16_t>(random() % 65536);
        for (int c = 0; c < 3; ++c)
            inD[c] = in[c];
        lut2.convert(copy, out, 1);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(out[c], in[c], 1.0);
        lut2.convert(inD, outD, 1);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(outD[c], in[c], 1e-9);
        for (int c = 0; c < 3; ++c)
            copy[c] = in[c], inD[c] = in[c];
        lut1.convert(copy, out, 1);
        lut1.convert(inD, outD, 1);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(out[c], in[c], 1.0);
            EXPECT_NEAR(outD[c], in[c], 1e-9);
        }
    }
}

TEST_F(Luts, ExtendedGridIsAnnouncedOncePerTag) {
    LutBytes bytes;
    bytes.inputs = 1;
    bytes.outputs = 1;
    bytes.grid = 256;
    bytes.useGridByte = true; // grid byte 0 means 256 points
    auto tag = make<csICCmft2Tag>(bytes.mft2());
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->gridPoints(0), 256u);
    csICCmft2Interpolator lut(tag.get());
    ASSERT_EQ(logCount(), 1u);
    EXPECT_STREQ(logTitle(0), "extended CLUT");
    EXPECT_STREQ(logMessage(0), "number of CLUT points set to 256");
}

TEST_F(Luts, TopOfTheGridUsesTheLastCell) {
    // One input, grid of 3 points 0, 10000, 60000. At 65535 the double path is at base 1 with
    // fraction 1 (60000); the 16-bit path at base 1 with fraction 65535:
    // ((10000 x 1 + 128) >> 8) + ((60000 x 65535 + 128) >> 8) = 39 + 15359765, then
    // (15359804 + 128) >> 8 = 59999.
    LutBytes bytes;
    bytes.inputs = 1;
    bytes.outputs = 1;
    bytes.grid = 3;
    bytes.clut = [](const std::vector<unsigned>& index, unsigned) {
        const std::uint16_t values[3] = {0, 10000, 60000};
        return values[index[0]];
    };
    auto tag = make<csICCmft2Tag>(bytes.mft2());
    csICCmft2Interpolator lut(tag.get());
    std::uint16_t in = 65535, out = 0;
    lut.convert(&in, &out, 1);
    EXPECT_EQ(out, 59999);
    double inD = 65535, outD = 0;
    lut.convert(&inD, &outD, 1);
    EXPECT_EQ(outD, 60000.0);
}

TEST(LutsDeathTest, NullPlanesAreProgrammingErrors) {
    LutBytes bytes;
    auto tag = make<csICCmft2Tag>(bytes.mft2());
    csICCmft2Interpolator lut(tag.get());
    std::uint16_t plane[1] = {0};
    std::uint16_t* planes[3] = {plane, nullptr, plane};
    std::uint16_t* full[3] = {plane, plane, plane};
    EXPECT_DEATH(lut.convert(planes, full, 1), "raw_in\\[iin\\] != 0");
    EXPECT_DEATH(lut.convert(full, planes, 1), "raw_out\\[iin\\] != 0");
    double value[1] = {0};
    double* doubles[3] = {value, nullptr, value};
    double* allDoubles[3] = {value, value, value};
    EXPECT_DEATH(lut.convert(doubles, allDoubles, 1), "rawf_in\\[iin\\] != 0");
    EXPECT_DEATH(lut.convert(allDoubles, doubles, 1), "rawf_out\\[iout\\] !=0");
}

TEST_F(Luts, EqualFractionsGiveTheSameResultInEitherOrder) {
    LutBytes bytes;
    bytes.grid = 3;
    bytes.clut = [](const std::vector<unsigned>& index, unsigned c) {
        return static_cast<std::uint16_t>((index[0] * 7 + index[1] * 13 + index[2] * 29 + c) *
                                          1000);
    };
    auto tag = make<csICCmft2Tag>(bytes.mft2());
    csICCmft2Interpolator lut(tag.get());
    // Inputs with equal fractions in two dimensions, swapped between them.
    std::uint16_t a[3] = {20000, 20000, 50000}, b[3] = {20000, 20000, 50000};
    std::uint16_t outA[3], outB[3];
    lut.convert(a, outA, 1);
    lut.clut(b, outB, 1, 3, 3);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(outA[c], outB[c]);
    double d[3] = {20000, 20000, 50000}, outD[3];
    lut.convert(d, outD, 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(outA[c], outD[c], 1.0);
}

TEST_F(Luts, SixteenBitAndDoublePathsAgree) {
    for (unsigned inputs : {3u, 4u, 5u}) {
        LutBytes bytes;
        bytes.inputs = inputs;
        bytes.grid = inputs == 5 ? 5 : 9;
        bytes.inputEntries = 256;
        bytes.outputEntries = 4096;
        bytes.clut = [](const std::vector<unsigned>& index, unsigned c) {
            double v = 0;
            for (std::size_t k = 0; k < index.size(); ++k)
                v += std::sin(index[k] * 0.7 + c + k) * 6000;
            return static_cast<std::uint16_t>(32768 + v);
        };
        auto tag = make<csICCmft2Tag>(bytes.mft2());
        ASSERT_TRUE(tag);
        csICCmft2Interpolator lut(tag.get());
        std::mt19937 random(inputs);
        double worst = 0;
        for (int i = 0; i < 2000; ++i) {
            std::uint16_t in16[5], out16[3];
            double inD[5], outD[3];
            for (unsigned k = 0; k < inputs; ++k)
                inD[k] = in16[k] = static_cast<std::uint16_t>(random() % 65536);
            lut.convert(in16, out16, 1);
            lut.convert(inD, outD, 1);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(out16[c] - outD[c]));
        }
        EXPECT_LE(worst, 2.0) << inputs << " inputs";
    }
}

TEST_F(Luts, Mft1TablesReadTimes257AndStoreTheHighByte) {
    LutBytes bytes;
    auto tag = make<csICCmft1Tag>(bytes.mft1());
    const std::uint32_t top[3] = {255, 255, 255};
    std::uint16_t values[3];
    tag->inputTableLookup(top, values);
    EXPECT_EQ(values[0], 65535);
    const std::uint16_t written[3] = {0x12FF, 0x3400, 0xFFFF};
    const std::uint32_t at[3] = {5, 5, 5};
    tag->outputTableWrite(at, written);
    EXPECT_EQ(tag->outputTable(0)[5], 0x12);
    EXPECT_EQ(tag->outputTable(1)[5], 0x34);
    const std::uint32_t grid[3] = {1, 0, 1};
    tag->clutRead(grid, values);
    EXPECT_EQ(values[0], 65535);
    EXPECT_EQ(values[1], 0);
}

TEST_F(Luts, NativeOrderIsUndoneBeforeWriting) {
    LutBytes bytes;
    bytes.inputEntries = 256;
    const std::vector<std::uint8_t> block = bytes.mft2();
    auto tag = make<csICCmft2Tag>(block);
    {
        csICCmft2Interpolator lut(tag.get());
        std::uint16_t in[3] = {1, 2, 3}, out[3];
        lut.convert(in, out, 1);
    }
    EXPECT_TRUE(tag->isNativeOrder());
    const std::uint32_t index[3] = {255, 0, 0};
    std::uint16_t value[3];
    tag->inputTableLookup(index, value);
    EXPECT_EQ(value[0], 65535) << "reads follow the byte order";
    tag->beforeWrite();
    EXPECT_FALSE(tag->isNativeOrder());
    EXPECT_EQ(std::memcmp(tag->data(), block.data(), block.size()), 0);
}

TEST_F(Luts, LutsWithFewerThanThreeInputsSkipTheMatrix) {
    LutBytes bytes;
    bytes.inputs = 1;
    bytes.outputs = 1;
    bytes.matrix[0] = 2 * 65536; // would double the input
    auto tag = make<csICCmft2Tag>(bytes.mft2());
    csICCmft2Interpolator lut(tag.get());
    double in = 1000, out = 0;
    lut.convert(&in, &out, 1);
    EXPECT_NEAR(out, 1000, 1e-9);
}

TEST_F(Luts, MatrixOnThreeInputs) {
    LutBytes bytes;
    bytes.matrix[0] = 32768; // 0.5
    bytes.matrix[4] = 65536;
    bytes.matrix[8] = 65536;
    auto tag = make<csICCmft2Tag>(bytes.mft2());
    csICCmft2Interpolator lut(tag.get());
    std::uint16_t in16[3] = {40000, 100, 100}, out16[3];
    lut.convert(in16, out16, 1);
    EXPECT_NEAR(out16[0], 20000, 1.0);
    double inD[3] = {40000, 100, 100}, outD[3];
    lut.convert(inD, outD, 1);
    EXPECT_NEAR(outD[0], 20000, 1e-9);
}

TEST_F(Luts, InverseOfTheInputTables) {
    LutBytes bytes;
    bytes.inputEntries = 3;
    auto block = bytes.mft2();
    // Input table of channel 0: 1000, 1000, 60000 (a flat start).
    block[52] = 0x03, block[53] = 0xE8, block[54] = 0x03, block[55] = 0xE8;
    block[56] = 0xEA, block[57] = 0x60;
    auto tag = make<csICCmft2Tag>(block);
    csICCmft2Interpolator lut(tag.get());
    const std::uint16_t in[6] = {1000, 0, 0, 60000, 0, 0};
    std::uint16_t out[6] = {};
    lut.invertInputTables(in, out, 2, 3, 3);
    EXPECT_EQ(out[0], 32767) << "the end of the leading run of 1000";
    EXPECT_EQ(out[3], 65535);
    EXPECT_EQ(out[1], 0);
}

TEST_F(Luts, MalformedLutsAreRefused) {
    LutBytes bytes;
    std::vector<std::uint8_t> block = bytes.mft2();
    block[8] = 0;
    EXPECT_EQ(make<csICCmft2Tag>(block), nullptr);
    block[8] = 17;
    EXPECT_EQ(make<csICCmft2Tag>(block), nullptr);
    block[8] = 3;
    block.resize(block.size() - 1);
    EXPECT_EQ(make<csICCmft2Tag>(block), nullptr);
    std::vector<std::uint8_t> oneEntry = bytes.mft2();
    oneEntry[49] = 1;
    EXPECT_EQ(make<csICCmft2Tag>(oneEntry), nullptr);
    EXPECT_EQ(logCount(), 4u);
    EXPECT_STREQ(logTitle(0), "corrupt tag data");
    EXPECT_STREQ(logMessage(0), "mft2 tag with 0 input and 3 output channels");
}

} // namespace
