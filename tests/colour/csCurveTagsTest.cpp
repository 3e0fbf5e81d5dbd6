#include "ClearedLogTest.h"
#include "csICCCurveTable.h"
#include "csICCToneCurve.h"
#include "csICCcurvTag.h"
#include "csICCparaTag.h"
#include "tagFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <memory>
#include <random>

namespace {

std::vector<std::uint8_t> curvBlock(std::initializer_list<std::uint16_t> entries) {
    std::vector<std::uint8_t> block(12 + 2 * entries.size(), 0);
    block[0] = 'c', block[1] = 'u', block[2] = 'r', block[3] = 'v';
    block[11] = static_cast<std::uint8_t>(entries.size());
    std::size_t at = 12;
    for (std::uint16_t e : entries) {
        block[at++] = static_cast<std::uint8_t>(e >> 8);
        block[at++] = static_cast<std::uint8_t>(e);
    }
    return block;
}

csICCcurvTag curve(std::initializer_list<std::uint16_t> entries) {
    const std::vector<std::uint8_t> block = curvBlock(entries);
    return csICCcurvTag(Signature("rTRC"), static_cast<std::uint32_t>(block.size()), block.data());
}

std::vector<std::uint8_t> paraBlock(std::uint16_t type, std::initializer_list<double> parameters,
                                    std::uint32_t extra = 0) {
    std::vector<std::uint8_t> block(12 + 4 * parameters.size() + extra, 0);
    block[0] = 'p', block[1] = 'a', block[2] = 'r', block[3] = 'a';
    block[8] = static_cast<std::uint8_t>(type >> 8);
    block[9] = static_cast<std::uint8_t>(type);
    std::size_t at = 12;
    for (double v : parameters) {
        const auto raw =
            static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v * 65536)));
        for (int shift = 24; shift >= 0; shift -= 8)
            block[at++] = static_cast<std::uint8_t>(raw >> shift);
    }
    return block;
}

std::unique_ptr<csICCparaTag> para(std::uint16_t type, std::initializer_list<double> parameters) {
    const std::vector<std::uint8_t> block = paraBlock(type, parameters);
    if (!csICCparaTag::validate(block.data(), static_cast<std::uint32_t>(block.size())))
        return nullptr;
    return std::make_unique<csICCparaTag>(Signature("rTRC"),
                                          static_cast<std::uint32_t>(block.size()), block.data());
}

using CurveTags = ClearedLogTest;

TEST_F(CurveTags, IdentityAndGammaOne) {
    for (const csICCcurvTag& identity : {curve({}), curve({256})}) {
        EXPECT_TRUE(identity.isIdentity());
        EXPECT_TRUE(identity.isGamma());
        for (std::uint16_t v : {1, 12345})
            EXPECT_EQ(identity.forwardTable()[v] + identity.inverseTable()[v], 2 * v);
        const double x = 1234.5;
        double y = 0;
        identity.forward(&x, &y, 1);
        EXPECT_EQ(y, x);
    }
    EXPECT_EQ(logCount(), 0u);

    const csICCcurvTag zero = curve({0});
    EXPECT_TRUE(zero.isIdentity());
    ASSERT_EQ(logCount(), 1u);
    EXPECT_STREQ(logMessage(0), "gamma value in TRC is 0. continuing with 1.");
}

TEST_F(CurveTags, GammaCurve) {
    const csICCcurvTag g = curve({563}); // 2.19921875
    EXPECT_DOUBLE_EQ(g.gamma(), 563 / 256.0);
    EXPECT_EQ(g.forwardTable()[65535], 65535);
    EXPECT_EQ(g.forwardTable()[32768], static_cast<std::uint16_t>(std::floor(
                                           std::pow(32768 / 65535.0, 563 / 256.0) * 65535 + 0.5)));
    // Inverting finds an input with the same curve value, within one step of the curve.
    for (unsigned i = 0; i < 65536; i += 97) {
        const std::uint16_t value = g.forwardTable()[i];
        EXPECT_NEAR(g.forwardTable()[g.inverseTable()[value]], value, 1.0) << i;
    }
    // Double forward is integral, double inverse is not rounded.
    const double x = 30000;
    double y = 0, back = 0;
    g.forward(&x, &y, 1);
    EXPECT_EQ(y, std::floor(y));
    g.inverse(&y, &back, 1);
    EXPECT_NEAR(back, 30000, 1.0);
    EXPECT_EQ(csICCcurvTag(Signature("kTRC"), 1.8).size(), 14u);
    EXPECT_DOUBLE_EQ(csICCcurvTag(Signature("kTRC"), 1.8).gamma(), 461 / 256.0);
}

TEST_F(CurveTags, SampledCurves) {
    const csICCcurvTag straight = curve({0, 65535});
    EXPECT_FALSE(straight.isIdentity());
    for (unsigned v = 0; v < 65536; v += 1111)
        EXPECT_EQ(straight.forwardTable()[v], v);

    // Double forward interpolates the tag's own entries: 3 entries, x at p = 0.5.
    const csICCcurvTag bent = curve({0, 30000, 65535});
    const double x = 16383.75;
    double y = 0;
    bent.forward(&x, &y, 1);
    EXPECT_DOUBLE_EQ(y, 15000.0);

    const csICCcurvTag shortRange = curve({0, 40000});
    EXPECT_EQ(shortRange.inverseTable()[40001], 65535) << "beyond a rising curve: 65535";
    const csICCcurvTag falling = curve({60000, 0});
    EXPECT_EQ(falling.inverseTable()[60001], 0) << "beyond a falling curve: 0";
    EXPECT_GT(falling.inverseTable()[1000], falling.inverseTable()[50000]);

    // 16-bit evaluation with strides.
    const std::uint16_t in[4] = {0, 9, 65535, 9};
    std::uint16_t out[2] = {};
    falling.forward(in, out, 2, 2, 1);
    EXPECT_EQ(out[0] + out[1], 60000);
}

TEST_F(CurveTags, MalformedCurvesAreRefused) {
    std::vector<std::uint8_t> block = curvBlock({0, 100, 200});
    block.resize(16); // three entries need 18 bytes
    EXPECT_EQ(tagFactory(nullptr, Signature("rTRC"), 16, block.data()), nullptr);
    EXPECT_STREQ(logTitle(0), "corrupt tag data");
    std::vector<std::uint8_t> huge = curvBlock({});
    huge[9] = 1; // 65536 entries
    EXPECT_FALSE(csICCcurvTag::validate(huge.data(), static_cast<std::uint32_t>(huge.size())));
}

TEST_F(CurveTags, ParametricTypesEvaluate) {
    const auto type0 = para(0, {2.2});
    ASSERT_TRUE(type0);
    const double g = static_cast<float>(std::lround(2.2 * 65536) / 65536.0);
    EXPECT_DOUBLE_EQ(type0->eval_clamped(0.5), std::pow(0.5, g));
    EXPECT_NEAR(type0->inverse(type0->eval_clamped(0.3)), 0.3, 1e-12);

    // The sRGB curve as a type 3.
    const auto srgb = para(3, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045});
    ASSERT_TRUE(srgb);
    EXPECT_NEAR(srgb->eval_clamped(0.5), std::pow((0.5 + 0.055) / 1.055, 2.4), 1e-4);
    for (double x : {0.0, 0.01, 0.04, 0.2, 0.7, 1.0})
        EXPECT_NEAR(srgb->inverse(srgb->eval_clamped(x)), x, 1e-6) << x;

    // Type 4 with offsets on both pieces.
    const auto type4 = para(4, {2.0, 1.0, 0.0, 0.5, 0.2, 0.0, 0.0});
    ASSERT_EQ(type4, nullptr) << "pieces 0.04 and 0.1 apart at d do not meet";
    const auto meeting = para(4, {2.0, 1.0, 0.0, 0.2, 0.2, 0.0, 0.0});
    ASSERT_TRUE(meeting);
    EXPECT_NEAR(meeting->eval_clamped(0.6), 0.36, 1e-6);

    // The 16-bit forward table, entry i = f(i / 65535) x 65535 + 0.5, truncated, with the
    // parameters as stored (s15Fixed16, then single precision); worked out separately: 14027.91,
    // 154.79 and 77.39 before rounding.
    const std::uint16_t in[3] = {32768, 2000, 1000};
    std::uint16_t out[3] = {};
    srgb->forward(in, out, 3);
    EXPECT_EQ(out[0], 14028);
    EXPECT_EQ(out[1], 155);
    EXPECT_EQ(out[2], 77) << "the linear piece";
}

// A curve through its table gives exactly what the curve gives: anywhere, outside the range, and
// on both sides of the inputs where the rounded result steps (found by bisection), and densely
// over the first stretches, for powers below and above 1, pieces that meet in a kink, a cut-off,
// a falling curve, a gamma "curv", and a line falling to d just below 33 (one step under where
// the curve goes on from there, and under both ends of that quarter step).
TEST_F(CurveTags, TablesOfPowersGiveTheCurvesOwnSteps) {
    std::vector<std::unique_ptr<csICCTag>> tags;
    for (const auto& [type, parameters] :
         std::vector<std::pair<std::uint16_t, std::vector<double>>>{
             {0, {0.45}},
             {0, {1.8}},
             {3, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045}},
             {4, {2.0, 1.0, 0.0, 0.2, 0.2, 0.0, 0.0}},
             {1, {1.3, 1.25, -0.25}},
             {2, {0.8, 0.9, 0.0, 0.1}},
             {3, {2.0, -1.0, 1.0, 0.0, 0.0}},
             {4, {2.0, 1.0, 0.0, -1.0, 33 / 65536.0, 41968 / 65536.0, 42000 / 65536.0}}}) {
        const std::vector<std::uint8_t> block = paraBlock(type, {});
        std::vector<std::uint8_t> full(12 + 4 * parameters.size(), 0);
        std::copy(block.begin(), block.begin() + 12, full.begin());
        for (std::size_t k = 0; k < parameters.size(); ++k) {
            const auto raw = static_cast<std::uint32_t>(
                static_cast<std::int32_t>(std::lround(parameters[k] * 65536)));
            for (int b = 0; b < 4; ++b)
                full[12 + 4 * k + b] = static_cast<std::uint8_t>(raw >> (24 - 8 * b));
        }
        tags.push_back(std::make_unique<csICCparaTag>(
            Signature("rTRC"), static_cast<std::uint32_t>(full.size()), full.data()));
    }
    const std::vector<std::uint8_t> gamma = curvBlock({563}); // 2.2
    tags.push_back(std::make_unique<csICCcurvTag>(
        Signature("rTRC"), static_cast<std::uint32_t>(gamma.size()), gamma.data()));
    clearLog();

    std::mt19937 random(23);
    std::uniform_real_distribution<double> anywhere(-100, 65700);
    for (const auto& tag : tags) {
        const csICCToneCurve curve(tag.get());
        ASSERT_TRUE(curve.rounds());
        const csICCCurveTable table(curve);
        std::vector<double> inputs, expected;
        const auto same = [&](double x) {
            inputs.push_back(x);
            expected.push_back(curve.forwardValue(std::clamp(x, 0.0, 65535.0)));
            ASSERT_EQ(table.forwardValue(x), expected.back()) << std::setprecision(17) << x;
            // Where the line alone decides, the curve has its step a few units either side.
            double step = 0;
            if (table.stepByLine(x, &step)) {
                for (double near : {std::nextafter(std::nextafter(x, -1.0), -1.0), x,
                                    std::nextafter(std::nextafter(x, 1e9), 1e9)})
                    ASSERT_EQ(step, curve.forwardValue(std::clamp(near, 0.0, 65535.0)))
                        << std::setprecision(17) << x;
            }
        };
        for (int i = 0; i < 20000; ++i)
            same(anywhere(random));
        for (int i = 0; i <= 64 * 64; ++i)
            same(i / 64.0);
        // Where the result steps: bisection between inputs with different results.
        for (int i = 0; i < 2000; ++i) {
            double low = 65535.0 * i / 2000, high = 65535.0 * (i + 1) / 2000;
            const double below = curve.forwardValue(low);
            if (curve.forwardValue(high) == below)
                continue;
            for (int b = 0; b < 60; ++b) {
                const double middle = (low + high) / 2;
                (curve.forwardValue(middle) == below ? low : high) = middle;
            }
            for (double x : {low, high, std::nextafter(low, -1.0), std::nextafter(high, 1e9)})
                same(x);
        }
        // All of them at once (four at a time where the processor can): the same.
        std::vector<double> together(inputs.size());
        table.forwardValues(inputs.data(), together.data(), static_cast<int>(inputs.size()));
        EXPECT_EQ(together, expected);
    }
    EXPECT_TRUE(
        std::isnan(csICCCurveTable(csICCToneCurve(tags[0].get())).forwardValue(std::nan(""))));
}

TEST_F(CurveTags, FlatStretchesInvertToTheirMiddle) {
    // Type 1, g = 1, a = 1, b = -0.5: 0 up to 0.5, then x - 0.5.
    const auto shifted = para(1, {1.0, 1.0, -0.5});
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->eval_clamped(0.25), 0.0);
    EXPECT_NEAR(shifted->inverse(0.0), 0.25, 1e-12);
    EXPECT_NEAR(shifted->inverse(0.25), 0.75, 1e-12);
    // Type 1, a = 2: clamped at 1 from 0.5 on.
    const auto steep = para(1, {1.0, 2.0, 0.0});
    ASSERT_TRUE(steep);
    EXPECT_NEAR(steep->inverse(1.0), 0.75, 1e-12);
}

TEST_F(CurveTags, FallingPowerPieceWarnsOnce) {
    // Type 3: g 1, a -1, b 1, d 0: 1 - x over all of [0, 1].
    const auto falling = para(3, {1.0, -1.0, 1.0, 0.0, 0.0});
    ASSERT_TRUE(falling);
    EXPECT_NEAR(falling->inverse(0.25), 0.75, 1e-12);
    EXPECT_NEAR(falling->inverse(0.5), 0.5, 1e-12);
    ASSERT_EQ(logCount(), 1u);
    EXPECT_STREQ(logMessage(0),
                 "reason: exp. part of curve is decreasing, y=0.250000, tl=0.000000, vl=1.000000");
}

TEST_F(CurveTags, ParametricCurvesThatCannotBeUsedAreRefused) {
    const auto refused = [](std::vector<std::uint8_t> block) {
        return csICCparaTag::validate(block.data(), static_cast<std::uint32_t>(block.size()));
    };
    EXPECT_FALSE(refused(paraBlock(5, {1.0})));
    EXPECT_STREQ(logMessage(0), "function type '5' is not supported for parametricCurveType");
    std::vector<std::uint8_t> shortType3 = paraBlock(3, {1.0, 1.0, 0.0, 1.0, 0.5});
    shortType3.resize(28);
    EXPECT_FALSE(refused(shortType3));
    EXPECT_FALSE(refused(paraBlock(0, {0.0})));
    EXPECT_FALSE(refused(paraBlock(1, {1.0, -1.0, 0.0})));
    EXPECT_FALSE(refused(paraBlock(3, {2.0, 1.0, -0.9, 0.0, 0.5}))) << "(x - 0.9)^2 below 0.9";

    // A curve of more bytes than its type needs is read, with a warning.
    clearLog();
    const std::vector<std::uint8_t> padded = paraBlock(0, {2.0}, 4);
    const csICCparaTag tag(Signature("rTRC"), static_cast<std::uint32_t>(padded.size()),
                           padded.data());
    EXPECT_STREQ(logMessage(0),
                 "parametricCurveType: specified tag size (20) != actual tag size (16)");
    EXPECT_EQ(tag.functionType(), 0);

    // An unknown type from a bare block: its error, then the warning for a block that gave
    // nothing. Made anyway, it evaluates to 0 and fills its tables with 1, saying so once.
    clearLog();
    const std::vector<std::uint8_t> type7 = paraBlock(7, {1.0});
    EXPECT_EQ(csICCparaTag::fromBlock(Signature("rTRC"), type7.data(), 16), nullptr);
    ASSERT_EQ(logCount(), 2u);
    EXPECT_STREQ(logTitle(0), "unsupported function type");
    EXPECT_STREQ(logTitle(1), "parametricCurveType corrupt");
    EXPECT_STREQ(logMessage(1), "trying to construct parametricCurveType from memory (size limit "
                                "16, recognized 0 bytes)");
    csICCparaTag unknown(Signature("rTRC"), 16, type7.data());
    clearLog();
    std::uint16_t in[2] = {0, 40000}, out[2] = {};
    unknown.forward(in, out, 2);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(logCount(), 1u) << "one error for the whole table";
    double x = 30000, y = -1;
    unknown.forward(&x, &y, 1);
    EXPECT_EQ(y, 0);
}

} // namespace
