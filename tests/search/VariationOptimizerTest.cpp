#include "VariationOptimizer.h"
#include "DeviceToLab.h"
#include "FunctionConverter.h"
#include "LutBytes.h"
#include "TestProfiles.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCPCS.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

// A flat region: every device value has the same colour.
void grey(const double*, double pcs[3], int) { encodeLab(60, 0, 0, pcs); }

class Optimizer : public testing::Test {
protected:
    Optimizer() { setWindowViewingConditions(context); }
    ~Optimizer() override { clearLog(); }
    csContext context;
    VariationOptimizer optimizer;
};

// A CMY printer profile whose lut passes the device values through: the legacy L16, a16, b16
// are the 16-bit device values, so every device colour has its own L*a*b* in closed form.
class IdentityProfile {
public:
    IdentityProfile() {
        setHeader(profile, "prtr", "CMY ", "Lab ");
        addBlock(profile, "A2B0", LutBytes{}.mft2());
        converter = std::make_unique<csICCProfileConverter>(&profile, 0, 0, 0);
    }
    csICCProfile profile;
    std::unique_ptr<csICCProfileConverter> converter;
};

TEST_F(Optimizer, LandsOnTheExactDeviceValuesOfAnIdentityLut) {
    IdentityProfile identity;
    ASSERT_EQ(identity.converter->prepare(), 0);
    const double target[4] = {25, 50, 75, 0};
    double lab[3];
    deviceToLab(*identity.converter, Signature("CMY "), false, target, lab);
    EXPECT_NEAR(lab[0], 25 * 65535 / 65280.0, 1e-9) << "legacy L16 65280 is L* 100";
    for (int method = 0; method < 4; ++method) {
        double dev[4] = {0, 0, 0, 0};
        double reference[3] = {lab[0], lab[1], lab[2]};
        const double distance = optimizer.searchDeviceValues(*identity.converter, context, dev,
                                                             reference, 1, 1, 1, method, false);
        EXPECT_EQ(distance, 0) << "method " << method;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(dev[c], target[c], 1e-12) << "method " << method << " channel " << c;
        // The colour of the result comes back as the method measures it: J, a_c, b_c for 3.
        float jab[3];
        context.labToJab(float(lab[0]), float(lab[1]), float(lab[2]), &jab[0], &jab[1], &jab[2]);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(reference[c], method == 3 ? jab[c] : lab[c], 1e-3) << "method " << method;
    }
}

TEST_F(Optimizer, BorderStartTriesTheCornersFirst) {
    FunctionConverter converter(grey);
    double dev[4] = {0, 0, 0, 33.33};
    double reference[3] = {60, 0, 0};
    optimizer.searchDeviceValues(converter, context, dev, reference, 1, 1, 1, 0, false);
    const auto& first = converter.calls.at(0);
    ASSERT_EQ(first.size(), 8u) << "the point and its 7 neighbours with non-negative changes";
    const double corners[8][3] = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1},
                                  {1, 0, 0}, {1, 0, 1}, {1, 1, 0}, {1, 1, 1}};
    for (int n = 0; n < 8; ++n) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(first[n][c], corners[n][c] * 65535) << "candidate " << n;
        // 33.33 x 655.35 = 21842.8155 is not a single-precision number; the candidate is.
        EXPECT_EQ(first[n][3], 21842.81640625) << "single precision";
    }
}

TEST_F(Optimizer, FlatRegionHalvesTheStepUntilBelowOneHalf) {
    FunctionConverter converter(grey);
    double dev[4] = {50, 50, 50, 40};
    double reference[3] = {50, 0, 0};
    const double distance =
        optimizer.searchDeviceValues(converter, context, dev, reference, 1, 1, 1, 0, false);
    // Steps 65535, 32767.5, ... 65535 / 2^17 < 0.5: 18 conversions. From the middle the first
    // step leaves the device range in every direction; from then on all 27 candidates are in it,
    // and the point itself, converted the iteration before, is not converted again.
    ASSERT_EQ(converter.calls.size(), 18u);
    EXPECT_EQ(converter.calls[0].size(), 1u);
    for (std::size_t call = 1; call < converter.calls.size(); ++call)
        EXPECT_EQ(converter.calls[call].size(), 26u);
    EXPECT_NEAR(converter.calls.back()[0][0], 32767.5f - 65535 / 131072.0, 1e-3);
    EXPECT_NEAR(distance, 10, 1e-9);
    EXPECT_NEAR(dev[0] + dev[3], 90, 1e-12) << "the point stays, black kept";
    EXPECT_NEAR(reference[0], 60, 1e-9) << "the colour of the end point";
    EXPECT_FALSE(optimizer.moved());
    EXPECT_EQ(optimizer.nextStep(), 65535 / 262144.0);

    // Steps 1024, 512 and 256; 128 is below half of 300.
    converter.calls.clear();
    optimizer.searchDeviceValues(converter, context, dev, reference, 1, 1, 1, 0, false,
                                 {1024, 300});
    EXPECT_EQ(converter.calls.size(), 3u);
    EXPECT_EQ(optimizer.nextStep(), 128);
}

TEST_F(Optimizer, ClampedCandidatesLandOnTheFaceAndNeverRepeatAnother) {
    FunctionConverter converter(grey);
    double dev[4] = {0.5, 0, 0, 0};
    double reference[3] = {60, 0, 0};
    optimizer.searchDeviceValues(converter, context, dev, reference, 1, 1, 1, 0, false,
                                 {1000, 0.5, true});
    // The first channel takes 327.675 (the point first), 0 and 1327.675; the others, on their
    // face, 0 and 1000.
    const auto& first = converter.calls.at(0);
    ASSERT_EQ(first.size(), 12u);
    EXPECT_EQ(first[1][0], 0);
    EXPECT_EQ(first[11][0], 1327.675f);
}

TEST_F(Optimizer, EqualDistancesGoToTheEarlierCandidate) {
    // Lightness falls with the sum of the three channels; candidates (0, 0, 1) and (0, 1, 0) both
    // reach L* 50, and the first of them in the table wins.
    FunctionConverter converter([](const double* d, double* pcs, int) {
        encodeLab(std::max(0.0, 100 - 50 * (d[0] + d[1] + d[2]) / 65535), 0, 0, pcs);
    });
    double dev[4] = {0, 0, 0, 0};
    double reference[3] = {50, 0, 0};
    EXPECT_EQ(optimizer.searchDeviceValues(converter, context, dev, reference, 1, 1, 1, 0, false),
              0);
    EXPECT_EQ(dev[1], 0);
    EXPECT_NEAR(dev[2], 100, 1e-12);
}

TEST_F(Optimizer, StopsAfterOneHundredIterations) {
    // Lightness falls with the sum of the channels towards the reference's 0: from white, steps
    // of one unit always find a better point, all three channels up.
    FunctionConverter converter([](const double* d, double* pcs, int) {
        encodeLab(100 - (d[0] + d[1] + d[2]) / 65535 * 30, 0, 0, pcs);
    });
    double dev[4] = {0, 0, 0, 0};
    double reference[3] = {0, 0, 0};
    const double distance = optimizer.searchDeviceValues(converter, context, dev, reference, 1, 1,
                                                         1, 0, false, {1, 0.5});
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(dev[c] * percentTo16, 100, 1e-9) << "a hundred moves, then the cap";
    // From the corner 8 candidates; after each move all 27 but the 8 the last iteration had
    // (its corner of the cube around the new point) are converted.
    ASSERT_EQ(converter.calls.size(), 100u);
    EXPECT_EQ(converter.calls[0].size(), 8u);
    for (std::size_t call = 1; call < converter.calls.size(); ++call)
        ASSERT_EQ(converter.calls[call].size(), 19u) << call;
    EXPECT_NEAR(distance, 100 - 300 / 65535.0 * 30, 1e-9) << "where the last move went";

    // With a cap of 7, still moving at the step it started with.
    converter.calls.clear();
    double again[4] = {0, 0, 0, 0};
    optimizer.searchDeviceValues(converter, context, again, reference, 1, 1, 1, 0, false,
                                 {1, 0.5, false, 7});
    EXPECT_NEAR(again[0] * percentTo16, 7, 1e-9);
    EXPECT_TRUE(optimizer.moved() && optimizer.stoppedMoving());
    EXPECT_EQ(optimizer.nextStep(), 1);
}

TEST_F(Optimizer, XYZAndLabPCSGiveTheSameResult) {
    const auto lab = [](const double* d, double out[3]) {
        out[0] = 90 - 60 * d[0] / 65535;
        out[1] = 60 * d[1] / 65535 - 30;
        out[2] = 40 * d[2] / 65535 - 20 + 10 * d[0] / 65535;
    };
    FunctionConverter labPcs([&](const double* d, double* pcs, int) {
        double v[3];
        lab(d, v);
        encodeLab(v[0], v[1], v[2], pcs);
    });
    FunctionConverter xyzPcs([&](const double* d, double* pcs, int) {
        double v[3];
        lab(d, v);
        csICCPCS::LabToXYZ(v, pcs, 1); // X, Y, Z with the PCS white's Y at 100
        for (int c = 0; c < 3; ++c)
            pcs[c] *= 327.68;
    });
    for (int method = 0; method < 4; ++method) {
        double devLab[4] = {0, 0, 0, 0}, devXYZ[4] = {0, 0, 0, 0};
        double r1[3] = {60, 5, -3}, r2[3] = {60, 5, -3};
        const double d1 =
            optimizer.searchDeviceValues(labPcs, context, devLab, r1, 1, 1, 1, method, false);
        const double d2 =
            optimizer.searchDeviceValues(xyzPcs, context, devXYZ, r2, 1, 1, 1, method, true);
        EXPECT_LT(d1 + d2, 1e-3);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(devLab[c], devXYZ[c], 0.01) << "method " << method;
    }
}

// A colour kept from the iteration before is that of the same device values: where a shifted
// candidate is clamped onto a face or rounds to other values, it is converted again. So the colour
// a pass ends on is its end point's own, over many passes along the faces of a curved press.
TEST_F(Optimizer, AColourKeptFromTheLastIterationIsThatOfTheSameDeviceValues) {
    const auto colour = [](const double* d, double lab[3]) {
        const double c = d[0] / 65535, m = d[1] / 65535, y = d[2] / 65535;
        lab[0] = 95 - 40 * std::sqrt(c) - 30 * m * m - 10 * y;
        lab[1] = 70 * m - 40 * c + 5 * std::sin(9 * y);
        lab[2] = 80 * y - 50 * c * m - 20 * std::cos(7 * c);
    };
    FunctionConverter press([&](const double* d, double* pcs, int) {
        double lab[3];
        colour(d, lab);
        encodeLab(lab[0], lab[1], lab[2], pcs);
    });
    std::mt19937 random(5);
    std::uniform_real_distribution<double> percent(0, 100), ab(-90, 90);
    for (int n = 0; n < 3000; ++n) {
        double dev[4] = {percent(random), percent(random), percent(random), 0};
        if (n % 2 == 0)
            dev[n / 2 % 3] = n % 4 == 0 ? 0 : 100; // starting on a face
        double reference[3] = {percent(random), ab(random), ab(random)};
        const double first = std::ldexp(65535.0, -static_cast<int>(random() % 8));
        optimizer.searchDeviceValues(press, context, dev, reference, 1, 1, 1, 0, false,
                                     {first, 0.5, n % 3 != 0, 40});
        double in[4], lab[3], pcs[3];
        for (int k = 0; k < 4; ++k)
            in[k] = toSingle(dev[k] * percentTo16);
        colour(in, lab);
        encodeLab(lab[0], lab[1], lab[2], pcs);
        pcsToLab(pcs, 1, false);
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(reference[k], pcs[k]) << "pass " << n << " component " << k;
    }
}

TEST(VariationTableDeathTest, TwentyEighthVariationEndsTheProcess) {
    VariationOptimizer optimizer;
    for (int n = 0; n < 27; ++n) // C, M and Y searched, as by default
        optimizer.addVariation(0, 0, 0, 0);
    EXPECT_EQ(optimizer.variationCount(), 27);
    EXPECT_EXIT(optimizer.addVariation(0, 0, 0, 0), testing::ExitedWithCode(1),
                "^too many variations!\n$");
}

TEST(VariationTable, CandidatesOutsideTheDeviceRangeAreDropped) {
    VariationOptimizer optimizer;
    optimizer.addVariation(-1, 0, 0, 0);
    optimizer.addVariation(65536, 0, 0, 0);
    optimizer.addVariation(0, 0, 0, 65535);
    EXPECT_EQ(optimizer.variationCount(), 1);
    EXPECT_EQ(optimizer.candidate(0)[3], 65535);
}

} // namespace
