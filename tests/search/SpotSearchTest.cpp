#include "SpotSearch.h"
#include "DeviceToLab.h"
#include "FunctionConverter.h"
#include "TestProfiles.h"
#include "VariationOptimizer.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

namespace {

TEST(SearchWeights, EveryPreserveIndexAndPriority) {
    const double A[5] = {0.25, 0.5, 1.0, 1.0, 1.0};
    const double B[5] = {1.0, 1.0, 1.0, 0.5, 0.25};
    for (int strength = 0; strength <= 4; ++strength) {
        const double P = 2 * strength + 2;
        for (int p = 0; p <= 4; ++p) {
            // L, C, H for hue, chroma, lightness and no preference (3 or any other index).
            const std::array<double, 3> expected[4] = {
                {A[p], B[p], P}, {A[p], P, B[p]}, {P, A[p], B[p]}, {1, 1, 1}};
            for (int preserve = -1; preserve <= 3; ++preserve) {
                const SearchWeights w = searchWeights(strength, p, preserve);
                EXPECT_EQ((std::array<double, 3>{w.L, w.C, w.H}),
                          expected[preserve < 0 ? 3 : preserve])
                    << strength << " " << p << " " << preserve;
            }
        }
    }
}

TEST(DisplayedValue, TwoDecimalsAsTheFieldsReadThemBack) {
    EXPECT_EQ(displayedValue(3.125), 3.13) << "the fields' rounding, not the C library's";
    EXPECT_EQ(displayedValue(12.344), 12.34);
    EXPECT_EQ(displayedValue(99.999), 100.0);
}

// A profile bound as the window binds it: the combo index, then the intent table.
class Bound {
public:
    explicit Bound(const std::string& path, int intentIndex = 3) {
        ok = readProfile(profile, path) == 0;
        converter = std::make_unique<csICCProfileConverter>(
            &profile, 0, intentIndex == 3 ? 1 : intentIndex, intentIndex == 3 ? 1 : 0);
        ok = ok && converter->prepare() == 0;
        setWindowViewingConditions(context);
        clearLog();
    }
    SpotSearchResult search(double L, double a, double b, const SearchPreferences& preferences) {
        const double reference[3] = {L, a, b};
        return searchSpotColour(workspace, *converter, profile.header().colorSpace(),
                                profile.header().pcs() == Signature("XYZ "), context, reference,
                                preferences);
    }
    std::array<double, 3> labOf(const double device[4]) {
        std::array<double, 3> lab;
        deviceToLab(*converter, profile.header().colorSpace(),
                    profile.header().pcs() == Signature("XYZ "), device, lab.data());
        return lab;
    }

    bool ok = false;
    csICCProfile profile;
    std::unique_ptr<csICCProfileConverter> converter;
    csContext context;
    SearchWorkspace workspace;
};

std::string sample(const char* name) { return std::string(TINTORA_SAMPLE_PROFILES) + "/" + name; }

// A press whose only lightness control is the first channel (L* 100 down to 50) and whose
// colours are all neutral.
void neutralPress(const double* device, double pcs[3], int) {
    encodeLab(100 - 50 * device[0] / 65535, 0, 0, pcs);
}

TEST(SpotSearch, TheGamutTestDecidesAtTwoHundredthsAndTheSecondPassGoesOnFromIt) {
    csContext context;
    setWindowViewingConditions(context);
    SearchWorkspace workspace;
    struct Case {
        double a;
        bool outOfGamut;
    };
    for (const Case c : {Case{0.015, false}, Case{0.1, true}, Case{5, true}}) {
        FunctionConverter press(neutralPress);
        const double reference[3] = {60, c.a, 0};
        const SpotSearchResult result =
            searchSpotColour(workspace, press, Signature("CMY "), false, context, reference, {});
        EXPECT_EQ(result.outOfGamut, c.outOfGamut) << "a* " << c.a;
        EXPECT_NEAR(result.gamutDistance, c.a, 1e-3);
        // The gamut test starts at zero; a second pass that started there too would convert
        // the origin first once more (the start grid's one call holds far more pixels).
        int fromTheOrigin = 0;
        for (const auto& call : press.calls)
            fromTheOrigin += call.size() <= VariationOptimizer::maxVariations && call[0][0] == 0 &&
                             call[0][1] == 0 && call[0][2] == 0;
        EXPECT_EQ(fromTheOrigin, 1) << "a* " << c.a;
    }
}

// Answers of references whose best answer lies in another basin than the one the passes alone
// end in (in brackets), or just beyond where they stop, worked out with
// bench/tintora_search_quality.
TEST(SpotSearch, TheSecondPassFindsTheBasinThePassesAloneMiss) {
    struct Case {
        std::string profile;
        int preserve, method;
        double reference[3];
        std::array<double, 3> expected;
    };
    const std::string ghostscript = "/usr/share/color/icc/ghostscript/default_cmyk.icc";
    const std::string srgb = "/usr/share/color/icc/colord/sRGB.icc";
    for (const Case& c : {
             // C 100 M 80.86 Y 54.30, a greyish blue of Delta JCh 65.7 against 38.3.
             Case{ghostscript, 0, 3, {30, 15.63, -88.63}, {100, 49.14, 0}},
             Case{ghostscript, 1, 0, {76.37, 70.33, -79.75}, {0, 100, 100}}, // (100 0 100)
             Case{sample("Tintora-Sample-CMY.icc"), 1, 3, {84.84, -71.32, 60.59}, {0, 0, 100}},
             // Ends short of the face M 100 (56.84 93.95 0) without the last pass.
             Case{sample("Tintora-Sample-CMY.icc"), 0, 3, {30.76, 43.20, -82.11}, {58.18, 100, 0}},
             // Stopped by the iteration cap at 42.96 92.19 0 unless the kept pass goes on.
             Case{sample("Tintora-Sample-CMY.icc"), 0, 3, {35.46, 64.41, -75.43}, {44.54, 100, 0}},
             // 98.56 100 100 unless the face pass's first steps move candidates onto the face.
             Case{ghostscript, 2, 1, {10.14, 2.25, 45.09}, {100, 100, 91.23}},
             // Pure green, Delta JCh 209.8 against 62.3.
             Case{srgb, 1, 3, {12.56, 66.60, 13.24}, {255, 0, 0}},
             Case{srgb, 1, 1, {20.25, 114.59, -2.03}, {125.19, 0, 217.64}}, // (225.77 0 0)
         }) {
        Bound bound(c.profile);
        ASSERT_TRUE(bound.ok) << c.profile;
        SearchPreferences preferences;
        preferences.preserve = c.preserve;
        preferences.method = c.method;
        const SpotSearchResult result =
            bound.search(c.reference[0], c.reference[1], c.reference[2], preferences);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(result.device[k], c.expected[k], 0.05)
                << c.profile << " L* " << c.reference[0];
    }
}

// The start grid is converted once per converter preparation and black value.
TEST(SpotSearch, TheStartGridIsConvertedOncePerPreparationAndBlack) {
    csContext context;
    setWindowViewingConditions(context);
    SearchWorkspace workspace;
    FunctionConverter press(neutralPress);
    const auto gridConversions = [&] {
        int grids = 0;
        for (const auto& call : press.calls)
            grids += call.size() > VariationOptimizer::maxVariations;
        return grids;
    };
    const auto search = [&](double a, double black) {
        SearchPreferences preferences;
        preferences.black = black;
        const double reference[3] = {60, a, 0};
        return searchSpotColour(workspace, press, Signature("CMY "), false, context, reference,
                                preferences);
    };
    search(5, 0);
    search(-5, 0);
    EXPECT_EQ(gridConversions(), 1);
    EXPECT_EQ(press.calls.back().size(), 1u) << "the last call shows the answer";
    search(5, 40);
    EXPECT_EQ(gridConversions(), 2) << "another black value";
    press.prepare();
    search(5, 40);
    EXPECT_EQ(gridConversions(), 3) << "another preparation";
    search(0, 40);
    EXPECT_EQ(gridConversions(), 3) << "in gamut: no grid at all";
}

TEST(SpotSearch, OutOfGamutReferencesFollowThePreferences) {
    Bound bound(sample("Tintora-Sample-CMYK.icc"));
    ASSERT_TRUE(bound.ok);
    SearchPreferences hue;
    const SpotSearchResult byHue = bound.search(50, 120, 0, hue);
    EXPECT_TRUE(byHue.outOfGamut);
    EXPECT_GT(byHue.gamutDistance, 10);

    SearchPreferences lightness = hue;
    lightness.preserve = 2;
    const SpotSearchResult byLightness = bound.search(50, 120, 0, lightness);
    EXPECT_LT(std::abs(byLightness.achieved[0] - 50), std::abs(byHue.achieved[0] - 50))
        << "preserving lightness keeps L* closer";

    SearchPreferences weak = hue, strong = hue;
    weak.strength = 0;
    strong.strength = 4;
    const SpotSearchResult weakHue = bound.search(50, 120, 0, weak);
    const SpotSearchResult strongHue = bound.search(50, 120, 0, strong);
    const auto hueError = [](const SpotSearchResult& r) {
        return std::abs(std::atan2(r.achieved[2], r.achieved[1]));
    };
    EXPECT_LT(hueError(strongHue), hueError(weakHue)) << "strength changes the result";
}

TEST(SpotSearch, RGBIsShownInBytes) {
    Bound rgb(sample("Tintora-Sample-RGB.icc"));
    ASSERT_TRUE(rgb.ok);
    const double device[4] = {200, 100, 50, 0};
    const auto lab = rgb.labOf(device);
    const SpotSearchResult result = rgb.search(lab[0], lab[1], lab[2], {});
    EXPECT_FALSE(result.outOfGamut);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(result.device[c], device[c], 1.0) << "0..255, not percent";
        EXPECT_EQ(result.device[c], displayedValue(result.device[c])) << "as shown";
    }
    const auto shown = rgb.labOf(result.device);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(result.achieved[c], shown[c]) << "the colour of the values as shown";
}

} // namespace

namespace {

// The weighted distance of a result, as the search ranks shown answers.
double shownDistance(Bound& bound, const SpotSearchResult& result, const double reference[3],
                     const SearchPreferences& preferences) {
    const SearchWeights w =
        searchWeights(preferences.strength, preferences.priority, preferences.preserve);
    const int m = preferences.method;
    return searchDistance(
        m, distanceColour(m, bound.context, reference[0], reference[1], reference[2]),
        distanceColour(m, bound.context, result.achieved[0], result.achieved[1],
                       result.achieved[2]),
        w.L, w.C, w.H);
}

// Every answer keeps the ink limit, the black limit and the locks, and shows its coverage; with
// black searched it is never worse than black fixed at any of five levels (by more than 0.1: far
// out of gamut the weighted distance is flat in black).
TEST(SpotSearch, PressConstraintsHoldForEveryReference) {
    const std::string ghostscript = "/usr/share/color/icc/ghostscript/default_cmyk.icc";
    for (const std::string& path : {ghostscript, sample("Tintora-Sample-CMYK.icc")}) {
        Bound bound(path);
        ASSERT_TRUE(bound.ok) << path;
        // Dark, light and vivid references, in and out of gamut.
        const double references[][3] = {{12, 0, 0},   {15, 10, 5},   {30, 40, -60},
                                        {55, 70, 60}, {80, -30, 20}, {92, 2, 30}};
        struct Setting {
            double ink, blackLimit, lockC;
            BlackGeneration black;
        };
        for (const Setting& s : {Setting{300, 100, -1, BlackGeneration::Fixed},
                                 Setting{300, 30, -1, BlackGeneration::Fixed}, // below the 40
                                 Setting{260, 100, -1, BlackGeneration::Free},
                                 Setting{0, 50, -1, BlackGeneration::Free},
                                 Setting{280, 100, 10, BlackGeneration::Free}}) {
            SearchPreferences preferences;
            preferences.black = 40;
            preferences.press.inkLimit = s.ink;
            preferences.press.blackLimit = s.blackLimit;
            preferences.press.locks[0] = s.lockC;
            preferences.press.black = s.black;
            for (const auto& r : references) {
                const SpotSearchResult result = bound.search(r[0], r[1], r[2], preferences);
                const double* d = result.device;
                const std::string at =
                    path + " L* " + std::to_string(r[0]) + " ink " + std::to_string(s.ink);
                EXPECT_NEAR(result.coverage, d[0] + d[1] + d[2] + d[3], 1e-9) << at;
                EXPECT_LE(result.coverage, s.ink > 0 ? s.ink : 400) << at;
                EXPECT_LE(d[3], s.blackLimit) << at;
                EXPECT_EQ(d[0] == s.lockC, s.lockC >= 0) << at;
                EXPECT_EQ(d[3] == std::min(40.0, s.blackLimit), s.black == BlackGeneration::Fixed)
                    << at;
                if (s.black != BlackGeneration::Free)
                    continue;
                const double free = shownDistance(bound, result, r, preferences);
                SearchPreferences fixed = preferences;
                fixed.press.black = BlackGeneration::Fixed;
                for (const double k : {0.0, 0.25, 0.5, 0.75, 1.0}) {
                    fixed.black = k * s.blackLimit;
                    const SpotSearchResult other = bound.search(r[0], r[1], r[2], fixed);
                    EXPECT_LE(free, shownDistance(bound, other, r, fixed) + 0.1)
                        << at << " black " << fixed.black;
                }
            }
        }
    }
}

} // namespace

namespace {

// Least and most black stay within the latitude of the best answer, bracket the searched black,
// and reach the end of black's range whenever black fixed there is within the latitude too.
TEST(SpotSearch, LeastAndMostBlackKeepTheColourWithinTheLatitude) {
    const std::string ghostscript = "/usr/share/color/icc/ghostscript/default_cmyk.icc";
    for (const std::string& path : {ghostscript, sample("Tintora-Sample-CMYK.icc")}) {
        Bound bound(path);
        ASSERT_TRUE(bound.ok) << path;
        for (const auto& r : {std::array<double, 3>{15, 10, 5},
                              {40, 0, 0},
                              {25, -20, -30},
                              {60, 20, -30},
                              {70, 5, 60},
                              {85, 5, 10},
                              {5.69, -29.70, 20.78}}) {
            SearchPreferences preferences;
            const auto total = [&](const SpotSearchResult& result) {
                return totalDifference(preferences.method, r.data(), result.achieved,
                                       bound.context);
            };
            const auto with = [&](BlackGeneration black, double k = 0) {
                preferences.press.black = black;
                preferences.black = k;
                return bound.search(r[0], r[1], r[2], preferences);
            };
            const SpotSearchResult free = with(BlackGeneration::Free);
            const SpotSearchResult least = with(BlackGeneration::Minimum);
            const SpotSearchResult most = with(BlackGeneration::Maximum);
            const double within = total(free) + blackLatitude;
            const std::string at = path + " L* " + std::to_string(r[0]);
            EXPECT_LE(total(least), within) << at;
            EXPECT_LE(total(most), within) << at;
            EXPECT_LE(least.device[3], free.device[3]) << at;
            EXPECT_GE(most.device[3], free.device[3]) << at;
            // A dark near-neutral is printed with anything from little to much black.
            if (r[0] == 15 && path == ghostscript) {
                EXPECT_LT(least.device[3], free.device[3] - 10) << at;
                EXPECT_GT(most.device[3], least.device[3] + 20) << at;
            }
            // A black level whose own answer is within the latitude bounds least and most black:
            // exactly at the ends of black's range, within 3 % in between (the path along equal
            // colour ends where the difference reaches the bound, a little before another C, M
            // and Y at that level would).
            for (double k = 10; k <= 90; k += 10)
                if (total(with(BlackGeneration::Fixed, k)) <= within) {
                    EXPECT_LE(least.device[3], k + 3) << at << " black " << k;
                    EXPECT_GE(most.device[3], k - 3) << at << " black " << k;
                }
            if (total(with(BlackGeneration::Fixed, 0)) <= within) {
                EXPECT_EQ(least.device[3], 0) << at;
            }
            // Without black, C 100 M 13.66 Y 100 is within the latitude of this dark green, on
            // other C, M and Y than the path along equal colour reaches.
            if (r[0] == 5.69 && path == ghostscript) {
                const double noBlack[4] = {100, 13.66, 100, 0};
                const std::array<double, 3> lab = bound.labOf(noBlack);
                ASSERT_LE(totalDifference(preferences.method, r.data(), lab.data(), bound.context),
                          within);
                EXPECT_EQ(least.device[3], 0) << at;
            }
            if (total(with(BlackGeneration::Fixed, 100)) <= within) {
                EXPECT_EQ(most.device[3], 100) << at;
            }
        }
    }
}

} // namespace

namespace {

// Dark references under a 300 % limit get an answer within it that is as near as a dense search
// under the same limit finds: every 5 % of C, M and Y at K 40, the best points polished in
// two-decimal steps.
TEST(SpotSearch, UnderAnInkLimitTheAnswerIsAsNearAsADenseSearch) {
    Bound bound("/usr/share/color/icc/ghostscript/default_cmyk.icc");
    ASSERT_TRUE(bound.ok);
    SearchPreferences preferences;
    preferences.black = 40;
    preferences.press.inkLimit = 300;
    const SearchWeights w = searchWeights(2, 2, 0);
    for (const auto& r : {std::array<double, 3>{15, 10, 5}, {12, -5, -10}}) {
        const DistanceColour wanted = distanceColour(3, bound.context, r[0], r[1], r[2]);
        const auto distance = [&](const double device[4]) {
            const std::array<double, 3> lab = bound.labOf(device);
            return searchDistance(
                3, wanted, distanceColour(3, bound.context, lab[0], lab[1], lab[2]), w.L, w.C, w.H);
        };
        const auto within = [](const double d[4]) {
            return d[0] + d[1] + d[2] + d[3] <= 300 && d[0] >= 0 && d[1] >= 0 && d[2] >= 0 &&
                   d[0] <= 100 && d[1] <= 100 && d[2] <= 100;
        };
        double best[4] = {0, 0, 0, 40}, nearest = distance(best);
        for (int c = 0; c <= 100; c += 5)
            for (int m = 0; m <= 100; m += 5)
                for (int y = 0; y <= 100; y += 5) {
                    const double d[4] = {double(c), double(m), double(y), 40};
                    if (within(d) && distance(d) < nearest) {
                        nearest = distance(d);
                        std::copy(d, d + 4, best);
                    }
                }
        for (double step = 2.5; step >= 0.01; step /= 2)
            for (bool moved = true; moved;) {
                moved = false;
                for (int i = -1; i <= 1; ++i)
                    for (int j = -1; j <= 1; ++j)
                        for (int k = -1; k <= 1; ++k) {
                            const double d[4] = {displayedValue(best[0] + i * step),
                                                 displayedValue(best[1] + j * step),
                                                 displayedValue(best[2] + k * step), 40};
                            if (within(d) && distance(d) < nearest) {
                                nearest = distance(d);
                                std::copy(d, d + 4, best);
                                moved = true;
                            }
                        }
            }
        const SpotSearchResult result = bound.search(r[0], r[1], r[2], preferences);
        EXPECT_LE(result.coverage, 300);
        EXPECT_LE(distance(result.device), nearest + 0.1)
            << "L* " << r[0] << ": dense " << best[0] << ' ' << best[1] << ' ' << best[2];
    }
}

} // namespace
