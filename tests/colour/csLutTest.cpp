#include "ClearedLogTest.h"
#include "LutBytes.h"
#include "TestProfiles.h"
#include "csICCmft1Interpolator.h"
#include "csICCmft1Tag.h"
#include "csICCmft2Interpolator.h"
#include "csICCmft2Tag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

template <typename Tag> std::unique_ptr<Tag> make(const std::vector<std::uint8_t>& block) {
    std::unique_ptr<csICCTag> tag = tagOf("A2B0", block);
    return std::unique_ptr<Tag>(dynamic_cast<Tag*>(tag.release()));
}

using Luts = ClearedLogTest;

TEST_F(Luts, IdentityLutsReturnTheirInputsAndTheMatrixActsOnThreeInputs) {
    LutBytes bytes; // 3 in, 3 out, a 2-point grid holding the corners of the unit cube
    auto mft2 = make<csICCmft2Tag>(bytes.mft2());
    auto mft1 = make<csICCmft1Tag>(bytes.mft1());
    csICCmft2Interpolator lut2(mft2.get());
    csICCmft1Interpolator lut1(mft1.get());
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        for (csICCmftInterpolator* lut : {static_cast<csICCmftInterpolator*>(&lut2),
                                          static_cast<csICCmftInterpolator*>(&lut1)}) {
            std::uint16_t in[3], out[3];
            double inD[3], outD[3];
            for (int c = 0; c < 3; ++c)
                inD[c] = in[c] = static_cast<std::uint16_t>(random() % 65536);
            const std::uint16_t given[3] = {in[0], in[1], in[2]};
            lut->convert(in, out, 1);
            lut->convert(inD, outD, 1);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(out[c], given[c], 1.0);
                EXPECT_NEAR(outD[c], given[c], 1e-9);
            }
        }
    }

    LutBytes half;
    half.matrix[0] = 32768; // 0.5
    auto scaled = make<csICCmft2Tag>(half.mft2());
    csICCmft2Interpolator matrix(scaled.get());
    std::uint16_t in16[3] = {40000, 100, 100}, out16[3];
    matrix.convert(in16, out16, 1);
    EXPECT_NEAR(out16[0], 20000, 1.0);
    double inD[3] = {40000, 100, 100}, outD[3];
    matrix.convert(inD, outD, 1);
    EXPECT_NEAR(outD[0], 20000, 1e-9);

    LutBytes one;
    one.inputs = one.outputs = 1;
    one.matrix[0] = 2 * 65536; // would double the input
    auto single = make<csICCmft2Tag>(one.mft2());
    csICCmft2Interpolator skipped(single.get());
    double x = 1000, y = 0;
    skipped.convert(&x, &y, 1);
    EXPECT_NEAR(y, 1000, 1e-9) << "fewer than three inputs skip the matrix";
}

// The 16-bit CLUT of an "mft2" in fixed point, on corners 1001 x (1 + 3 i0 + 5 i1 + 7 i2 (+ 11
// i3)), worked out by hand. Three inputs (31400, 10700, 3400): weights 34136, 20700, 7300, 3400
// on the corners 1001, 4004, 9009, 16016 sum to 237273036; (sum + 128) >> 8 = 926848 and
// (926848 + 128) >> 8 = 3621. Without either + 128 it would be 3620.
TEST_F(Luts, SixteenBitCLUTRoundsInFixedPoint) {
    struct Case {
        unsigned inputs;
        std::vector<std::uint16_t> x;
        std::uint16_t expected;
    };
    for (const Case& c :
         {Case{3, {31400, 10700, 3400}, 3621}, Case{4, {30100, 59000, 7200, 41000}, 14545}}) {
        LutBytes bytes;
        bytes.inputs = c.inputs;
        bytes.clut = [](const std::vector<unsigned>& index, unsigned) {
            const unsigned coefficients[4] = {3, 5, 7, 11};
            unsigned v = 1;
            for (std::size_t k = 0; k < index.size(); ++k)
                v += coefficients[k] * index[k];
            return static_cast<std::uint16_t>(1001 * v);
        };
        auto tag = make<csICCmft2Tag>(bytes.mft2());
        csICCmft2Interpolator lut(tag.get());
        std::vector<std::uint16_t> in = c.x, out(3);
        lut.convert(in.data(), out.data(), 1);
        EXPECT_EQ(out[0], c.expected) << c.inputs << " inputs";
    }

    // One input, grid 0, 10000, 60000: at 65535 the 16-bit path is at base 1 with fraction
    // 65535: ((10000 x 1 + 128) >> 8) + ((60000 x 65535 + 128) >> 8) = 39 + 15359765, then
    // (15359804 + 128) >> 8 = 59999; the double path at base 1 with fraction 1 gives 60000.
    LutBytes top;
    top.inputs = top.outputs = 1;
    top.grid = 3;
    top.clut = [](const std::vector<unsigned>& index, unsigned) {
        const std::uint16_t values[3] = {0, 10000, 60000};
        return values[index[0]];
    };
    auto tag = make<csICCmft2Tag>(top.mft2());
    csICCmft2Interpolator lut(tag.get());
    std::uint16_t in = 65535, out = 0;
    lut.convert(&in, &out, 1);
    EXPECT_EQ(out, 59999);
    double inD = 65535, outD = 0;
    lut.convert(&inD, &outD, 1);
    EXPECT_EQ(outD, 60000.0);
}

// The double path against the fixed-point one, whose roundings are worked out by hand above:
// the unrolled three- and four-input simplexes and the general one for five.
TEST_F(Luts, TheDoublePathFollowsTheFixedPointOne) {
    for (unsigned inputs : {3u, 4u, 5u}) {
        LutBytes bytes;
        bytes.inputs = inputs;
        bytes.grid = 5;
        bytes.inputEntries = 256;
        bytes.outputEntries = 4096;
        bytes.inputTable = [](unsigned k, unsigned n) {
            return static_cast<std::uint16_t>(65535 * std::pow(k / (n - 1.0), 1.8) + 0.5);
        };
        // Not a sum of functions of one input each, for which every simplex order agrees.
        bytes.clut = [](const std::vector<unsigned>& index, unsigned c) {
            double v = std::sin(0.9 * index[0] * index[1] + c) * 3000 +
                       std::sin(0.8 * index[1] * index[2] - c) * 3000;
            for (std::size_t k = 0; k < index.size(); ++k)
                v += std::sin(index[k] * 0.7 + c + k) * 4000;
            return static_cast<std::uint16_t>(32768 + v);
        };
        auto tag = make<csICCmft2Tag>(bytes.mft2());
        csICCmft2Interpolator lut(tag.get());
        std::mt19937 random(5);
        // 499 pixels: one by one, and together (four at a time where the processor can, the
        // same to the bit). The conversion works in place on its input.
        std::vector<double> all, one;
        for (int i = 0; i < 499; ++i) {
            std::uint16_t in16[5], out16[3];
            double inD[5], outD[3];
            for (unsigned k = 0; k < inputs; ++k)
                inD[k] = in16[k] = static_cast<std::uint16_t>(random() % 65536);
            if (i == 7) { // doubles outside the range of 16 bits, among the others
                inD[0] = -1000;
                inD[1] = 70000;
            }
            all.insert(all.end(), inD, inD + inputs);
            lut.convert(in16, out16, 1);
            lut.convert(inD, outD, 1);
            one.insert(one.end(), outD, outD + 3);
            for (int c = 0; c < 3 && i != 7; ++c)
                ASSERT_LE(std::abs(out16[c] - outD[c]), 2.0) << inputs << " inputs";
        }
        std::vector<double> together(one.size());
        lut.convert(all.data(), together.data(), 499);
        EXPECT_EQ(together, one) << inputs << " inputs";
    }
}

TEST_F(Luts, TableValuesAndByteOrder) {
    LutBytes bytes;
    auto mft1 = make<csICCmft1Tag>(bytes.mft1());
    const std::uint32_t top[3] = {255, 255, 255}, at[3] = {5, 5, 5}, grid[3] = {1, 0, 1};
    std::uint16_t values[3];
    mft1->inputTableLookup(top, values);
    EXPECT_EQ(values[0], 65535) << "8-bit entries read times 257";
    const std::uint16_t written[3] = {0x12FF, 0x3400, 0xFFFF};
    mft1->outputTableWrite(at, written);
    EXPECT_EQ(mft1->outputTable(0)[5], 0x12) << "and store their high byte";
    mft1->clutRead(grid, values);
    EXPECT_EQ(values[0], 65535);
    EXPECT_EQ(values[1], 0);

    // An "mft2" turns to the machine's byte order for an interpolator and back for writing.
    bytes.inputEntries = 256;
    const std::vector<std::uint8_t> block = bytes.mft2();
    auto mft2 = make<csICCmft2Tag>(block);
    {
        csICCmft2Interpolator lut(mft2.get());
        std::uint16_t in[3] = {1, 2, 3}, out[3];
        lut.convert(in, out, 1);
    }
    EXPECT_TRUE(mft2->isNativeOrder());
    const std::uint32_t last[3] = {255, 0, 0};
    mft2->inputTableLookup(last, values);
    EXPECT_EQ(values[0], 65535) << "reads follow the byte order";
    mft2->beforeWrite();
    EXPECT_FALSE(mft2->isNativeOrder());
    EXPECT_EQ(std::memcmp(mft2->data(), block.data(), block.size()), 0);
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

TEST_F(Luts, ExtendedGridsAreAnnouncedAndMalformedLutsRefused) {
    LutBytes bytes;
    bytes.inputs = bytes.outputs = 1;
    bytes.grid = 256;
    auto extended = make<csICCmft2Tag>(bytes.mft2());
    ASSERT_TRUE(extended);
    EXPECT_EQ(extended->gridPoints(0), 256u);
    csICCmft2Interpolator lut(extended.get());
    ASSERT_EQ(logCount(), 1u) << "once per tag";
    EXPECT_STREQ(logMessage(0), "number of CLUT points set to 256");

    clearLog();
    const std::vector<std::uint8_t> good = LutBytes().mft2();
    std::vector<std::uint8_t> noInputs = good, manyInputs = good, cut = good, oneEntry = good;
    noInputs[8] = 0;
    manyInputs[8] = 17;
    cut.pop_back();
    oneEntry[49] = 1;
    for (const auto* broken : {&noInputs, &manyInputs, &cut, &oneEntry})
        EXPECT_EQ(make<csICCmft2Tag>(*broken), nullptr);
    EXPECT_EQ(logCount(), 4u);
    EXPECT_STREQ(logMessage(0), "mft2 tag with 0 input and 3 output channels");
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

} // namespace
