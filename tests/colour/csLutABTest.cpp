// "mAB "/"mBA " luts and parametric TRCs against Little CMS 2: profiles written by our writer and
// read by Little CMS 2, and profiles written by Little CMS 2 and read by us, each evaluated on a
// grid of values by both.

#include "ProfileBytes.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csICCXYZTag.h"
#include "csICCcurvTag.h"
#include "csICCmABInterpolator.h"
#include "csICCmABTag.h"
#include "csICCmBATag.h"
#include "csICCparaTag.h"
#include "csLog.h"
#include "tagFactory.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Lab from normalised version 4 PCS values.
std::array<double, 3> labOf(const double* v) {
    return {v[0] * 100, v[1] * 255 - 128, v[2] * 255 - 128};
}

double deltaE(const std::array<double, 3>& p, const std::array<double, 3>& q) {
    return std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                     (p[2] - q[2]) * (p[2] - q[2]));
}

struct Agreement {
    double mean = 0, largest = 0;
    int count = 0;
    void add(double d) { mean += d, largest = std::max(largest, d), ++count; }
    void report(const char* what) {
        mean /= count;
        std::printf("[ %-40s ] %d points: mean dE*ab %.5f, largest %.5f\n", what, count, mean,
                    largest);
    }
};

std::unique_ptr<csICCparaTag> para(int type, std::initializer_list<double> parameters) {
    std::vector<std::uint8_t> block(12 + 4 * parameters.size(), 0);
    Signature("para").write(block.data());
    block[9] = static_cast<std::uint8_t>(type);
    std::size_t k = 0;
    for (double p : parameters)
        writeS15Fixed16(block.data() + 12 + 4 * k++, p);
    return std::make_unique<csICCparaTag>(Signature("para"),
                                          static_cast<std::uint32_t>(block.size()), block.data());
}

std::unique_ptr<csICCcurvTag> sampledCurve(std::initializer_list<std::uint16_t> entries) {
    std::vector<std::uint8_t> block(12 + 2 * entries.size(), 0);
    Signature("curv").write(block.data());
    writeU32(block.data() + 8, static_cast<std::uint32_t>(entries.size()));
    std::size_t k = 0;
    for (std::uint16_t e : entries)
        writeU16(block.data() + 12 + 2 * k++, e);
    return std::make_unique<csICCcurvTag>(Signature("curv"),
                                          static_cast<std::uint32_t>(block.size()), block.data());
}

// A smooth CMYK to Lab function for CLUT grid points, on the 16-bit scale: darker with more ink,
// hues pulled by the inks.
std::array<std::uint16_t, 3> cmykToLab16(const double* x) {
    const double L = 95 - 55 * x[3] - 25 * x[0] - 30 * x[1] - 10 * x[2] + 12 * x[0] * x[1];
    const double a = -35 * x[0] + 60 * x[1] - 5 * x[2] - 10 * x[3];
    const double b = -45 * x[0] - 10 * x[1] + 80 * x[2] - 5 * x[3];
    const auto enc = [](double v) {
        return static_cast<std::uint16_t>(std::lround(std::clamp(v, 0.0, 1.0) * 65535));
    };
    return {enc(std::max(L, 0.0) / 100), enc((a + 128) / 255), enc((b + 128) / 255)};
}

class LutAB : public testing::Test {
protected:
    LutAB() { clearLog(); }
    ~LutAB() override { clearLog(); }
};

TEST_F(LutAB, OurMABTagReadsTheSameInLittleCMS) {
    // A curves of every kind, a 16-bit CLUT with a different grid per dimension, M curves, a
    // matrix with offsets and B curves: all five elements of an "mAB ".
    const auto a0 = para(0, {1.8});
    const auto a1 = para(3, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045});
    const auto a2 = sampledCurve({0, 9000, 30000, 65535});
    const auto a3 = para(1, {1.2, 1.0, 0.0});
    const auto m = para(0, {1.0});
    const auto b0 = para(0, {0.9});
    const auto b1 = sampledCurve({0, 32768, 65535});
    // Pieces meeting at d: (0.95 x 0.04 + 0.05)^1.1 = 0.06901 = 0.5 x 0.04 + 0.049.
    const auto b2 = para(4, {1.1, 0.95, 0.05, 0.5, 0.04, 0.0, 0.049});
    csICCLutABTag::Elements e;
    e.a = {a0.get(), a1.get(), a2.get(), a3.get()};
    e.m = {m.get(), m.get(), m.get()};
    e.b = {b0.get(), b1.get(), b2.get()};
    e.hasMatrix = true;
    e.matrix = {0.9, 0.05, 0.05, 0.02, 0.96, 0.02, 0.0, 0.04, 0.95, 0.01, -0.005, 0.0};
    e.grid = {5, 4, 6, 3};
    for (unsigned i0 = 0; i0 < 5; ++i0)
        for (unsigned i1 = 0; i1 < 4; ++i1)
            for (unsigned i2 = 0; i2 < 6; ++i2)
                for (unsigned i3 = 0; i3 < 3; ++i3) {
                    const double x[4] = {i0 / 4.0, i1 / 3.0, i2 / 5.0, i3 / 2.0};
                    for (std::uint16_t v : cmykToLab16(x))
                        e.clut.push_back(v);
                }

    csICCProfile profile;
    profile.header().setVersion(4, 3, 0);
    profile.header().setDeviceClass(Signature("prtr"));
    profile.header().setColorSpace(Signature("CMYK"));
    profile.header().setPcs(Signature("Lab "));
    ASSERT_EQ(profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f)), 0);
    ASSERT_EQ(profile.addTag(csICCmABTag(Signature("A2B0"), 4, 3, e)), 0);
    for (int precision : {2, 1}) {
        e.precision = precision;
        ASSERT_EQ(profile.replaceOrAddTag(csICCmABTag(Signature("A2B1"), 4, 3, e)), 0);
    }
    std::vector<std::uint8_t> image;
    ASSERT_EQ(profile.writeToMemory(image), 0);

    csICCProfile ours;
    ASSERT_EQ(ours.setProfile(image.data(), image.size()), 0);
    cmsHPROFILE theirs =
        cmsOpenProfileFromMem(image.data(), static_cast<cmsUInt32Number>(image.size()));
    ASSERT_NE(theirs, nullptr);
    for (const char* name : {"A2B0", "A2B1"}) {
        const auto* tag = dynamic_cast<const csICCmABTag*>(
            ours.findTag(Signature::read(reinterpret_cast<const std::uint8_t*>(name))));
        ASSERT_NE(tag, nullptr);
        const auto* pipeline = static_cast<const cmsPipeline*>(
            cmsReadTag(theirs, name[3] == '0' ? cmsSigAToB0Tag : cmsSigAToB1Tag));
        ASSERT_NE(pipeline, nullptr);
        const csICCmABInterpolator interpolator(tag);
        Agreement agreement;
        for (int i = 0; i < 7 * 7 * 7 * 7; ++i) {
            const double x[4] = {(i % 7) / 6.0, (i / 7 % 7) / 6.0, (i / 49 % 7) / 6.0,
                                 (i / 343) / 6.0};
            double in[4], out[3];
            for (int k = 0; k < 4; ++k)
                in[k] = x[k] * 65535;
            interpolator.convert(in, out, 1);
            const cmsFloat32Number fin[4] = {float(x[0]), float(x[1]), float(x[2]), float(x[3])};
            cmsFloat32Number fout[3];
            cmsPipelineEvalFloat(fin, fout, pipeline);
            const double mine[3] = {out[0] / 65535, out[1] / 65535, out[2] / 65535};
            const double lcms[3] = {fout[0], fout[1], fout[2]};
            agreement.add(deltaE(labOf(mine), labOf(lcms)));
        }
        agreement.report(name[3] == '0' ? "our mAB, 16-bit CLUT, in Little CMS 2"
                                        : "our mAB, 8-bit CLUT, in Little CMS 2");
        // Simplex and Little CMS 2's own 4-D interpolation differ inside grid cells only.
        EXPECT_LT(agreement.mean, 0.2);
        EXPECT_LT(agreement.largest, 1.5);
    }
    cmsCloseProfile(theirs);
}

TEST_F(LutAB, OurMBATagReadsTheSameInLittleCMS) {
    // Lab to CMYK with every element of an "mBA ": B curves, matrix with offsets, M curves, an
    // 8-bit 7x6x5 CLUT with four outputs, A curves.
    const auto gamma = para(0, {1.4});
    const auto srgbCurve = para(3, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045});
    const auto sampled = sampledCurve({0, 20000, 40000, 65535});
    csICCLutABTag::Elements e;
    e.b = {gamma.get(), sampled.get(), srgbCurve.get()};
    e.hasMatrix = true;
    e.matrix = {0.8, 0.1, 0.1, 0.05, 0.9, 0.05, 0.0, 0.1, 0.9, 0.02, 0.0, -0.01};
    e.m = {sampled.get(), gamma.get(), sampled.get()};
    e.grid = {7, 6, 5};
    e.precision = 1;
    for (unsigned i0 = 0; i0 < 7; ++i0)
        for (unsigned i1 = 0; i1 < 6; ++i1)
            for (unsigned i2 = 0; i2 < 5; ++i2) {
                const double x[3] = {i0 / 6.0, i1 / 5.0, i2 / 4.0};
                for (double v : {1 - x[0], 0.5 * x[1] + 0.25 * x[2], x[2] / 3 + 0.3, x[0] * x[1]})
                    e.clut.push_back(static_cast<std::uint16_t>(std::lround(v * 65535)));
            }
    e.a = {srgbCurve.get(), gamma.get(), sampled.get(), gamma.get()};

    csICCProfile profile;
    profile.header().setVersion(4, 3, 0);
    profile.header().setDeviceClass(Signature("prtr"));
    profile.header().setColorSpace(Signature("CMYK"));
    profile.header().setPcs(Signature("Lab "));
    ASSERT_EQ(profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f)), 0);
    ASSERT_EQ(profile.addTag(csICCmBATag(Signature("B2A0"), 3, 4, e)), 0);
    std::vector<std::uint8_t> image;
    ASSERT_EQ(profile.writeToMemory(image), 0);

    csICCProfile ours;
    ASSERT_EQ(ours.setProfile(image.data(), image.size()), 0);
    csICCProfileConverter toDevice(&ours, 1, 0, 0);
    ASSERT_EQ(toDevice.prepare(), 0);
    cmsHPROFILE theirs =
        cmsOpenProfileFromMem(image.data(), static_cast<cmsUInt32Number>(image.size()));
    const auto* pipeline = static_cast<const cmsPipeline*>(cmsReadTag(theirs, cmsSigBToA0Tag));
    ASSERT_NE(pipeline, nullptr);
    double sum = 0, largest = 0;
    int n = 0;
    for (int i = 0; i < 13 * 13 * 13; ++i) {
        const double x[3] = {(i % 13) / 12.0, (i / 13 % 13) / 12.0, (i / 169) / 12.0};
        double in[3] = {x[0] * 65535, x[1] * 65535, x[2] * 65535}, out[4];
        toDevice.convert(in, out, 1);
        const cmsFloat32Number fin[3] = {float(x[0]), float(x[1]), float(x[2])};
        cmsFloat32Number fout[4];
        cmsPipelineEvalFloat(fin, fout, pipeline);
        for (int c = 0; c < 4; ++c) {
            const double d = std::abs(out[c] / 655.35 - fout[c] * 100);
            sum += d, largest = std::max(largest, d), ++n;
        }
    }
    std::printf("[ %-40s ] %d values: mean |d| %.5f %%, largest %.5f %%\n",
                "our mBA, 8-bit CLUT, in Little CMS 2", n, sum / n, largest);
    EXPECT_LT(sum / n, 0.1);
    EXPECT_LT(largest, 0.5);
    cmsCloseProfile(theirs);
}

// A Little CMS 2 sampler: the CMYK function above on normalised grid values.
cmsInt32Number sampleCMYK(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
    const double x[4] = {in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0, in[3] / 65535.0};
    const std::array<std::uint16_t, 3> lab = cmykToLab16(x);
    std::copy(lab.begin(), lab.end(), out);
    return 1;
}

// A version 4 CMYK printer profile written by Little CMS 2 with an "mAB " A2B0 (A curves, CLUT,
// B curves) and an "mBA " B2A0 (B curves, matrix, M curves, CLUT, A curves).
std::vector<std::uint8_t> littleCMSPrinter() {
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());

    const cmsFloat64Number gamma18[] = {1.8},
                           srgb[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curves[4] = {cmsBuildParametricToneCurve(nullptr, 1, gamma18),
                               cmsBuildParametricToneCurve(nullptr, 4, srgb),
                               cmsBuildGamma(nullptr, 1.3), cmsBuildGamma(nullptr, 1.0)};
    cmsPipeline* aToB = cmsPipelineAlloc(nullptr, 4, 3);
    cmsPipelineInsertStage(aToB, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, curves));
    const cmsUInt32Number grid[4] = {9, 7, 8, 5};
    cmsStage* clut = cmsStageAllocCLut16bitGranular(nullptr, grid, 4, 3, nullptr);
    cmsStageSampleCLut16bit(clut, sampleCMYK, nullptr, 0);
    cmsPipelineInsertStage(aToB, cmsAT_END, clut);
    cmsPipelineInsertStage(aToB, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, curves + 1));
    cmsWriteTag(profile, cmsSigAToB0Tag, aToB);

    cmsPipeline* bToA = cmsPipelineAlloc(nullptr, 3, 4);
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, curves + 1));
    const cmsFloat64Number matrix[9] = {0.8, 0.1, 0.1, 0.05, 0.9, 0.05, 0.0, 0.1, 0.9};
    const cmsFloat64Number offset[3] = {0.02, 0.0, -0.01};
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocMatrix(nullptr, 3, 3, matrix, offset));
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, curves));
    const cmsUInt32Number grid3[3] = {11, 9, 10};
    cmsStage* inverse = cmsStageAllocCLut16bitGranular(nullptr, grid3, 3, 4, nullptr);
    cmsStageSampleCLut16bit(
        inverse,
        [](const cmsUInt16Number in[], cmsUInt16Number out[], void*) -> cmsInt32Number {
            out[0] = static_cast<cmsUInt16Number>(65535 - in[0]);
            out[1] = static_cast<cmsUInt16Number>(in[1] / 2 + in[2] / 4);
            out[2] = static_cast<cmsUInt16Number>(in[2] / 3 + 20000);
            out[3] = static_cast<cmsUInt16Number>((65535 - in[0]) / 4);
            return 1;
        },
        nullptr, 0);
    cmsPipelineInsertStage(bToA, cmsAT_END, inverse);
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, curves));
    cmsWriteTag(profile, cmsSigBToA0Tag, bToA);

    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<std::uint8_t> image(size);
    cmsSaveProfileToMem(profile, image.data(), &size);
    cmsPipelineFree(aToB);
    cmsPipelineFree(bToA);
    for (cmsToneCurve* curve : curves)
        cmsFreeToneCurve(curve);
    cmsCloseProfile(profile);
    return image;
}

TEST_F(LutAB, LittleCMSLutProfileConvertsAsLittleCMSEvaluatesIt) {
    const std::vector<std::uint8_t> image = littleCMSPrinter();
    csICCProfile ours;
    ASSERT_EQ(ours.setProfile(image.data(), image.size()), 0);
    ASSERT_NE(dynamic_cast<const csICCmABTag*>(ours.findTag(Signature("A2B0"))), nullptr);
    ASSERT_NE(dynamic_cast<const csICCmBATag*>(ours.findTag(Signature("B2A0"))), nullptr);
    cmsHPROFILE theirs =
        cmsOpenProfileFromMem(image.data(), static_cast<cmsUInt32Number>(image.size()));
    const auto* aToB = static_cast<const cmsPipeline*>(cmsReadTag(theirs, cmsSigAToB0Tag));
    const auto* bToA = static_cast<const cmsPipeline*>(cmsReadTag(theirs, cmsSigBToA0Tag));

    // Device to PCS through the converter, relative colorimetric: no fix-up of any kind.
    csICCProfileConverter toPCS(&ours, 0, 0, 0);
    ASSERT_EQ(toPCS.prepare(), 0);
    ASSERT_NE(toPCS.modularInterpolator(), nullptr);
    Agreement forward, forward16;
    for (int i = 0; i < 9 * 9 * 9 * 9; ++i) {
        const double x[4] = {(i % 9) / 8.0, (i / 9 % 9) / 8.0, (i / 81 % 9) / 8.0, (i / 729) / 8.0};
        double in[4], out[3];
        std::uint16_t in16[4], out16[3];
        for (int k = 0; k < 4; ++k)
            in[k] = x[k] * 65535, in16[k] = static_cast<std::uint16_t>(in[k] + 0.5);
        toPCS.convert(in, out, 1);
        toPCS.convert(in16, out16, 1);
        const cmsFloat32Number fin[4] = {float(x[0]), float(x[1]), float(x[2]), float(x[3])};
        cmsFloat32Number fout[3];
        cmsPipelineEvalFloat(fin, fout, aToB);
        const double lcms[3] = {fout[0], fout[1], fout[2]};
        const double mine[3] = {out[0] / 65535, out[1] / 65535, out[2] / 65535};
        const double mine16[3] = {out16[0] / 65535.0, out16[1] / 65535.0, out16[2] / 65535.0};
        forward.add(deltaE(labOf(mine), labOf(lcms)));
        forward16.add(deltaE(labOf(mine16), labOf(lcms)));
    }
    forward.report("Little CMS mAB A2B0, double");
    forward16.report("Little CMS mAB A2B0, 16-bit");
    EXPECT_LT(forward.mean, 0.2);
    EXPECT_LT(forward.largest, 1.5);
    EXPECT_LT(forward16.mean, 0.2);
    EXPECT_LT(forward16.largest, 1.5);

    // PCS to device; compared as device values in percent.
    csICCProfileConverter toDevice(&ours, 1, 0, 0);
    ASSERT_EQ(toDevice.prepare(), 0);
    double largest = 0, sum = 0;
    int n = 0;
    for (int i = 0; i < 11 * 11 * 11; ++i) {
        const double x[3] = {(i % 11) / 10.0, (i / 11 % 11) / 10.0, (i / 121) / 10.0};
        double in[3] = {x[0] * 65535, x[1] * 65535, x[2] * 65535}, out[4];
        toDevice.convert(in, out, 1);
        const cmsFloat32Number fin[3] = {float(x[0]), float(x[1]), float(x[2])};
        cmsFloat32Number fout[4];
        cmsPipelineEvalFloat(fin, fout, bToA);
        for (int c = 0; c < 4; ++c) {
            const double d = std::abs(out[c] / 655.35 - fout[c] * 100);
            largest = std::max(largest, d), sum += d, ++n;
        }
    }
    std::printf("[ %-40s ] %d values: mean |d| %.5f %%, largest %.5f %%\n", "Little CMS mBA B2A0",
                n, sum / n, largest);
    EXPECT_LT(sum / n, 0.1);
    EXPECT_LT(largest, 0.5);
    cmsCloseProfile(theirs);
}

TEST_F(LutAB, ParametricMatrixShaperAgreesWithLittleCMS) {
    // sRGB primaries and white with the sRGB parametric curve (type 3 in the file), as Little CMS
    // 2 writes a version 4 display profile.
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    const cmsFloat64Number srgb[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE rgb = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(rgb, nullptr, &size);
    std::vector<std::uint8_t> image(size);
    cmsSaveProfileToMem(rgb, image.data(), &size);

    csICCProfile ours;
    ASSERT_EQ(ours.setProfile(image.data(), image.size()), 0);
    ASSERT_NE(dynamic_cast<const csICCparaTag*>(ours.findTag(Signature("rTRC"))), nullptr);
    csICCProfileConverter toPCS(&ours, 0, 1, 0), toDevice(&ours, 1, 1, 0);
    ASSERT_EQ(toPCS.prepare(), 0);
    ASSERT_EQ(toDevice.prepare(), 0);

    cmsHPROFILE xyz = cmsCreateXYZProfile();
    cmsHTRANSFORM transform =
        cmsCreateTransform(rgb, TYPE_RGB_16, xyz, TYPE_XYZ_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    ASSERT_NE(transform, nullptr);
    Agreement agreement;
    double roundTrip = 0;
    for (int i = 0; i < 18 * 18 * 18; ++i) {
        const cmsUInt16Number in16[3] = {static_cast<cmsUInt16Number>((i % 18) * 3855),
                                         static_cast<cmsUInt16Number>((i / 18 % 18) * 3855),
                                         static_cast<cmsUInt16Number>((i / 324) * 3855)};
        cmsCIEXYZ theirs;
        cmsDoTransform(transform, in16, &theirs, 1);
        double in[3] = {double(in16[0]), double(in16[1]), double(in16[2])}, out[3];
        toPCS.convert(in, out, 1);
        cmsCIEXYZ mine = {out[0] / 32768, out[1] / 32768, out[2] / 32768};
        cmsCIELab labMine, labTheirs;
        cmsXYZ2Lab(nullptr, &labMine, &mine);
        cmsXYZ2Lab(nullptr, &labTheirs, &theirs);
        agreement.add(cmsDeltaE(&labMine, &labTheirs));

        double back[3];
        toDevice.convert(out, back, 1);
        for (int c = 0; c < 3; ++c)
            roundTrip = std::max(roundTrip, std::abs(back[c] - in16[c]));
    }
    agreement.report("Little CMS v4 RGB, para TRCs");
    std::printf("[ %-40s ] largest RGB round trip %.2f of 65535\n", "para inverse", roundTrip);
    EXPECT_LT(agreement.mean, 0.02);
    EXPECT_LT(agreement.largest, 0.1);
    EXPECT_LT(roundTrip, 40); // the 16-bit tables of the para inverse
    cmsDeleteTransform(transform);
    cmsCloseProfile(xyz);
    cmsCloseProfile(rgb);
    cmsFreeToneCurve(curve);
}

TEST_F(LutAB, AbsoluteColorimetryScalesByTheMediaWhiteAsForMftLuts) {
    const std::vector<std::uint8_t> image = littleCMSPrinter();
    csICCProfile profile;
    ASSERT_EQ(profile.setProfile(image.data(), image.size()), 0);
    ASSERT_EQ(profile.replaceTag(csICCXYZTag(Signature("wtpt"), 0.90f, 0.95f, 0.75f)), 0);
    csICCProfileConverter relative(&profile, 0, 1, 0), absolute(&profile, 0, 1, 1);
    ASSERT_EQ(relative.prepare(), 0);
    ASSERT_EQ(absolute.prepare(), 0);
    double in[4] = {10000, 20000, 5000, 0}, copy[4] = {10000, 20000, 5000, 0}, rel[3], abs[3];
    relative.convert(in, rel, 1);
    absolute.convert(copy, abs, 1);
    // Lab16 (version 4) to XYZ, scaled by the media white over D50, back to Lab16.
    const auto xyz = [](const double* lab16) {
        const double L = lab16[0] / 655.35, a = lab16[1] / 257 - 128, b = lab16[2] / 257 - 128;
        const double fy = (L + 16) / 116, f[3] = {fy + a / 500, fy, fy - b / 200};
        const double white[3] = {0.9642, 1.0, 0.8249};
        std::array<double, 3> result{};
        for (int k = 0; k < 3; ++k) {
            const double cube = f[k] * f[k] * f[k];
            result[k] = white[k] * (cube > 216.0 / 24389 ? cube : (f[k] - 16.0 / 116) * 108 / 841);
        }
        return result;
    };
    // The white is stored as s15Fixed16, so compare with what was stored.
    const auto* wtpt = dynamic_cast<const csICCXYZTag*>(profile.findTag(Signature("wtpt")));
    const double media[3] = {wtpt->getX(0), wtpt->getY(0), wtpt->getZ(0)};
    const std::array<double, 3> r = xyz(rel), a = xyz(abs);
    EXPECT_NEAR(a[0], r[0] * media[0] / 0.96422, 2e-4);
    EXPECT_NEAR(a[1], r[1] * media[1], 2e-4);
    EXPECT_NEAR(a[2], r[2] * media[2] / 0.82521, 2e-4);
}

TEST_F(LutAB, ConverterRefusesALutOfTheWrongDirectionOrShape) {
    const std::vector<std::uint8_t> image = littleCMSPrinter();
    csICCProfile profile;
    ASSERT_EQ(profile.setProfile(image.data(), image.size()), 0);
    // The "mBA " under A2B1 as well: an A2B conversion cannot use it.
    clearLog();
    const csICCTag* bToA = profile.findTag(Signature("B2A0"));
    csICCmBATag moved(Signature("A2B1"), bToA->size(), bToA->data());
    ASSERT_EQ(profile.addTag(moved), 0);
    csICCProfileConverter converter(&profile, 0, 1, 0);
    EXPECT_EQ(converter.prepare(), -1);
    EXPECT_STREQ(logTitle(0), "wrong lut type");
    EXPECT_STREQ(logMessage(0), "'A2B1' is an 'mBA ' tag, which cannot convert in this direction");

    // A CMY profile whose A2B0 has four inputs.
    clearLog();
    profile.header().setColorSpace(Signature("CMY "));
    csICCProfileConverter cmy(&profile, 0, 0, 0);
    EXPECT_EQ(cmy.prepare(), -1);
    EXPECT_STREQ(logMessage(0), "'A2B0' has 4 inputs and 3 outputs; the conversion needs 3 and 3");
}

// An "mAB " block with B curves only (identity "curv"s), 3 in and 3 out, for breaking.
ProfileBytes identityBlock() {
    ProfileBytes b(32 + 3 * 12);
    b.bytes.assign(b.bytes.size(), 0);
    b.putText(0, "mAB ");
    b.put(8, {3, 3});
    b.put32(12, 32);
    for (int c = 0; c < 3; ++c)
        b.putText(32 + 12 * c, "curv");
    return b;
}

TEST_F(LutAB, MalformedTagsAreRefusedWithAnErrorEntry) {
    const auto refused = [](const ProfileBytes& b, const char* why) {
        clearLog();
        std::unique_ptr<csICCTag> tag(tagFactory(nullptr, Signature("A2B0"),
                                                 static_cast<std::uint32_t>(b.bytes.size()),
                                                 b.bytes.data()));
        ASSERT_NE(tag, nullptr);
        EXPECT_EQ(dynamic_cast<csICCLutABTag*>(tag.get()), nullptr) << why;
        ASSERT_GE(logCount(), 1u) << why;
        EXPECT_EQ(logLevel(logCount() - 1), 3) << why;
        EXPECT_NE(std::string(logMessage(logCount() - 1)).find(why), std::string::npos)
            << logMessage(logCount() - 1);
    };
    {
        clearLog();
        const ProfileBytes good = identityBlock();
        std::unique_ptr<csICCTag> tag(
            tagFactory(nullptr, Signature("A2B0"), 68, good.bytes.data()));
        const auto* lut = dynamic_cast<csICCmABTag*>(tag.get());
        ASSERT_NE(lut, nullptr);
        EXPECT_EQ(lut->curvesB().size(), 3u);
        const double in[3] = {1000, 30000, 65535};
        double out[3];
        csICCmABInterpolator(lut).convert(in, out, 1);
        EXPECT_NEAR(out[0], 1000, 1e-9);
        EXPECT_NEAR(out[2], 65535, 1e-9);
    }
    ProfileBytes b = identityBlock();
    b.bytes.resize(31);
    refused(b, "shorter than its 32-byte head");
    b = identityBlock();
    b.put(8, {0, 3});
    refused(b, "channel count outside 1..15");
    b = identityBlock();
    b.put32(12, 0);
    refused(b, "no B curves");
    b = identityBlock();
    b.put32(12, 60);
    refused(b, "curve element cannot be read");
    b = identityBlock();
    b.put32(12, 1000);
    refused(b, "curve set offset outside the tag");
    b = identityBlock();
    b.put(8, {4, 3});
    refused(b, "different channel counts without a CLUT");
    b = identityBlock();
    b.put32(16, 40);
    refused(b, "matrix outside the tag");
    // A CLUT whose grid, precision or data does not fit.
    const auto withCLUT = [](std::uint8_t grid, std::uint8_t precision, std::size_t extra) {
        ProfileBytes c = identityBlock();
        c.bytes.resize(68 + 20 + extra, 0);
        c.put32(24, 68);
        c.put(68, {grid, grid, grid});
        c.put(68 + 16, {precision});
        return c;
    };
    refused(withCLUT(2, 2, 2 * 2 * 2 * 3 * 2 - 1), "CLUT data runs past the tag");
    refused(withCLUT(1, 2, 100), "fewer than 2 grid points");
    refused(withCLUT(2, 3, 100), "precision is neither 1 nor 2");
    refused(withCLUT(255, 2, 100), "CLUT larger than the tag");
    {
        clearLog();
        const ProfileBytes fits = withCLUT(2, 1, 2 * 2 * 2 * 3);
        std::unique_ptr<csICCTag> tag(tagFactory(nullptr, Signature("A2B0"),
                                                 static_cast<std::uint32_t>(fits.bytes.size()),
                                                 fits.bytes.data()));
        EXPECT_NE(dynamic_cast<csICCmABTag*>(tag.get()), nullptr);
    }
}

} // namespace
