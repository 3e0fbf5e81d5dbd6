// Expected values were worked out by hand or with a separate script of the formulas as this
// program defines them (geometric mean chroma in G, weights multiplying the terms, no 360
// subtracted from the mean hue).

#include "ColourDifference.h"
#include "ViewingConditions.h"
#include "csContext.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double de2000(const double r[3], const double s[3], double kL = 1, double kC = 1, double kH = 1) {
    return deltaE2000(r[0], r[1], r[2], s[0], s[1], s[2], kL, kC, kH);
}

TEST(DeltaE2000, AgreesWithAnIndependentScript) {
    struct Case {
        double reference[3], sample[3], unweighted, weighted; // weighted: kL 2, kC 1, kH 0.5
    };
    const Case cases[] = {
        // The first pair of the published test data: 2.0425 there, with the arithmetic mean.
        {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.042459789106098, 1.3175150927991492},
        {{50, 20, -3.52668}, {55, 0, 30}, 31.843384345668678, 18.728263459172414},
        {{40, 40, 40}, {45, -30, -20}, 48.67732701327875, 26.52260832908808},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(de2000(c.reference, c.sample), c.unweighted, 1e-9);
        EXPECT_NEAR(de2000(c.reference, c.sample, 2, 1, 0.5), c.weighted, 1e-9);
    }
}

TEST(DeltaE2000, EdgeCases) {
    const double grey[3] = {50, 0, 0}, lighter[3] = {60, 0, 0};
    EXPECT_EQ(de2000(grey, grey), 0);
    const double SL = 1 + 0.015 * 25 / std::sqrt(45.0);
    EXPECT_NEAR(de2000(grey, lighter), 10 / SL, 1e-12);
    EXPECT_NEAR(de2000(grey, lighter, 2, 1, 1), 20 / SL, 1e-12) << "weights multiply";

    // A neutral reference: G = 1.5 and no hue term, whatever its weight.
    const double neutral[3] = {70, 0, 0}, tinted[3] = {70, 10, 10};
    EXPECT_NEAR(de2000(neutral, tinted), 12.825442456489183, 1e-9);
    EXPECT_NEAR(de2000(neutral, tinted, 1, 1, 0), 12.825442456489183, 1e-9);

    // Hues 350 and 100: the mean hue is 405, not 45.
    const double h350[3] = {50, 29.544232590366242, -5.209445330007911};
    const double h100[3] = {50, -5.2094453300079095, 29.544232590366242};
    EXPECT_NEAR(de2000(h350, h100), 38.53335194618253, 1e-9);
}

TEST(SearchDistance, MethodsAndWeights) {
    csContext context;
    const DistanceColour r = distanceColour(0, context, 50, 30, 40);
    const DistanceColour s = distanceColour(0, context, 52, 32, 24);
    EXPECT_NEAR(searchDistance(0, r, s, 1, 1, 1), std::sqrt(4 + 4 + 256.0), 1e-12)
        << "weights 1: Delta E*ab";
    // Delta H^2 = 264 - 4 - 100 = 160.
    EXPECT_NEAR(searchDistance(0, r, s, 2, 1, 0.5), 12.489995996796797, 1e-12);
    EXPECT_NEAR(searchDistance(-1, r, s, 2, 1, 0.5), 12.489995996796797, 1e-12)
        << "no method selected counts as method 0";
    EXPECT_NEAR(searchDistance(1, r, s, 2, 1, 0.5), 6.430230871701276, 1e-12);
    // Method 2 is the DE2000 of the script's second pair, with the weights.
    const DistanceColour r2 = distanceColour(2, context, 50, 20, -3.52668);
    const DistanceColour s2 = distanceColour(2, context, 55, 0, 30);
    EXPECT_NEAR(searchDistance(2, r2, s2, 2, 1, 0.5), 18.728263459172414, 1e-9);
}

TEST(TotalDifference, Methods) {
    csContext context;
    setWindowViewingConditions(context);
    const double r[3] = {50, 10, 10}, s[3] = {50, 13, 14};
    EXPECT_NEAR(totalDifference(0, r, s, context), 5, 1e-12);
    EXPECT_NEAR(totalDifference(7, r, s, context), 5, 1e-12) << "an unknown method counts as 0";

    // Chroma 50 against 40 with no hue difference: sqrt(2^2 + 10^2 / SC^2), SC from sqrt(2000).
    const double r94[3] = {50, 30, 40}, s94[3] = {52, 24, 32};
    EXPECT_NEAR(totalDifference(1, r94, s94, context), 3.87548423065314, 1e-12);
    const double turned94[3] = {50, 40, 30}; // all hue: sqrt(200) / SH, SH = 1 + 0.015 x 50
    EXPECT_NEAR(totalDifference(1, r94, turned94, context), std::sqrt(200.0) / 1.75, 1e-12);
    const double r00[3] = {50, 20, -3.52668}, s00[3] = {55, 0, 30};
    EXPECT_NEAR(totalDifference(2, r00, s00, context), 31.843384345668678, 1e-9);

    // Method 3: Euclidean in J, a_c, b_c; a grey pair differs in J only, by less than in L*.
    const double g1[3] = {50, 0, 0}, g2[3] = {60, 0, 0};
    const double jab = totalDifference(3, g1, g2, context);
    float J1, J2, a, b;
    context.labToJab(50, 0, 0, &J1, &a, &b);
    context.labToJab(60, 0, 0, &J2, &a, &b);
    EXPECT_NEAR(jab, std::abs(J2 - J1), 1e-4);
}

TEST(DifferenceLabel, TextsAndUnknownIndexes) {
    EXPECT_EQ(differenceLabel(0) + differenceLabel(1) + differenceLabel(2) + differenceLabel(3),
              "\u0394E\u0394E94\u0394E00\u0394JCh");
    EXPECT_EQ(differenceLabel(-1) + differenceLabel(4), "");
}

} // namespace
