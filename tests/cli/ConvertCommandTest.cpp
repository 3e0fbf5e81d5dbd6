#include "ConvertCommand.h"
#include "IndependentLut.h"
#include "PackagedProfiles.h"
#include "csICCProfile.h"

#include <lcms2.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

const std::string cmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

TEST(ConvertCommand, ReadsColoursAndWritesLab) {
    std::istringstream in("0 0 0 0\n100,0,0,0\n\n  50, 50 50\t50\n");
    std::ostringstream out, errors;
    EXPECT_EQ(runConvert(cmyk, 1, in, out, errors), 0);
    EXPECT_EQ(errors.str(), "");
    std::istringstream lines(out.str());
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "100.0000 0.0000 0.0000") << "paper white, relative colorimetric";
    const std::string text = out.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

TEST(ConvertCommand, BadLinesAreReportedAndSkipped) {
    std::istringstream in("0 0 0 0\nabc\n1 2 3\n101 0 0 0\n10 10 10 10\n");
    std::ostringstream out, errors;
    EXPECT_EQ(runConvert(cmyk, 0, in, out, errors), 1);
    const std::string text = out.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(errors.str(), "line 2: expected 4 values from 0 to 100, got \"abc\"\n"
                            "line 3: expected 4 values from 0 to 100, got \"1 2 3\"\n"
                            "line 4: expected 4 values from 0 to 100, got \"101 0 0 0\"\n");
}

// The Lab of a device colour from Little CMS 2 (version 2 Lab output, no optimisation).
Lab littleCMS(const std::string& path, int intent, unsigned channels, bool rgb,
              const std::vector<double>& device) {
    cmsHPROFILE profile = cmsOpenProfileFromFile(path.c_str(), "r");
    cmsHPROFILE lab = cmsCreateLab2Profile(nullptr);
    const cmsUInt32Number format =
        channels == 4 ? TYPE_CMYK_DBL
        : rgb         ? TYPE_RGB_DBL
                      : (FLOAT_SH(1) | COLORSPACE_SH(PT_CMY) | CHANNELS_SH(3) | BYTES_SH(0));
    cmsHTRANSFORM transform = cmsCreateTransform(profile, format, lab, TYPE_Lab_DBL, intent,
                                                 cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
    double in[4];
    for (unsigned c = 0; c < channels; ++c)
        in[c] = rgb ? device[c] / 255 : device[c];
    cmsCIELab out;
    cmsDoTransform(transform, in, &out, 1);
    cmsDeleteTransform(transform);
    cmsCloseProfile(lab);
    cmsCloseProfile(profile);
    return {out.L, out.a, out.b};
}

// Every packaged CMYK, CMY or RGB profile that has a device-to-Lab path, converted by the command
// and by an oracle: Little CMS 2, or the independent simplex evaluator for four-input luts.
TEST(ConvertCommand, MatchesTheOraclesOnThePackagedProfiles) {
    unsigned compared = 0;
    for (const auto& file : packagedProfiles()) {
        const std::string path = file.string();
        csICCProfile profile;
        std::FILE* stream = std::fopen(path.c_str(), "rb");
        const bool read = profile.setProfile(stream) == 0;
        std::fclose(stream);
        if (!read)
            continue;
        const Signature space = profile.header().colorSpace();
        const unsigned channels = profile.colorSpaceChannels();
        const bool rgb = space == Signature("RGB ");
        if (space != Signature("CMYK") && space != Signature("CMY ") && !rgb)
            continue;
        const bool display = profile.header().deviceClass() == Signature("mntr");
        const bool version4 = profile.header().majorVersion() >= 4;
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        for (int intent = 0; intent < 4; ++intent) {
            // Little CMS 2 adds black point compensation to perceptual and saturation of version
            // 4 profiles, and takes D50 as the media white of version 2 display profiles.
            if ((version4 && (intent == 0 || intent == 2)) || (display && intent == 3))
                continue;
            std::ostringstream colours;
            std::vector<std::vector<double>> devices;
            for (int k = 0; k < 5 * 5 * 5; ++k) {
                std::vector<double> device(channels);
                const double top = rgb ? 255 : 100;
                device[0] = (k % 5) * top / 4;
                device[1] = (k / 5 % 5) * top / 4;
                device[2] = (k / 25) * top / 4;
                if (channels == 4)
                    device[3] = (k % 3) * 40;
                for (double v : device)
                    colours << v << ' ';
                colours << '\n';
                devices.push_back(device);
            }
            std::istringstream input(colours.str());
            std::ostringstream out, errors;
            if (runConvert(path, intent, input, out, errors) != 0) {
                EXPECT_NE(errors.str().find("Failed to prepare profile converter"),
                          std::string::npos)
                    << path << errors.str();
                break;
            }
            char name[5] = "A2B0";
            name[3] = static_cast<char>('0' + (intent == 3 ? 1 : intent));
            const IndependentLut lut(
                bytes, profile.hasTag(Signature::read(reinterpret_cast<const std::uint8_t*>(name)))
                           ? name
                           : "A2B0");
            const bool evaluator = channels == 4 && lut.valid() && intent != 3;
            std::istringstream results(out.str());
            double worst = 0;
            for (const auto& device : devices) {
                Lab ours;
                results >> ours[0] >> ours[1] >> ours[2];
                Lab expected;
                if (evaluator) {
                    std::vector<double> unit;
                    for (double v : device)
                        unit.push_back(v / 100);
                    expected = lut.lab(unit, profile.header().pcs() == Signature("XYZ "));
                } else {
                    expected = littleCMS(path, intent, channels, rgb, device);
                }
                worst = std::max(worst, std::hypot(ours[0] - expected[0], ours[1] - expected[1],
                                                   ours[2] - expected[2]));
            }
            const double limit = evaluator ? 0.001 : channels == 4 ? 1.0 : 0.05;
            EXPECT_LT(worst, limit) << path << " intent " << intent;
            ++compared;
        }
    }
    EXPECT_GE(compared, 20u);
}

} // namespace
