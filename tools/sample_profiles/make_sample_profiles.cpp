// Writes the sample output profiles of a modelled offset press into a folder:
//   Tintora-Sample-CMYK.icc, Tintora-Sample-CMY.icc, Tintora-Sample-RGB.icc
// Version 2 printer profiles with a Lab PCS: "mft2" A2B0 (perceptual), A2B1 (colorimetric) and
// A2B2 (saturation), "wtpt" (the paper), "bkpt", "desc" and "cprt".
// And a named colour profile of a small spot colour library, Tintora-Sample-Spots.icc: version 2,
// "nmcl" with an "ncl2" tag of L*a*b* values in the legacy 16-bit encoding. And Tintora-sRGB.icc,
// the display profile of the colour swatches.

#include "DisplayColour.h"
#include "PressModel.h"
#include "csICCNumbers.h"
#include "csICCProfile.h"
#include "csICCXYZTag.h"
#include "csICCdescTag.h"
#include "csICCmft2Tag.h"
#include "csICCncl2Tag.h"
#include "csICCtextTag.h"
#include "csLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double d50[3] = {96.42, 100.0, 82.49};

std::array<double, 3> toLab(const std::array<double, 3>& xyz) {
    const auto f = [](double r) {
        return r > 216.0 / 24389 ? std::cbrt(r) : r * 841.0 / 108 + 16.0 / 116;
    };
    const double fx = f(xyz[0] / d50[0]), fy = f(xyz[1] / d50[1]), fz = f(xyz[2] / d50[2]);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// The three renderings of a measured (absolute) colour.
struct Renderings {
    std::array<double, 3> paper, black; // absolute XYZ

    // Media-relative colorimetry: the paper becomes the PCS white.
    std::array<double, 3> relative(const std::array<double, 3>& xyz) const {
        return {xyz[0] * d50[0] / paper[0], xyz[1] * d50[1] / paper[1], xyz[2] * d50[2] / paper[2]};
    }
    // Perceptual: the relative colour with the darkest black scaled to zero.
    std::array<double, 3> perceptual(const std::array<double, 3>& xyz) const {
        const std::array<double, 3> r = relative(xyz);
        const double blackY = relative(black)[1];
        std::array<double, 3> out;
        for (int c = 0; c < 3; ++c) {
            const double b = blackY * d50[c] / 100;
            out[c] = (r[c] - b) * d50[c] / (d50[c] - b);
        }
        return out;
    }
};

// Lab as the legacy 16-bit encoding that version 2 luts hold.
void encodeLab(std::array<double, 3> lab, std::uint8_t* at) {
    const double L = std::clamp(lab[0], 0.0, 100.0) * 652.8;
    const double a = std::clamp((lab[1] + 128) * 256, 0.0, 65535.0);
    const double b = std::clamp((lab[2] + 128) * 256, 0.0, 65535.0);
    writeU16(at, static_cast<std::uint16_t>(L + 0.5));
    writeU16(at + 2, static_cast<std::uint16_t>(a + 0.5));
    writeU16(at + 4, static_cast<std::uint16_t>(b + 0.5));
}

// An "mft2" from i device channels to Lab over a grid of g points per channel, with identity
// matrix and 256-entry identity tables.
csICCmft2Tag makeLut(const char* name, unsigned inputs, unsigned grid,
                     const std::function<std::array<double, 3>(const double*)>& lab) {
    constexpr unsigned entries = 256;
    std::size_t points = 1;
    for (unsigned k = 0; k < inputs; ++k)
        points *= grid;
    std::vector<std::uint8_t> data(52 + 2 * (entries * inputs + points * 3 + entries * 3), 0);
    Signature("mft2").write(data.data());
    data[8] = static_cast<std::uint8_t>(inputs);
    data[9] = 3;
    data[10] = static_cast<std::uint8_t>(grid);
    for (int d = 0; d < 3; ++d)
        writeS15Fixed16(data.data() + 12 + 16 * d, 1.0);
    writeU16(data.data() + 48, entries);
    writeU16(data.data() + 50, entries);
    std::uint8_t* at = data.data() + 52;
    for (unsigned c = 0; c < inputs; ++c)
        for (unsigned k = 0; k < entries; ++k, at += 2)
            writeU16(at, static_cast<std::uint16_t>(k * 257));
    std::vector<unsigned> index(inputs, 0);
    double device[4];
    for (std::size_t p = 0; p < points; ++p, at += 6) {
        for (unsigned k = 0; k < inputs; ++k)
            device[k] = index[k] / double(grid - 1);
        encodeLab(lab(device), at);
        // The last input varies fastest.
        for (unsigned k = inputs; k-- > 0;) {
            if (++index[k] < grid)
                break;
            index[k] = 0;
        }
    }
    for (unsigned c = 0; c < 3; ++c)
        for (unsigned k = 0; k < entries; ++k, at += 2)
            writeU16(at, static_cast<std::uint16_t>(k * 257));
    const Signature signature = Signature::read(reinterpret_cast<const std::uint8_t*>(name));
    return csICCmft2Tag(signature, static_cast<std::uint32_t>(data.size()), data.data());
}

int writeFile(csICCProfile& profile, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || profile.writeToFile(file) != 0) {
        std::fprintf(stderr, "make_sample_profiles: cannot write %s\n", path.c_str());
        printLog();
        if (file != nullptr)
            std::fclose(file);
        return 1;
    }
    std::fclose(file);
    return 0;
}

struct Variant {
    const char* file;
    const char* space;
    unsigned channels, grid;
    const char* description;
    // Device values (0..1) to ink coverages c, m, y, k.
    std::array<double, 4> (*inks)(const double*);
};

std::array<double, 4> cmykInks(const double* d) { return {d[0], d[1], d[2], d[3]}; }
std::array<double, 4> cmyInks(const double* d) { return {d[0], d[1], d[2], 0}; }
// An RGB-driven press: each channel takes away its complementary ink.
std::array<double, 4> rgbInks(const double* d) { return {1 - d[0], 1 - d[1], 1 - d[2], 0}; }

int writeProfile(const PressModel& press, const Variant& variant, const std::string& folder) {
    const auto measured = [&](const double* device) {
        const std::array<double, 4> ink = variant.inks(device);
        return press.xyz(ink[0], ink[1], ink[2], ink[3]);
    };
    const double darkest[4] = {1, 1, 1, 1};
    const double rgbDarkest[3] = {0, 0, 0};
    Renderings renderings{press.paper(),
                          measured(std::string(variant.space) == "RGB " ? rgbDarkest : darkest)};

    csICCProfile profile;
    csICCProfileHeader& header = profile.header();
    header.setDeviceClass(Signature("prtr"));
    header.setColorSpace(Signature::read(reinterpret_cast<const std::uint8_t*>(variant.space)));
    header.setPcs(Signature("Lab "));
    header.setVersion(2, 1, 0);
    header.setDateTime({2026, 1, 1, 0, 0, 0});
    header.setManufacturer(Signature("VELT"));
    header.setModel(Signature("SP01"));

    const auto relative = [&](const double* d) { return toLab(renderings.relative(measured(d))); };
    const auto perceptual = [&](const double* d) {
        return toLab(renderings.perceptual(measured(d)));
    };
    const auto saturation = [&](const double* d) {
        std::array<double, 3> lab = toLab(renderings.perceptual(measured(d)));
        lab[1] *= 1.08;
        lab[2] *= 1.08;
        return lab;
    };
    const std::array<double, 3> paper = renderings.paper, black = renderings.black;
    profile.addTag(csICCdescTag(variant.description));
    profile.addTag(csICCtextTag(Signature("cprt"), "No copyright, use freely."));
    profile.addTag(csICCXYZTag(Signature("wtpt"), float(paper[0] / 100), float(paper[1] / 100),
                               float(paper[2] / 100)));
    profile.addTag(csICCXYZTag(Signature("bkpt"), float(black[0] / 100), float(black[1] / 100),
                               float(black[2] / 100)));
    profile.addTag(makeLut("A2B0", variant.channels, variant.grid, perceptual));
    profile.addTag(makeLut("A2B1", variant.channels, variant.grid, relative));
    profile.addTag(makeLut("A2B2", variant.channels, variant.grid, saturation));

    const std::string path = folder + "/" + variant.file;
    return writeFile(profile, path);
}

// A few spot colours of a printer's swatch book, as measured (D50, 2 degrees).
struct Spot {
    const char* name;
    double L, a, b;
};
constexpr Spot spots[] = {
    {"Warm Red", 52.5, 70.1, 51.2},       {"Orange", 64.3, 55.8, 78.4},
    {"Yellow", 88.9, -4.6, 93.5},         {"Green", 53.2, -68.9, 19.1},
    {"Process Blue", 48.7, -12.4, -52.6}, {"Reflex Blue", 24.6, 27.9, -68.3},
    {"Purple", 36.8, 56.4, -44.1},        {"Cool Grey", 64.1, -0.6, -2.8},
};

int writeSpotLibrary(const std::string& folder) {
    csICCProfile profile;
    csICCProfileHeader& header = profile.header();
    header.setDeviceClass(Signature("nmcl"));
    header.setColorSpace(Signature("CMYK"));
    header.setPcs(Signature("Lab "));
    header.setVersion(2, 1, 0);
    header.setDateTime({2026, 1, 1, 0, 0, 0});
    header.setManufacturer(Signature("VELT"));
    profile.addTag(csICCdescTag("Tintora sample spot colours"));
    profile.addTag(csICCtextTag(Signature("cprt"), "No copyright, use freely."));
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    csICCncl2Tag library(Signature("ncl2"), 0);
    library.setPrefix("Tintora ");
    for (const Spot& spot : spots) {
        const std::uint16_t pcs[3] = {
            static_cast<std::uint16_t>(std::lround(spot.L * 652.8)),
            static_cast<std::uint16_t>(std::lround((spot.a + 128) * 256)),
            static_cast<std::uint16_t>(std::lround((spot.b + 128) * 256))};
        library.addColour(spot.name, pcs, nullptr);
    }
    profile.addTag(library);

    const std::string path = folder + "/Tintora-Sample-Spots.icc";
    return writeFile(profile, path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_profiles FOLDER\n");
        return 2;
    }
    const PressModel press;
    const Variant variants[] = {
        {"Tintora-Sample-CMYK.icc", "CMYK", 4, 17, "Tintora sample press, CMYK on coated paper",
         cmykInks},
        {"Tintora-Sample-CMY.icc", "CMY ", 3, 33, "Tintora sample press, CMY on coated paper",
         cmyInks},
        {"Tintora-Sample-RGB.icc", "RGB ", 3, 33, "Tintora sample press, RGB driven", rgbInks},
    };
    int status = 0;
    for (const Variant& variant : variants)
        status |= writeProfile(press, variant, argv[1]);
    status |= writeSpotLibrary(argv[1]);
    // The display profile the swatches use unless the user chooses another.
    csICCProfile sRGB;
    makeSRGBProfile(sRGB);
    status |= writeFile(sRGB, std::string(argv[1]) + "/Tintora-sRGB.icc");
    clearLog();
    return status;
}
