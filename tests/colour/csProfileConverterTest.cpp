#include "ClearedLogTest.h"
#include "LutBytes.h"
#include "TestProfiles.h"
#include "csICCProfileConverter.h"
#include "csICCXYZTag.h"
#include "csICCcurvTag.h"
#include "csICCmftInterpolator.h"
#include "csICCparaTag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// A CMYK printer profile with a Lab PCS whose luts map every input to grey of lightness given by
// the first input: L16 legacy = c / 65535 x 65280.
void makePrinter(csICCProfile& profile, std::initializer_list<const char*> luts,
                 bool mft1 = false) {
    setHeader(profile, "prtr", "CMYK", "Lab ");
    LutBytes bytes;
    bytes.inputs = 4;
    bytes.clut = [](const std::vector<unsigned>& index, unsigned c) {
        return static_cast<std::uint16_t>(c == 0 ? index[0] * 65280 : 32768);
    };
    for (const char* name : luts)
        addBlock(profile, name, mft1 ? bytes.mft1() : bytes.mft2());
}

// The PCS white of a profile through its A2B converter, for the converter's settings.
std::array<double, 3> convertOne(csICCProfileConverter& converter, std::array<double, 4> in) {
    std::array<double, 3> out{};
    converter.convert(in.data(), out.data(), 1);
    return out;
}

class ProfileConverter : public ClearedLogTest {
protected:
    csICCProfile profile;
};

TEST_F(ProfileConverter, IntentFallsBackToTheFirstTable) {
    makePrinter(profile, {"A2B0"});
    csICCProfileConverter converter(&profile, 0, 2, 0);
    ASSERT_EQ(converter.prepare(), 0);
    EXPECT_EQ(converter.interpolator()->tag()->signature(), Signature("A2B0"));
    EXPECT_STREQ(converter.descriptionText(), "Dir 0 Int 2 Wht 0 in 4 Out 3 Interp...");

    csICCProfile onlyA2B1;
    makePrinter(onlyA2B1, {"A2B1"});
    csICCProfileConverter perceptual(&onlyA2B1, 0, 0, 0);
    EXPECT_EQ(perceptual.prepare(), -1);
    EXPECT_STREQ(logMessage(logCount() - 1), "cannot find 'A2B0' tag for requested conversion");
}

TEST_F(ProfileConverter, LegacyLabOfMft2LutsBecomesVersion4) {
    makePrinter(profile, {"A2B0"});
    csICCProfileConverter converter(&profile, 0, 0, 0);
    ASSERT_EQ(converter.prepare(), 0);
    // Cyan 100 %: the lut gives legacy L16 65280, which is L* 100, encoded as 65535.
    EXPECT_NEAR(convertOne(converter, {65535, 0, 0, 0})[0], 65535, 1e-9);
    // The 16-bit CLUT reaches the top of the grid with the fraction 65535, not 65536: legacy
    // 65279, which is 65534 in the version 4 encoding.
    std::uint16_t in[4] = {65535, 0, 0, 0}, out[3];
    converter.convert(in, out, 1);
    EXPECT_EQ(out[0], 65534);
    EXPECT_EQ(out[1], 32896) << "legacy a16 32768 is a* 0";

    csICCProfile eightBit;
    makePrinter(eightBit, {"A2B0"}, true);
    csICCProfileConverter mft1(&eightBit, 0, 0, 0);
    ASSERT_EQ(mft1.prepare(), 0);
    EXPECT_NEAR(convertOne(mft1, {65535, 0, 0, 0})[0], 255 * 257, 1e-9) << "mft1 values pass";
}

TEST_F(ProfileConverter, AbsoluteColorimetryScalesByTheMediaWhite) {
    makePrinter(profile, {"A2B0", "A2B1"});
    csICCProfileConverter relative(&profile, 0, 1, 0);
    csICCProfileConverter absolute(&profile, 0, 1, 1);
    ASSERT_EQ(relative.prepare() + absolute.prepare(), 0);
    EXPECT_STREQ(logMessage(0), "non-relative conversion requested but no wtpt tag found");
    // Without "wtpt" the media white stays (1, 1, 1): X and Z grow by 1/0.96422 and 1/0.82521
    // against the PCS white, so the white moves towards red and blue (a* and b* change).
    const auto lab = convertOne(absolute, {65535, 0, 0, 0});
    EXPECT_NEAR(lab[0], 65535, 1.0);
    EXPECT_GT(std::abs(lab[1] - 32896), 1000);

    ASSERT_EQ(profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9, 0.92, 0.7)), 0);
    ASSERT_EQ(absolute.prepare(), 0);
    double X, Y, Z;
    absolute.mediaWhite(&X, &Y, &Z);
    EXPECT_NEAR(Y, 0.92, 1e-4);
    // The white of the paper at L* = 100 x cbrt(0.92) - 16 relative to D50 ...
    const auto paper = convertOne(absolute, {65535, 0, 0, 0});
    EXPECT_NEAR(paper[0] / 655.35, 116 * std::cbrt(0.92) - 16, 0.01);
    csICCProfileConverter normalised(&profile, 0, 1, 2);
    ASSERT_EQ(normalised.prepare(), 0);
    normalised.mediaWhite(&X, &Y, &Z);
    EXPECT_NEAR(Y, 100.0, 1e-9);
    EXPECT_NEAR(X, 0.9 * 100 / 0.92, 1e-3);

    // Towards the device the paper's own colour stands for the PCS white: through an absolute
    // B2A it gives what L* 100 gives through the relative one.
    LutBytes toDevice;
    toDevice.outputs = 4;
    toDevice.clut = [](const std::vector<unsigned>& index, unsigned c) {
        return static_cast<std::uint16_t>(c < 3 ? index[c] * 65535 : 0);
    };
    addBlock(profile, "B2A1", toDevice.mft2());
    csICCProfileConverter relativeOut(&profile, 1, 1, 0), absoluteOut(&profile, 1, 1, 1);
    ASSERT_EQ(relativeOut.prepare() + absoluteOut.prepare(), 0);
    const double fy = std::cbrt(0.92), fx = std::cbrt(0.9 / 0.96422), fz = std::cbrt(0.7 / 0.82521);
    double paperLab[3] = {(116 * fy - 16) * 655.35, (500 * (fx - fy) + 128) * 257,
                          (200 * (fy - fz) + 128) * 257};
    double whiteLab[3] = {65535, 32896, 32896}, fromPaper[4], fromWhite[4];
    absoluteOut.convert(paperLab, fromPaper, 1);
    relativeOut.convert(whiteLab, fromWhite, 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(fromPaper[c], fromWhite[c], 20) << c;

    // A white with a zero component is not used: converting to the device would divide by it.
    ASSERT_EQ(profile.replaceTag(profile.indexOfTag(Signature("wtpt")),
                                 csICCXYZTag(Signature("wtpt"), 0, 0.92, 0.7)),
              0);
    clearLog();
    csICCProfileConverter zeroWhite(&profile, 1, 2, 1);
    ASSERT_EQ(zeroWhite.prepare(), -1) << "no B2A0 or B2A2";
    EXPECT_STREQ(logTitle(0), "bad media white point");
    zeroWhite.mediaWhite(&X, &Y, &Z);
    EXPECT_EQ(X, 1.0);
    EXPECT_EQ(Y, 1.0);
}

TEST_F(ProfileConverter, MatrixTRCProfiles) {
    setHeader(profile, "mntr", "RGB ", "XYZ ");
    // sRGB-like colorants (D50-adapted), gamma 2.2 curves.
    profile.addTag(csICCXYZTag(Signature("rXYZ"), 0.4361f, 0.2225f, 0.0139f));
    profile.addTag(csICCXYZTag(Signature("gXYZ"), 0.3851f, 0.7169f, 0.0971f));
    profile.addTag(csICCXYZTag(Signature("bXYZ"), 0.1431f, 0.0606f, 0.7141f));
    for (const char* name : {"rTRC", "gTRC", "bTRC"})
        profile.addTag(csICCcurvTag(signatureOf(name), 2.2));

    csICCProfileConverter toPCS(&profile, 0, 0, 0);
    ASSERT_EQ(toPCS.prepare(), 0) << "no A2B0: matrix and curves";
    EXPECT_EQ(toPCS.interpolator(), nullptr);
    // White: the sum of the colorants, in XYZ16 (1.0 is 32768).
    EXPECT_NEAR(convertOne(toPCS, {65535, 65535, 65535, 0})[0], (0.4361 + 0.3851 + 0.1431) * 32768,
                2.0);

    csICCProfileConverter toDevice(&profile, 1, 0, 0);
    ASSERT_EQ(toDevice.prepare(), 0);
    std::array<double, 3> rgb{};
    std::array<double, 3> xyz = convertOne(toPCS, {30000, 40000, 50000, 0});
    toDevice.convert(xyz.data(), rgb.data(), 1);
    EXPECT_NEAR(rgb[2], 50000, 2.0);

    // Its gamut: 0 where the colour has RGB values in range, 65535 where it has not.
    csICCProfileConverter gamut(&profile, 2, 0, 0);
    ASSERT_EQ(gamut.prepare(), 0);
    std::uint16_t inside[3] = {static_cast<std::uint16_t>(xyz[0] + 0.5),
                               static_cast<std::uint16_t>(xyz[1] + 0.5),
                               static_cast<std::uint16_t>(xyz[2] + 0.5)};
    std::uint16_t pureY[3] = {0, 16384, 0}, flag = 1;
    gamut.convert(inside, &flag, 1);
    EXPECT_EQ(flag, 0);
    gamut.convert(pureY, &flag, 1);
    EXPECT_EQ(flag, 65535) << "Y without X and Z needs negative red and blue";

    // A parametric curve serves as a TRC as well: type 0 with gamma 0x3300 / 65536 = 0.19921875
    // as the red curve.
    std::vector<std::uint8_t> para = {'p', 'a', 'r', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x33, 0};
    const std::unique_ptr<csICCTag> curve = tagOf("rTRC", para);
    ASSERT_NE(dynamic_cast<csICCparaTag*>(curve.get()), nullptr);
    ASSERT_EQ(profile.replaceTag(profile.indexOfTag(Signature("rTRC")), *curve), 0);
    clearLog();
    ASSERT_EQ(toPCS.prepare(), 0);
    double half[3] = {32768, 0, 0}, halfXYZ[3];
    toPCS.convert(half, halfXYZ, 1);
    const double red = std::floor(std::pow(32768 / 65535.0, 0.19921875) * 65535 + 0.5);
    csXYZNumber redColorant;
    dynamic_cast<const csICCXYZTag*>(profile.findTag(Signature("rXYZ")))->getXYZ(0, redColorant);
    EXPECT_NEAR(halfXYZ[1], red / 65535 * 32768 * redColorant.Y, 1e-6);

    // Anything else is not.
    ASSERT_EQ(profile.replaceTag(profile.indexOfTag(Signature("rTRC")),
                                 csICCXYZTag(Signature("rTRC"), 0.5f, 0.5f, 0.5f)),
              0);
    clearLog();
    EXPECT_EQ(toPCS.prepare(), -1);
    EXPECT_STREQ(logMessage(0), "not all three of the rTRC, gTRC, bTRC tags are present");
}

TEST_F(ProfileConverter, GamutTagOfALutProfile) {
    makePrinter(profile, {"A2B0"});
    csICCProfileConverter gamut(&profile, 2, 0, 0);
    EXPECT_EQ(gamut.prepare(), -1);
    EXPECT_STREQ(logMessage(0), "cannot find 'gamt' tag for requested conversion");

    // A "gamt" lut whose answer rises with a*: on the legacy scale a* 0 is 32768, halfway.
    LutBytes bytes;
    bytes.outputs = 1;
    bytes.clut = [](const std::vector<unsigned>& index, unsigned) {
        return static_cast<std::uint16_t>(index[1] * 65535);
    };
    addBlock(profile, "gamt", bytes.mft2());
    ASSERT_EQ(gamut.prepare(), 0);
    std::uint16_t grey[3] = {32768, 32896, 32896}, flag = 0;
    gamut.convert(grey, &flag, 1);
    EXPECT_EQ(flag, 32768) << "version 4 a* 0 (32896) reaches the lut as 32768";
}

// The PCS-side luts must take three channels and give the device's four (or the gamut's one);
// the device side goes through every command and the window with its own table of shapes.
TEST_F(ProfileConverter, PCSSideLutsWhoseChannelsDisagreeAreRefused) {
    makePrinter(profile, {"A2B0"});
    struct Shape {
        const char* type;
        const char* tag;
        unsigned direction, inputs, outputs, needsOut;
    };
    for (const Shape& shape : {Shape{"mft1", "B2A0", 1, 4, 4, 4}, Shape{"mft2", "B2A0", 1, 3, 3, 4},
                               Shape{"mBA ", "B2A0", 1, 4, 4, 4}, Shape{"mBA ", "B2A0", 1, 8, 4, 4},
                               Shape{"mft2", "gamt", 2, 3, 3, 1}}) {
        SCOPED_TRACE(std::string(shape.type) + " " + shape.tag);
        csICCProfile pcsSide;
        makePrinter(pcsSide, {"A2B0"});
        LutBytes bytes;
        bytes.inputs = shape.inputs;
        bytes.outputs = shape.outputs;
        const std::string type = shape.type;
        addBlock(pcsSide, shape.tag,
                 type == "mft1"   ? bytes.mft1()
                 : type == "mft2" ? bytes.mft2()
                                  : lutABBytes(shape.type, shape.inputs, shape.outputs));
        clearLog();
        csICCProfileConverter converter(&pcsSide, shape.direction, 0, 0);
        EXPECT_EQ(converter.prepare(), -1);
        EXPECT_STREQ(logTitle(0), "lut channels");
        EXPECT_EQ(logMessage(0),
                  std::string("'") + shape.tag + "' has " + std::to_string(shape.inputs) +
                      " inputs and " + std::to_string(shape.outputs) +
                      " outputs; the conversion needs 3 and " + std::to_string(shape.needsOut));
    }
}

// A converter converts only once prepared, and only pixels at least as wide as its channels.
TEST_F(ProfileConverter, ConvertsNothingItCannotConvertSafely) {
    makePrinter(profile, {"A2B0"});
    csICCProfileConverter converter(&profile, 0, 0, 0);
    double in[8] = {65535, 0, 0, 0, 65535, 0, 0, 0}, out[6] = {-1, -1, -1, -1, -1, -1};
    EXPECT_EQ(converter.convert(in, out, 1), -1);
    EXPECT_STREQ(logTitle(0), "not prepared");
    ASSERT_EQ(converter.prepare(), 0);
    EXPECT_EQ(converter.convert(in, out, 2, 3, 3), -1) << "four inputs do not fit in three";
    EXPECT_EQ(converter.convert(in, out, 2, 4, 2), -1) << "three outputs do not fit in two";
    EXPECT_STREQ(logMessage(2), "2 pixels with strides 4 and 2 for 4 inputs and 3 outputs");
    EXPECT_EQ(std::vector<double>(out, out + 6), std::vector<double>(6, -1)) << "untouched";
    EXPECT_EQ(converter.convert(in, out, 2, 4, 3), 0);
    EXPECT_EQ(out[3], 65535);

    // A preparation that fails leaves a converter that converts nothing.
    csICCProfileConverter gamut(&profile, 2, 0, 0);
    EXPECT_EQ(gamut.prepare(), -1);
    EXPECT_EQ(gamut.convert(in, out, 1), -1);
}

// A NaN on the double path comes out as NaN and never reaches an integer conversion; the sanitizer
// build stops on the undefined conversion otherwise.
TEST_F(ProfileConverter, NaNSamplesAreCarriedThrough) {
    makePrinter(profile, {"A2B0"});
    csICCProfileConverter converter(&profile, 0, 0, 0);
    ASSERT_EQ(converter.prepare(), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto lab = convertOne(converter, {nan, 0, 0, 0});
    for (double v : lab)
        EXPECT_TRUE(std::isnan(v)) << "its weight reaches every output";
}

TEST_F(ProfileConverter, NamedColourProfilesNeverPrepare) {
    makePrinter(profile, {"A2B0"});
    profile.header().setDeviceClass(Signature("nmcl"));
    csICCProfileConverter converter(&profile, 0, 0, 0);
    EXPECT_EQ(converter.prepare(), -1);
    EXPECT_STREQ(logMessage(0), "conversion requested but profile class is named color");
}

TEST_F(ProfileConverter, PlanarConversionIsNotProvided) {
    makePrinter(profile, {"A2B0"});
    csICCProfileConverter converter(&profile, 0, 0, 0);
    ASSERT_EQ(converter.prepare(), 0);
    double plane[4][1] = {{1}, {2}, {3}, {4}};
    double* in[4] = {plane[0], plane[1], plane[2], plane[3]};
    double outPlane[3][1] = {{-1}, {-1}, {-1}};
    double* out[3] = {outPlane[0], outPlane[1], outPlane[2]};
    EXPECT_EQ(converter.convert(in, out, 1), 1);
    EXPECT_EQ(outPlane[0][0], -1);
    EXPECT_STREQ(logMessage(0), "convert/rfloat/planar not implemented");
}

TEST(ProfileConverterDeathTest, SettersRefuseValuesOutOfRange) {
    csICCProfile profile;
    csICCProfileConverter converter(&profile, 0, 0, 0);
    EXPECT_DEATH(converter.setWhiteMode(3), "Assertion `wmode >= 0 && wmode <= 2' failed");
    EXPECT_DEATH(converter.setIntent(10), "Assertion `ri >= 0 && ri <= 9' failed");
    EXPECT_DEATH(converter.setDirection(-1), "Assertion `dir >= 0 && dir <= 2' failed");
}

} // namespace
