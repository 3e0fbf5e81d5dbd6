#include "csContext.h"
#include "ClearedLogTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// White points that are not tabulated were worked out by a separate script from the CIE CSV
// tables: sums over 380..730 nm in 10 nm steps, normalised to Y = 100.

void expectWhite(const csContext& context, double X, double Z, double tolerance) {
    EXPECT_NEAR(context.whiteX(), X, tolerance);
    EXPECT_NEAR(context.whiteY(), 100.0, tolerance);
    EXPECT_NEAR(context.whiteZ(), Z, tolerance);
}

using csContextTest = ClearedLogTest;

TEST_F(csContextTest, DefaultContextIsD50WithTheTwoDegreeObserver) {
    const csContext context;
    EXPECT_EQ(context.gridCount(), 36u);
    expectWhite(context, 96.422, 82.521, 1e-4);
    double x, y;
    context.whiteChromaticity(&x, &y);
    EXPECT_NEAR(x, 0.34566918689481363, 1e-6);
    EXPECT_NEAR(y, 0.35849618022319973, 1e-6);
    EXPECT_NEAR(context.appearanceModel().whiteZ(), 82.521, 1e-4);
}

TEST_F(csContextTest, TabulatedAndComputedWhites) {
    expectWhite(csContext(3, 0), 95.047, 108.883, 1e-4);
    expectWhite(csContext(2, 1), 111.144, 35.2, 1e-4);
    // F1 has no tabulated white: 92.19287, 91.53581.
    expectWhite(csContext(4, 0), 92.1928674229843, 91.53580978276874, 1e-3);
    // D55 is computed from the daylight formula, whose update runs with identifier 0, so its
    // tabulated white does not apply: 95.64517, 92.08271.
    expectWhite(csContext(17, 0), 95.64516527955772, 92.08270785607603, 1e-3);
}

TEST_F(csContextTest, IlluminantNames) {
    csContext context;
    EXPECT_EQ(context.setIlluminantByName("HP1"), 0);
    EXPECT_EQ(context.illuminant(), 36);
    EXPECT_EQ(context.setIlluminantByName("FL3.15"), 0);
    EXPECT_EQ(context.illuminant(), 35);
    EXPECT_EQ(context.setIlluminantByName("D6500"), 0);
    EXPECT_EQ(context.illuminant(), 0);
    expectWhite(context, 95.0126492438835, 108.77238368220642, 1e-3);
    EXPECT_EQ(context.setIlluminantByName("K5000"), 0);
    expectWhite(context, 98.11770843420449, 86.16198941971334, 1e-3);
    EXPECT_EQ(logCount(), 0u);

    EXPECT_EQ(context.setIlluminantByName("D3000"), -1);
    EXPECT_EQ(context.setIlluminantByName("K0"), -1);
    EXPECT_EQ(context.setIlluminantByName("d50"), -1);
    EXPECT_EQ(context.setIlluminantByName(nullptr), -1);
    expectWhite(context, 98.11770843420449, 86.16198941971334, 1e-3);
    ASSERT_EQ(logCount(), 4u);
    EXPECT_STREQ(logMessage(0), "unsupported daylight 'D3000', legal range is 4000..25000 K");
    EXPECT_STREQ(logMessage(1), "illegal temperature 'K0', must be positive!");
    EXPECT_STREQ(logMessage(2), "unknown illuminant 'd50'");
    EXPECT_STREQ(logMessage(3), "no illuminant given");
}

TEST_F(csContextTest, ObserverNames) {
    csContext context;
    EXPECT_EQ(context.setObserverByName("10"), 0);
    EXPECT_EQ(context.observer(), 1);
    EXPECT_EQ(context.setObserverByName("5"), -1);
    EXPECT_EQ(context.observer(), 1);
    EXPECT_EQ(context.setObserverByName("DEV"), 0);
    EXPECT_EQ(context.observer(), 2);
    EXPECT_STREQ(logMessage(0), "unknown observer '5', only '2', '10', 'DEV' are supported");
}

TEST_F(csContextTest, GridChanges) {
    csContext context;
    const float* before = context.weightedFunction(1)->data();
    context.setStep(10);
    context.setRange(380, 730, 10);
    context.extendRange(400, 700, 20);
    EXPECT_EQ(context.weightedFunction(1)->data(), before) << "no change, nothing rebuilt";

    context.setRange(400, 700, 5);
    EXPECT_EQ(context.gridCount(), 61u);
    expectWhite(context, 96.422, 82.521, 1e-4);
    context.extendRange(380, 780, 10);
    EXPECT_EQ(context.start() * 1000 + context.end() + context.step(), 380785u);
}

TEST_F(csContextTest, LabXYZAndLuv) {
    const csContext context;
    // XYZ (30, 20, 10) under the D50 white: L* 51.83721, a* 46.40471, b* 17.98959;
    // u* 83.67836, v* 8.03715.
    float L, a, b;
    context.xyzToLab(30, 20, 10, &L, &a, &b);
    EXPECT_NEAR(L, 51.837212, 1e-4);
    EXPECT_NEAR(a, 46.404708, 1e-4);
    EXPECT_NEAR(b, 17.989586, 1e-4);
    float X, Y, Z;
    context.labToXYZ(L, a, b, &X, &Y, &Z);
    EXPECT_NEAR(Z, 10, 1e-4);
    float u, v;
    context.xyzToLuv(30, 20, 10, &L, &u, &v);
    EXPECT_NEAR(u, 83.678356, 1e-3);
    EXPECT_NEAR(v, 8.037152, 1e-3);
    context.xyzToLuv(0, 0, 0, &L, &u, &v);
    EXPECT_NEAR(u, 0.0f, 1e-5);

    // A perfect reflector integrates to the white.
    const std::vector<float> ones(36, 1.0f);
    double Xs, Ys, Zs;
    context.spectrumToXYZ(csSpectrum(ones.data(), 36, 380, 10), &Xs, &Ys, &Zs);
    EXPECT_NEAR(Zs, context.whiteZ(), 1e-9);
    context.spectrumToLab(csSpectrum(ones.data(), 36, 380, 10), &L, &a, &b);
    EXPECT_NEAR(L, 100, 1e-4);
}

class WindowContext : public csContextTest {
protected:
    WindowContext() {
        context.appearanceModel().setAdaptingLuminance(636.6);
        context.appearanceModel().setBackground(0.2 * context.whiteY());
        context.appearanceModel().setSurround(2.0);
    }
    csContext context;
};

TEST_F(WindowContext, LabToJabAndBack) {
    // Lab (50, 20, -30): J 40.70967, C 36.23274, h 297.79926, a_c 16.89806, b_c -32.05101.
    float J, ac, bc, C, h;
    context.labToJab(50, 20, -30, &J, &ac, &bc, &C, &h);
    EXPECT_NEAR(J, 40.709675, 2e-3);
    EXPECT_NEAR(C, 36.232743, 2e-3);
    EXPECT_NEAR(h, 297.799264, 5e-3);
    EXPECT_NEAR(ac, 16.898056, 2e-3);
    EXPECT_NEAR(bc, -32.051012, 2e-3);
    context.labToJab(100, 0, 0, &J, &ac, &bc);
    EXPECT_NEAR(J, 100, 1e-3);
}

TEST_F(WindowContext, RoundTripsAcrossTheLabGamut) {
    // Real surface colours; far beyond them (very dark, very saturated blue-green) the cone
    // responses turn negative and the model cannot be inverted.
    double worst = 0;
    for (float L = 20; L <= 95; L += 5)
        for (float a = -60; a <= 60; a += 10)
            for (float b = -60; b <= 60; b += 10) {
                float X, Y, Z, J, ac, bc, L2, a2, b2;
                context.labToXYZ(L, a, b, &X, &Y, &Z);
                if (X <= 0 || Z <= 0)
                    continue; // not a colour at all
                context.labToJab(L, a, b, &J, &ac, &bc);
                context.jabToLab(J, ac, bc, &L2, &a2, &b2);
                worst = std::max({worst, std::abs(double{L2} - L), std::abs(double{a2} - a),
                                  std::abs(double{b2} - b)});
            }
    EXPECT_LT(worst, 0.001);
}

TEST(csContextDeathTest, TemperaturesOutsideTheirRangeStopTheProgram) {
    csContext context;
    EXPECT_DEATH(context.setDaylight(3000), "Assertion `tc >= 4000. && tc <= 25000.' failed");
    EXPECT_DEATH(context.setBlackbody(-1), "Assertion `tc >= 0.' failed");
}

} // namespace
