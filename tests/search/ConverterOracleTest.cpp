// The device-to-Lab path (profile converter on doubles, then decoding as the window does) checked
// against Little CMS 2 on grids of device values, for matrix/TRC profiles and three-input luts.
// (For four inputs Little CMS 2 interpolates differently: linear along the first channel,
// tetrahedra in the other three; the lut tests hold the double path to the fixed-point one.)
// Each comparison prints the mean and largest colour difference (CIE 1976).

#include "DeviceToLab.h"
#include "TestProfiles.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <lcms2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Lab = std::array<double, 3>;

double deltaE(const Lab& a, const Lab& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

struct Stats {
    double sum = 0, worst = 0;
    int count = 0;
    void add(double d) {
        sum += d;
        worst = std::max(worst, d);
        ++count;
    }
    double mean() const { return count ? sum / count : 0; }
};

// Every device colour of a grid of steps per channel, in the window's units. Step counts are
// chosen so that most colours fall between the lut's grid points.
std::vector<std::array<double, 4>> deviceGrid(unsigned channels, bool bytes, unsigned steps) {
    std::vector<std::array<double, 4>> grid;
    std::vector<unsigned> index(channels, 0);
    while (true) {
        std::array<double, 4> device{0, 0, 0, 0};
        for (unsigned c = 0; c < channels; ++c)
            device[c] = index[c] * (bytes ? 255.0 : 100.0) / (steps - 1);
        grid.push_back(device);
        unsigned c = 0;
        while (c < channels && ++index[c] == steps)
            index[c++] = 0;
        if (c == channels)
            return grid;
    }
}

struct Bound {
    csICCProfile profile;
    bool read(const std::string& path) {
        clearLog();
        return readProfile(profile, path) == 0;
    }
    Lab ours(csICCProfileConverter& converter, const std::array<double, 4>& device) {
        Lab lab;
        deviceToLab(converter, profile.header().colorSpace(),
                    profile.header().pcs() == Signature("XYZ "), device.data(), lab.data());
        return lab;
    }
};

std::string samples() { return TINTORA_SAMPLE_PROFILES; }

// Our path against Little CMS 2 (version 2 Lab as output, no optimisation) for one intent.
Stats againstLittleCMS(const std::string& path, int intent, unsigned steps) {
    Bound bound;
    EXPECT_TRUE(bound.read(path)) << path;
    const Signature space = bound.profile.header().colorSpace();
    const unsigned channels = bound.profile.colorSpaceChannels();
    const bool bytes = space == Signature("RGB ");
    csICCProfileConverter converter(&bound.profile, 0, intent == 3 ? 1 : intent, intent == 3);
    EXPECT_EQ(converter.prepare(), 0);

    cmsHPROFILE device = cmsOpenProfileFromFile(path.c_str(), "r");
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    const cmsUInt32Number format =
        channels == 4 ? TYPE_CMYK_DBL
        : bytes       ? TYPE_RGB_DBL
                      : (FLOAT_SH(1) | COLORSPACE_SH(PT_CMY) | CHANNELS_SH(3) | BYTES_SH(0));
    cmsHTRANSFORM transform = cmsCreateTransform(device, format, lab, TYPE_Lab_DBL, intent,
                                                 cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
    Stats stats;
    for (const auto& colour : deviceGrid(channels, bytes, steps)) {
        double in[4];
        for (unsigned c = 0; c < 4; ++c)
            in[c] = bytes ? colour[c] / 255.0 : colour[c]; // RGB doubles are 0..1 there
        cmsCIELab expected;
        cmsDoTransform(transform, in, &expected, 1);
        stats.add(deltaE(bound.ours(converter, colour), {expected.L, expected.a, expected.b}));
    }
    cmsDeleteTransform(transform);
    cmsCloseProfile(lab);
    cmsCloseProfile(device);
    std::printf("Little CMS 2, %s intent %d: mean %.5f, max %.5f (%d colours)\n",
                path.substr(path.rfind('/') + 1).c_str(), intent, stats.mean(), stats.worst,
                stats.count);
    return stats;
}

TEST(ConverterOracle, MatrixTRCProfilesAgreeWithLittleCMS) {
    for (const char* name : {"srgb.icc", "a98.icc", "default_rgb.icc", "rommrgb.icc"})
        for (int intent : {0, 1}) {
            const Stats stats = againstLittleCMS(
                std::string("/usr/share/color/icc/ghostscript/") + name, intent, 17);
            EXPECT_LT(stats.mean(), 0.01) << name;
            EXPECT_LT(stats.worst, 0.05) << name;
        }
}

TEST(ConverterOracle, ThreeInputLutsAgreeWithLittleCMS) {
    for (const char* name : {"/Tintora-Sample-CMY.icc", "/Tintora-Sample-RGB.icc"})
        for (int intent : {0, 1, 2, 3}) {
            // Absolute colorimetry scales by 0.96422 and 0.82521 where Little CMS 2 takes the
            // header's D50 (0.9642, 0.8249): a few hundredths apart.
            const Stats stats = againstLittleCMS(samples() + name, intent, 14);
            EXPECT_LT(stats.mean(), intent == 3 ? 0.03 : 0.01) << name << " intent " << intent;
            EXPECT_LT(stats.worst, 0.05) << name << " intent " << intent;
        }
}

} // namespace
