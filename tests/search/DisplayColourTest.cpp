// Colours on screen through display profiles: the packaged sRGB against Little CMS 2's own sRGB,
// clipping, a lut display profile, refusals.

#include "DisplayColour.h"
#include "LutBytes.h"
#include "TestProfiles.h"
#include "csICCPCS.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csICCXYZTag.h"
#include "csLog.h"

#include <lcms2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const std::string samples = TINTORA_SAMPLE_PROFILES;

// Little CMS 2's built-in sRGB, relative colorimetric from D50 Lab, 8 bits, rounded.
void littleCMSsRGB(const double lab[3], int rgb[3]) {
    cmsHPROFILE from = cmsCreateLab4Profile(nullptr), to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(from, TYPE_Lab_DBL, to, TYPE_RGB_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    double out[3];
    cmsDoTransform(transform, lab, out, 1);
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<int>(std::lround(std::clamp(out[c], 0.0, 1.0) * 255));
    cmsDeleteTransform(transform);
    cmsCloseProfile(from);
    cmsCloseProfile(to);
}

TEST(DisplayColour, PackagedSRGBShowsWhatLittleCMSsSRGBShows) {
    const auto display = DisplayColour::sRGB();
    ASSERT_NE(display, nullptr);
    // sRGB's red as CIE publishes it (D65 white) still shows about as pure red.
    const double red[3] = {53.24, 80.09, 67.20};
    const DisplayRGB shownRed = display->show(red);
    EXPECT_GE(shownRed.rgb[0], 245);
    EXPECT_LE(shownRed.rgb[1] + shownRed.rgb[2], 10);

    const double colours[][3] = {
        {100, 0, 0},      {0, 0, 0},     {50, 0, 0},  {54.29, 80.8, 69.9}, {87.8, -79, 81},
        {29.6, 68, -112}, {70, 20, -30}, {12, 3, -4}, {50, -128, 127},     {95, 0, 60}};
    for (const auto& lab : colours) {
        int expected[3];
        littleCMSsRGB(lab, expected);
        const DisplayRGB shown = display->show(lab);
        for (int c = 0; c < 3; ++c)
            EXPECT_LE(std::abs(shown.rgb[c] - expected[c]), 1)
                << lab[0] << " " << lab[1] << " " << lab[2] << " channel " << c;
    }
    EXPECT_EQ(display->show(colours[0]).rgb[1], 255);
    EXPECT_FALSE(display->show(colours[0]).clipped);
    EXPECT_FALSE(display->show(colours[1]).clipped) << "black is the display's black";
    EXPECT_FALSE(display->show(colours[6]).clipped) << "an in-gamut colour";
    EXPECT_TRUE(display->show(colours[8]).clipped) << "far outside sRGB";
    EXPECT_TRUE(display->show(colours[9]).clipped) << "a light yellow beyond sRGB's";
    const double notANumber[3] = {std::nan(""), 0, 0};
    EXPECT_TRUE(display->show(notANumber).clipped);
}

// sRGB as a lut display profile with a Lab PCS: its A2B0 and B2A0 sampled from the matrix/TRC
// profile (legacy Lab encoding, 33 points a channel).
std::unique_ptr<csICCProfile> sampledSRGB() {
    csICCProfile matrix;
    makeSRGBProfile(matrix);
    csICCProfileConverter toXYZ(&matrix, 0, 1, 0), fromXYZ(&matrix, 1, 1, 0);
    EXPECT_EQ(toXYZ.prepare() + fromXYZ.prepare(), 0);
    LutBytes a2b, b2a;
    a2b.grid = b2a.grid = 33;
    // Each grid point is converted once, when its first output is asked for.
    double point[3];
    a2b.clut = [&](const std::vector<unsigned>& index, unsigned c) {
        if (c == 0) {
            double rgb[3];
            for (int k = 0; k < 3; ++k)
                rgb[k] = index[k] * 65535.0 / 32;
            toXYZ.convert(rgb, point, 1, 3, 3);
            csICCPCS::XYZ16toLegacyLab16(point, point, 1);
        }
        return static_cast<std::uint16_t>(std::lround(std::clamp(point[c], 0.0, 65535.0)));
    };
    b2a.clut = [&](const std::vector<unsigned>& index, unsigned c) {
        if (c == 0) {
            double pcs[3];
            for (int k = 0; k < 3; ++k)
                pcs[k] = index[k] * 65535.0 / 32;
            csICCPCS::LegacyLab16toXYZ16(pcs, pcs, 1);
            fromXYZ.convert(pcs, point, 1, 3, 3);
        }
        return static_cast<std::uint16_t>(std::lround(std::clamp(point[c], 0.0, 65535.0)));
    };
    auto profile = std::make_unique<csICCProfile>();
    setHeader(*profile, "mntr", "RGB ", "Lab ");
    profile->addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    addBlock(*profile, "A2B0", a2b.mft2());
    addBlock(*profile, "B2A0", b2a.mft2());
    return profile;
}

// A lut profile shows through its B2A table what the matrix/TRC profile it samples shows, and a
// colour outside is marked as clipped there too.
TEST(DisplayColour, ALutProfileShowsThroughItsB2A) {
    std::string why;
    const auto lut = DisplayColour::bind(sampledSRGB(), &why);
    ASSERT_NE(lut, nullptr) << why;
    const auto matrix = DisplayColour::sRGB();
    const double inside[3] = {60, 10, 10}, outside[3] = {50, -100, -100};
    const DisplayRGB byLut = lut->show(inside), byMatrix = matrix->show(inside);
    for (int c = 0; c < 3; ++c)
        EXPECT_LE(std::abs(byLut.rgb[c] - byMatrix.rgb[c]), 2) << c;
    EXPECT_FALSE(byLut.clipped);
    EXPECT_TRUE(lut->show(outside).clipped);

    // Profiles that cannot show colours: no RGB, no PCS-to-device transform, no file.
    EXPECT_EQ(DisplayColour::bindFile(samples + "/Tintora-Sample-CMYK.icc", &why), nullptr);
    EXPECT_EQ(why, "not an RGB profile");
    EXPECT_EQ(DisplayColour::bindFile(samples + "/Tintora-Sample-RGB.icc", &why), nullptr);
    EXPECT_EQ(why, "no transform from the PCS to the display");
    EXPECT_EQ(DisplayColour::bindFile(samples + "/missing.icc", &why), nullptr);
    EXPECT_NE(why.find("missing.icc"), std::string::npos) << why;
    clearLog();
}

} // namespace
