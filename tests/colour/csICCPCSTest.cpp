#include "csICCPCS.h"
#include "csCIEConstants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

using Pixel16 = std::array<uint16, 3>;
using PixelF = std::array<rfloat, 3>;

Pixel16 xyzToLab16(Pixel16 xyz) {
    Pixel16 lab{};
    csICCPCS::XYZ16toLab16(xyz.data(), lab.data(), 1);
    return lab;
}

Pixel16 lab16ToXYZ(Pixel16 lab) {
    Pixel16 xyz{};
    csICCPCS::Lab16toXYZ16(lab.data(), xyz.data(), 1);
    return xyz;
}

void expectNear(const PixelF& actual, const PixelF& expected, double tolerance) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "channel " << c;
}

// The expected numbers below come from a separate script that emulates the single-precision
// table build with numpy float32 and evaluates the CIE formulas in double precision.

TEST(csCIE, CubeRootWithinAFewUnitsInTheLastPlace) {
    // Every ratio a Lab conversion meets, and far beyond; the cube of the root must give back the
    // number to within rounding.
    double worst = 0;
    for (double x = 0.008856451679035631; x < 4; x *= 1.0001) {
        const double y = csCIE::cubeRoot(x);
        worst = std::max(worst, std::abs(y - std::cbrt(x)) / std::cbrt(x));
    }
    EXPECT_LT(worst, 4 * std::numeric_limits<double>::epsilon());
    for (double x : {1e-300, 1e300})
        EXPECT_NEAR(csCIE::cubeRoot(x), std::cbrt(x), 4e-16 * std::cbrt(x)) << x;
    EXPECT_EQ(csCIE::cubeRoot(8.0), 2.0);
    EXPECT_EQ(csCIE::cubeRoot(-8.0), -2.0);
    EXPECT_EQ(csCIE::cubeRoot(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(csCIE::cubeRoot(std::nan(""))));
    // The library's cbrt at run time, not the compiler's correctly rounded constant.
    volatile double subnormal = 0x1p-1074;
    EXPECT_EQ(csCIE::cubeRoot(subnormal), std::cbrt(subnormal)) << "subnormal";
}

TEST(csICCPCS, TablesMatchASinglePrecisionEmulation) {
    // The inverse tables use only single-precision arithmetic, so they match the emulation
    // exactly.
    const auto sum = [](const auto* table) {
        return std::accumulate(table, table + 65536, std::uint64_t{0});
    };
    EXPECT_EQ(sum(csICCPCS::inverseXTable()), 1807899899u);
    EXPECT_EQ(sum(csICCPCS::inverseYTable()), 1837927250u);
    EXPECT_EQ(sum(csICCPCS::inverseZTable()), 1675165044u);
    // The forward table takes single-precision cube roots, whose last bit differs between maths
    // libraries; every entry lies within 1 of the exactly rounded f(t) x 52000.
    for (int i = 0; i < 65536; ++i) {
        const double t = i / 32768.0;
        const double f = t > 216.0 / 24389 ? std::cbrt(t) : t * 841.0 / 108 + 16.0 / 116;
        ASSERT_NEAR(csICCPCS::forwardTable()[i], std::floor(f * 52000 + 0.5), 1.0) << i;
    }
    EXPECT_EQ(csICCPCS::forwardTable()[0], 7172u);
    EXPECT_EQ(csICCPCS::inverseZTable()[39672], 27031);
}

TEST(csICCPCS, WhiteAndBlackThroughBothPaths) {
    // The white normalises to (32768, 32768, 32768), which is L* 100, a* 0, b* 0.
    EXPECT_EQ(xyzToLab16({31595, 32768, 27030}), (Pixel16{65535, 32896, 32896}));
    Pixel16 legacy{};
    const Pixel16 white{31595, 32768, 27030};
    csICCPCS::XYZ16toLegacyLab16(white.data(), legacy.data(), 1);
    EXPECT_EQ(legacy, (Pixel16{65280, 32768, 32768}));

    PixelF lab{};
    const PixelF whiteF{31595, 32768, 27030.5};
    csICCPCS::XYZ16toLegacyLab16(whiteF.data(), lab.data(), 1);
    expectNear(lab, {65280, 32768, 32768}, 1e-9);

    EXPECT_EQ(lab16ToXYZ({65535, 32896, 32896}), (Pixel16{31595, 32768, 27031}));
    PixelF xyz{};
    const PixelF whiteLab{65535, 32896, 32896};
    csICCPCS::Lab16toXYZ16(whiteLab.data(), xyz.data(), 1);
    expectNear(xyz, {31595, 32768, 27030.5}, 1e-9);
}

TEST(csICCPCS, SaturationAndWrapAroundEdges) {
    // X16 at or beyond 63190 and Z16 beyond 54060 saturate the ratio to the white before lookup;
    // without that the normalisation would overflow.
    EXPECT_EQ(xyzToLab16({65535, 32768, 27030}), (Pixel16{65535, 65535, 32896}));
    EXPECT_EQ(xyzToLab16({31595, 32768, 54061}), (Pixel16{65535, 32896, 19536}));
    // a16 = 0 at L16 = 0 takes the X index below zero, which reads entry 0.
    EXPECT_EQ(lab16ToXYZ({0, 0, 0}), (Pixel16{0, 0, 12725}));
    // b16 = 65535 at L16 = 0 takes the Z index below zero.
    EXPECT_EQ(lab16ToXYZ({0, 32896, 65535}), (Pixel16{0, 0, 0}));
    EXPECT_EQ(lab16ToXYZ({32768, 40000, 20000}), (Pixel16{7687, 6036, 14897}));

    Pixel16 xyz{};
    const Pixel16 legacyWhite{65280, 32768, 32768};
    csICCPCS::LegacyLab16toXYZ16(legacyWhite.data(), xyz.data(), 1);
    EXPECT_EQ(xyz, (Pixel16{31595, 32768, 27031}));
}

TEST(csICCPCS, FormulaPathValues) {
    PixelF xyz{};
    const PixelF lab{32768, 40000, 20000};
    csICCPCS::Lab16toXYZ16(lab.data(), xyz.data(), 1);
    expectNear(xyz, {7686.114146858207, 6035.633147091031, 14896.50391668479}, 1e-7);
    csICCPCS::LegacyLab16toXYZ16(lab.data(), xyz.data(), 1);
    expectNear(xyz, {7793.719829646129, 6089.375462031627, 14905.434832790044}, 1e-7);

    // Results are neither rounded nor clamped.
    const PixelF outside{70000, 0, 65535};
    csICCPCS::XYZ16toLab16(outside.data(), xyz.data(), 1);
    EXPECT_GT(xyz[1], 65535.0);

    // L*a*b* (50, 20, -30) and (5, 0, 0), the latter on the linear segment near black.
    std::array<double, 6> real{50, 20, -30, 5, 0, 0};
    csICCPCS::LabToXYZ(real.data(), real.data(), 2);
    EXPECT_NEAR(real[0], 21.77441664741858, 1e-11);
    EXPECT_NEAR(real[2], 30.65690643897556, 1e-11);
    EXPECT_NEAR(real[4], 0.553528229939727, 1e-12);
}

TEST(csICCPCS, StridesPlanarBuffersAndInPlace) {
    // Two pixels with a stride of 4 samples; the fourth sample of each is left alone.
    std::array<rfloat, 8> buffer{32768, 40000, 20000, -1, 65535, 32896, 32896, -2};
    csICCPCS::Lab16toXYZ16(buffer.data(), buffer.data(), 2, 4, 4);
    EXPECT_EQ(buffer[3] + buffer[7], -3);
    EXPECT_NEAR(buffer[5], 32768, 1e-9);

    std::array<rfloat, 2> L{32768, 65535}, a{40000, 32896}, b{20000, 32896};
    std::array<rfloat, 2> X{}, Y{}, Z{};
    const rfloat* src[3] = {L.data(), a.data(), b.data()};
    rfloat* dst[3] = {X.data(), Y.data(), Z.data()};
    csICCPCS::Lab16toXYZ16(src, dst, 2);
    EXPECT_NEAR(Z[0], 14896.50391668479, 1e-7);

    std::array<uint16, 3> untouched{1, 2, 3};
    csICCPCS::XYZ16toLab16(untouched.data(), untouched.data(), 0);
    EXPECT_EQ(untouched, (std::array<uint16, 3>{1, 2, 3}));
}

TEST(csICCPCS, TablePathAgreesWithTheFormulaPath) {
    // Sweep both directions and report the largest difference, in Lab units for XYZ16 to Lab16
    // and in percent of the white's Y for Lab16 to XYZ16. The largest, 0.047 in a*, lies next to
    // black (X16 499, Y16 = Z16 = 0), where the integer normalisation's rounding is coarsest.
    double worstLab = 0, worstXYZ = 0;
    for (int X = 0; X < 63190; X += 499)
        for (int Y = 0; Y < 65535; Y += 613)
            for (int Z = 0; Z <= 54060; Z += 503) {
                const Pixel16 table = xyzToLab16({uint16(X), uint16(Y), uint16(Z)});
                const PixelF in{double(X), double(Y), double(Z)};
                PixelF formula{};
                csICCPCS::XYZ16toLab16(in.data(), formula.data(), 1);
                if (*std::max_element(formula.begin(), formula.end()) > 65535 ||
                    *std::min_element(formula.begin(), formula.end()) < 0)
                    continue; // clamped by the table path, not comparable
                worstLab = std::max({worstLab, std::abs(table[0] - formula[0]) / 655.35,
                                     std::abs(table[1] - formula[1]) / 257,
                                     std::abs(table[2] - formula[2]) / 257});
            }
    for (int L = 0; L < 65536; L += 643)
        for (int a = 0; a < 65536; a += 1285)
            for (int b = 0; b < 65536; b += 1285) {
                const Pixel16 table = lab16ToXYZ({uint16(L), uint16(a), uint16(b)});
                const PixelF in{double(L), double(a), double(b)};
                PixelF formula{};
                csICCPCS::Lab16toXYZ16(in.data(), formula.data(), 1);
                if (*std::max_element(formula.begin(), formula.end()) > 65535 ||
                    *std::min_element(formula.begin(), formula.end()) < 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    worstXYZ = std::max(worstXYZ, std::abs(table[c] - formula[c]) / 327.68);
            }
    RecordProperty("worstLab", std::to_string(worstLab));
    RecordProperty("worstXYZpercent", std::to_string(worstXYZ));
    std::printf("largest difference: %.5f Lab units (XYZ16 to Lab16), %.5f %% (Lab16 to XYZ16)\n",
                worstLab, worstXYZ);
    EXPECT_LT(worstLab, 0.05);
    EXPECT_LT(worstXYZ, 0.02);
}

TEST(csICCPCS, LabEncodingChanges) {
    Pixel16 values{65535, 32896, 0};
    csICCPCS::Lab16V4toV2(values.data(), values.data(), 1);
    EXPECT_EQ(values, (Pixel16{65280, 32768, 0}));
    values = {65280, 65281, 32768};
    csICCPCS::Lab16V2toV4(values.data(), values.data(), 1);
    EXPECT_EQ(values, (Pixel16{65535, 65535, 32896}));

    PixelF real{65535, 0, 32768};
    csICCPCS::Lab16V4toV2(real.data(), real.data(), 1);
    expectNear(real, {65280, 0, 32768 * 65280.0 / 65535}, 1e-9);
    csICCPCS::Lab16V2toV4(real.data(), real.data(), 1);
    expectNear(real, {65535, 0, 32768}, 1e-9);
}

TEST(csICCPCS, ScalingXYZ) {
    const auto scale = [](uint16 v, std::uint32_t k) {
        Pixel16 p{v, v, v};
        csICCPCS::scaleXYZ16(p.data(), p.data(), 1, k, k, k);
        return p[0];
    };
    EXPECT_EQ(scale(1001, 32768), 501);
    EXPECT_EQ(scale(65535, 65536), 65535);
    EXPECT_EQ(scale(65534, 65536), 65534);
    EXPECT_EQ(scale(40000, 131072), 65535);
    // For factors above 1.0 a value at or above 4294967295 / k saturates before multiplying.
    EXPECT_EQ(scale(42948, 100000), 65533);
    EXPECT_EQ(scale(42949, 100000), 65535);

    PixelF real{1, 2, 3};
    csICCPCS::scaleXYZ(real.data(), real.data(), 1, 2, -1, 0.5);
    EXPECT_EQ(real, (PixelF{2, -2, 1.5}));
}

// Lab scaled in XYZ in one step is the three steps: to within 1e-9 of a 16-bit unit where the f
// values are scaled, exactly where a component is on the linear part (dark colours, the shadows
// of either white).
TEST(csICCPCS, ScalingLabIsScalingItsXYZ) {
    const double factors[][3] = {{0.9, 0.95, 0.7}, {1.1, 1.0, 1.3}, {0.02, 0.02, 0.02}};
    double largest = 0;
    int linear = 0;
    for (const auto& k : factors) {
        const double roots[3] = {std::cbrt(k[0]), std::cbrt(k[1]), std::cbrt(k[2])};
        for (int i = 0; i < 20000; ++i) {
            const PixelF lab{(i % 101) * 655.35, (i * 37 % 256) * 257.0, (i * 91 % 256) * 257.0};
            PixelF steps, oneStep;
            csICCPCS::Lab16toXYZ16(lab.data(), steps.data(), 1);
            csICCPCS::scaleXYZ(steps.data(), steps.data(), 1, k[0], k[1], k[2]);
            csICCPCS::XYZ16toLab16(steps.data(), steps.data(), 1);
            csICCPCS::scaleLab16(lab.data(), oneStep.data(), 1, k, roots);
            double difference = 0;
            for (int c = 0; c < 3; ++c)
                difference = std::max(difference, std::abs(oneStep[c] - steps[c]));
            if (difference == 0)
                ++linear;
            largest = std::max(largest, difference);
        }
    }
    EXPECT_LT(largest, 1e-9);
    EXPECT_GT(linear, 1000);
}

TEST(csICCPCS, BlackScalingKeepsTheWhite) {
    // Output black Y 1000 has the PCS white's chromaticity: X 964.2028..., Z 824.9053...
    PixelF black{0, 0, 0};
    csICCPCS::scaleBlackXYZ16(black.data(), black.data(), 1, 0, 1000);
    expectNear(black, {964.202880859375, 1000, 824.9053955078125}, 1e-9);
    PixelF white{31595, 32768, 27030.5};
    csICCPCS::scaleBlackXYZ16(white.data(), white.data(), 1, 500, 1000);
    expectNear(white, {31595, 32768, 27030.5}, 1e-9);

    Pixel16 mid{0, 16384, 65535};
    csICCPCS::scaleBlackXYZ16(mid.data(), mid.data(), 1, 0, 1000);
    // Y: 16384 x 31768 / 32768 + 1000 = 16884; Z: 65535 x 26205.59 / 27030.5 + 824.91 = 64359.3.
    EXPECT_EQ(mid, (Pixel16{964, 16884, 64359}));
    Pixel16 low{0, 0, 0};
    csICCPCS::scaleBlackXYZ16(low.data(), low.data(), 1, 2000, 0);
    EXPECT_EQ(low, (Pixel16{0, 0, 0})) << "below the new black is clamped to 0";
}

} // namespace
