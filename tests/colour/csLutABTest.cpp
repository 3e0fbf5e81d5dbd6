// "mAB "/"mBA " luts against Little CMS 2: a profile written by our writer
// and read by Little CMS 2, and one written by Little CMS 2 and read by us, each converted by both
// on a grid of values, both directions.

#include "ClearedLogTest.h"
#include "ProfileBytes.h"
#include "TestProfiles.h"
#include "csICCNumbers.h"
#include "csICCProfileConverter.h"
#include "csICCSimplex.h"
#include "csICCToneCurve.h"
#include "csICCXYZTag.h"
#include "csICCcurvTag.h"
#include "csICCmABInterpolator.h"
#include "csICCmABTag.h"
#include "csICCmBATag.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

std::unique_ptr<csICCTag> block(const char* type, std::vector<std::uint8_t> bytes) {
    std::copy(type, type + 4, bytes.begin());
    return tagOf("curv", bytes);
}

std::unique_ptr<csICCTag> para(int type, std::initializer_list<double> parameters) {
    std::vector<std::uint8_t> bytes(12 + 4 * parameters.size(), 0);
    bytes[9] = static_cast<std::uint8_t>(type);
    std::size_t k = 0;
    for (double p : parameters)
        writeS15Fixed16(bytes.data() + 12 + 4 * k++, p);
    return block("para", bytes);
}

std::unique_ptr<csICCTag> sampled(std::initializer_list<std::uint16_t> entries) {
    std::vector<std::uint8_t> bytes(12 + 2 * entries.size(), 0);
    writeU32(bytes.data() + 8, static_cast<std::uint32_t>(entries.size()));
    std::size_t k = 0;
    for (std::uint16_t e : entries)
        writeU16(bytes.data() + 12 + 2 * k++, e);
    return block("curv", bytes);
}

// Smooth grid functions, on 0..1: CMYK to Lab (darker with more ink) and Lab to CMYK.
std::vector<double> toLab(const double* x) {
    const double L = 95 - 55 * x[3] - 25 * x[0] - 30 * x[1] - 10 * x[2] + 12 * x[0] * x[1];
    const double a = -35 * x[0] + 60 * x[1] - 5 * x[2] - 10 * x[3];
    const double b = -45 * x[0] - 10 * x[1] + 80 * x[2] - 5 * x[3];
    return {std::max(L, 0.0) / 100, (a + 128) / 255, (b + 128) / 255};
}
std::vector<double> toCMYK(const double* x) {
    return {1 - x[0], 0.5 * x[1] + 0.25 * x[2], x[2] / 3 + 0.3, x[0] * x[1]};
}

// A CLUT sampled from f over the grid, first dimension slowest, on the 16-bit scale.
std::vector<std::uint16_t> sample(const std::vector<std::uint8_t>& grid,
                                  std::vector<double> (*f)(const double*)) {
    std::vector<std::uint16_t> clut;
    std::vector<unsigned> index(grid.size(), 0);
    for (;;) {
        double x[4];
        for (std::size_t k = 0; k < grid.size(); ++k)
            x[k] = index[k] / double(grid[k] - 1);
        for (double v : f(x))
            clut.push_back(
                static_cast<std::uint16_t>(std::lround(std::clamp(v, 0.0, 1.0) * 65535)));
        std::size_t k = grid.size();
        while (k-- > 0 && ++index[k] == grid[k])
            index[k] = 0;
        if (k == static_cast<std::size_t>(-1))
            return clut;
    }
}

// The same functions as Little CMS 2 samples them.
template <unsigned Inputs, std::vector<double> (*F)(const double*)>
cmsInt32Number sampled(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
    double x[Inputs];
    for (unsigned k = 0; k < Inputs; ++k)
        x[k] = in[k] / 65535.0;
    const std::vector<double> v = F(x);
    for (std::size_t c = 0; c < v.size(); ++c)
        out[c] = static_cast<cmsUInt16Number>(std::lround(std::clamp(v[c], 0.0, 1.0) * 65535));
    return 1;
}

// A version 4 CMYK/Lab printer profile with every element of "mAB " (A2B0 with a 16-bit CLUT,
// A2B1 with an 8-bit one) and of "mBA " (B2A0), by our writer; B2A1 has only curves and a CLUT.
// With foldable, the M and B curves change nothing ("curv" without entries), so the interpolator
// folds the matrices into the scaling around them.
std::vector<std::uint8_t> ourPrinter(bool foldable = false) {
    const auto gamma18 = para(0, {1.8});
    const auto srgb = para(3, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045});
    const auto curve = sampled({0, 9000, 30000, 65535});
    const auto type1 = para(1, {1.2, 1.0, 0.0});
    // Pieces meeting at d: (0.95 x 0.04 + 0.05)^1.1 = 0.06901 = 0.5 x 0.04 + 0.049.
    const auto type4 = para(4, {1.1, 0.95, 0.05, 0.5, 0.04, 0.0, 0.049});
    csICCLutABTag::Elements a2b;
    a2b.a = {gamma18.get(), srgb.get(), curve.get(), type1.get()};
    const auto same = sampled({});
    a2b.m = {type1.get(), curve.get(), srgb.get()};
    a2b.b = {gamma18.get(), curve.get(), type4.get()};
    if (foldable)
        a2b.m = a2b.b = {same.get(), same.get(), same.get()};
    a2b.hasMatrix = true;
    a2b.matrix = {0.9, 0.05, 0.05, 0.02, 0.96, 0.02, 0.0, 0.04, 0.95, 0.01, -0.005, 0.0};
    a2b.grid = {5, 4, 6, 3};
    a2b.clut = sample(a2b.grid, toLab);
    csICCLutABTag::Elements b2a = a2b;
    b2a.a = {srgb.get(), gamma18.get(), curve.get(), gamma18.get()};
    b2a.grid = {7, 6, 5};
    b2a.clut = sample(b2a.grid, toCMYK);
    b2a.precision = 1;

    csICCProfile profile;
    profile.header().setVersion(4, 3, 0);
    profile.header().setDeviceClass(Signature("prtr"));
    profile.header().setColorSpace(Signature("CMYK"));
    profile.header().setPcs(Signature("Lab "));
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    profile.addTag(csICCmABTag(Signature("A2B0"), 4, 3, a2b));
    a2b.precision = 1;
    profile.addTag(csICCmABTag(Signature("A2B1"), 4, 3, a2b));
    profile.addTag(csICCmBATag(Signature("B2A0"), 3, 4, b2a));
    b2a.m.clear();
    b2a.hasMatrix = false;
    profile.addTag(csICCmBATag(Signature("B2A1"), 3, 4, b2a));
    std::vector<std::uint8_t> image;
    profile.writeToMemory(image);
    return image;
}

// The same kind of profile by Little CMS 2: A curves, CLUT and B curves in A2B0; B curves,
// matrix with offsets, M curves, CLUT and A curves in B2A0.
std::vector<std::uint8_t> theirPrinter() {
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
    const cmsUInt32Number grid4[4] = {9, 7, 8, 5}, grid3[3] = {11, 9, 10};
    cmsPipeline* aToB = cmsPipelineAlloc(nullptr, 4, 3);
    cmsPipelineInsertStage(aToB, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, curves));
    cmsStage* clut = cmsStageAllocCLut16bitGranular(nullptr, grid4, 4, 3, nullptr);
    cmsStageSampleCLut16bit(clut, sampled<4, toLab>, nullptr, 0);
    cmsPipelineInsertStage(aToB, cmsAT_END, clut);
    cmsPipelineInsertStage(aToB, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, curves + 1));
    cmsWriteTag(profile, cmsSigAToB0Tag, aToB);
    cmsPipeline* bToA = cmsPipelineAlloc(nullptr, 3, 4);
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, curves + 1));
    const cmsFloat64Number matrix[9] = {0.8, 0.1, 0.1, 0.05, 0.9, 0.05, 0.0, 0.1, 0.9};
    const cmsFloat64Number offset[3] = {0.02, 0.0, -0.01};
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocMatrix(nullptr, 3, 3, matrix, offset));
    cmsPipelineInsertStage(bToA, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, curves));
    cmsStage* inverse = cmsStageAllocCLut16bitGranular(nullptr, grid3, 3, 4, nullptr);
    cmsStageSampleCLut16bit(inverse, sampled<3, toCMYK>, nullptr, 0);
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

// The largest difference between our converter and Little CMS 2's pipeline of the tag over a grid
// of n points per input, in percent of the full scale of the outputs (16-bit samples when asked).
double largestDifference(const std::vector<std::uint8_t>& image, const char* name,
                         cmsTagSignature signature, int n, bool sixteenBit) {
    csICCProfile ours;
    EXPECT_EQ(ours.setProfile(image.data(), image.size()), 0);
    const bool aToB = name[0] == 'A';
    csICCProfileConverter converter(&ours, aToB ? 0 : 1, name[3] - '0', 0);
    EXPECT_EQ(converter.prepare(), 0) << name;
    cmsHPROFILE theirs =
        cmsOpenProfileFromMem(image.data(), static_cast<cmsUInt32Number>(image.size()));
    const auto* pipeline = static_cast<const cmsPipeline*>(cmsReadTag(theirs, signature));
    EXPECT_NE(pipeline, nullptr) << name;
    const unsigned inputs = aToB ? 4 : 3, outputs = aToB ? 3 : 4;
    double largest = 0;
    int total = 1;
    for (unsigned k = 0; k < inputs; ++k)
        total *= n;
    for (int i = 0; pipeline != nullptr && i < total; ++i) {
        cmsFloat32Number fin[4], fout[4];
        double in[4], out[4];
        std::uint16_t in16[4], out16[4];
        for (unsigned k = 0, rest = i; k < inputs; ++k, rest /= n) {
            fin[k] = static_cast<float>((rest % n) / double(n - 1));
            in[k] = fin[k] * 65535.0;
            in16[k] = static_cast<std::uint16_t>(std::lround(in[k]));
        }
        cmsPipelineEvalFloat(fin, fout, pipeline);
        if (sixteenBit) {
            converter.convert(in16, out16, 1);
            std::copy(out16, out16 + outputs, out);
        } else {
            converter.convert(in, out, 1);
        }
        for (unsigned c = 0; c < outputs; ++c)
            largest = std::max(largest, std::abs(out[c] / 655.35 - fout[c] * 100));
    }
    cmsCloseProfile(theirs);
    return largest;
}

using LutAB = ClearedLogTest;

// Simplex interpolation and Little CMS 2's own differ inside grid cells only; 16-bit samples
// add their rounding.
TEST_F(LutAB, BothWritersProfilesConvertAsLittleCMSEvaluatesThem) {
    const std::vector<std::uint8_t> ours = ourPrinter(), theirs = theirPrinter();
    // Both read what our writer wrote; Little CMS 2 also sees every element it was given.
    cmsHPROFILE written = cmsOpenProfileFromMem(ours.data(), cmsUInt32Number(ours.size()));
    EXPECT_EQ(cmsPipelineStageCount(static_cast<cmsPipeline*>(cmsReadTag(written, cmsSigAToB0Tag))),
              5u)
        << "A curves, CLUT, M curves, matrix, B curves";
    cmsCloseProfile(written);
    EXPECT_LT(largestDifference(ours, "A2B0", cmsSigAToB0Tag, 7, false), 1.0) << "16-bit CLUT";
    EXPECT_LT(largestDifference(ours, "A2B1", cmsSigAToB1Tag, 7, false), 1.0) << "8-bit CLUT";
    EXPECT_LT(largestDifference(ours, "B2A0", cmsSigBToA0Tag, 9, false), 0.5);
    EXPECT_LT(largestDifference(theirs, "A2B0", cmsSigAToB0Tag, 9, false), 1.0);
    EXPECT_LT(largestDifference(theirs, "A2B0", cmsSigAToB0Tag, 9, true), 1.0);
    EXPECT_LT(largestDifference(theirs, "B2A0", cmsSigBToA0Tag, 11, false), 0.5);
}

// The lut evaluated element by element from the tag's own pieces, in the order of its type: each
// curve on the 16-bit scale, the matrix and its offsets, and the general simplex over the tag's
// CLUT values, every step clamped to 0..1. Normalised in and out.
void reference(const csICCLutABTag& lut, const double* in, double* out) {
    double v[16];
    const unsigned inputs = lut.inputChannels(), outputs = lut.outputChannels();
    const auto clamp01 = [](double x) { return !(x > 0) ? 0 : x > 1 ? 1 : x; };
    const auto curves = [&](const std::vector<std::unique_ptr<csICCTag>>& set) {
        for (std::size_t c = 0; c < set.size(); ++c) {
            double x = clamp01(v[c]) * 65535;
            csICCToneCurve(set[c].get()).forward(&x, &x, 1);
            v[c] = clamp01(x / 65535);
        }
    };
    const auto matrix = [&] {
        const std::array<double, 12>& e = lut.matrix();
        const double x[3] = {v[0], v[1], v[2]};
        for (int r = 0; lut.hasMatrix() && r < 3; ++r)
            v[r] = clamp01(e[3 * r] * x[0] + e[3 * r + 1] * x[1] + e[3 * r + 2] * x[2] + e[9 + r]);
    };
    const auto clut = [&] {
        if (!lut.hasCLUT())
            return;
        std::uint32_t grid[16], strides[16], stride = 1;
        double scale[16], position[16], result[16];
        for (unsigned k = inputs; k-- > 0;) {
            grid[k] = lut.gridPoints(k);
            strides[k] = stride;
            stride *= grid[k];
            scale[k] = (grid[k] - 1) / 65535.0;
            position[k] = clamp01(v[k]) * 65535;
        }
        simplexInterpolate(position, inputs, outputs, grid, scale, strides, 0, result,
                           [&](std::uint32_t point, double weight, double* sum) {
                               for (unsigned c = 0; c < outputs; ++c)
                                   sum[c] += weight * lut.clutValue(point, c);
                           });
        for (unsigned c = 0; c < outputs; ++c)
            v[c] = clamp01(result[c]);
    };
    for (unsigned k = 0; k < inputs; ++k)
        v[k] = clamp01(in[k]);
    if (lut.isAToB()) {
        curves(lut.curvesA()), clut(), curves(lut.curvesM()), matrix(), curves(lut.curvesB());
    } else {
        curves(lut.curvesB()), matrix(), curves(lut.curvesM()), clut(), curves(lut.curvesA());
    }
    std::copy(v, v + outputs, out);
}

// The interpolator's prepared and unrolled paths give what the element-by-element evaluation
// gives: to 1e-9 on doubles, exactly on 16-bit samples (the same doubles, rounded; a folded
// matrix may round otherwise only within 1e-9 of half a step), for every element of both writers'
// luts, 8- and 16-bit CLUTs, 3 and 4 channels each way.
TEST_F(LutAB, PreparedEvaluationIsTheElementByElementOne) {
    std::mt19937 random(19);
    std::uniform_real_distribution<double> anywhere(-2000, 67535);
    for (const auto& image : {ourPrinter(), theirPrinter(), ourPrinter(true)}) {
        csICCProfile profile;
        ASSERT_EQ(profile.setProfile(image.data(), image.size()), 0);
        for (const Signature signature :
             {Signature("A2B0"), Signature("A2B1"), Signature("B2A0"), Signature("B2A1")}) {
            const std::string name = signature.text();
            const auto* lut = dynamic_cast<const csICCLutABTag*>(profile.findTag(signature));
            if (lut == nullptr)
                continue;
            const csICCmABInterpolator interpolator(lut);
            const unsigned inputs = lut->inputChannels();
            const unsigned outputs = lut->outputChannels();
            double largest = 0;
            // Every pixel but the last again in one call (in blocks, unlike single pixels, and the
            // last few of them one by one): the same results.
            std::vector<double> all, allOut;
            std::vector<std::uint16_t> all16, allOut16;
            for (int i = 0; i < 4000; ++i) {
                double in[4], normalised[4], out[4], expected[4];
                std::uint16_t in16[4], out16[4];
                for (unsigned k = 0; k < inputs; ++k) {
                    // Grid points and cell edges too, besides values anywhere (outside as well).
                    in[k] =
                        i % 4 == 0 ? std::round(anywhere(random) / 4096) * 4096 : anywhere(random);
                    in16[k] =
                        static_cast<std::uint16_t>(std::clamp(std::lround(in[k]), 0L, 65535L));
                    normalised[k] = in[k] / 65535;
                }
                interpolator.convert(in, out, 1);
                all.insert(all.end(), in, in + inputs);
                allOut.insert(allOut.end(), out, out + outputs);
                reference(*lut, normalised, expected);
                for (unsigned c = 0; c < outputs; ++c)
                    largest = std::max(largest, std::abs(out[c] - expected[c] * 65535));
                interpolator.convert(in16, out16, 1);
                all16.insert(all16.end(), in16, in16 + inputs);
                allOut16.insert(allOut16.end(), out16, out16 + outputs);
                for (unsigned k = 0; k < inputs; ++k)
                    normalised[k] = in16[k] / 65535.0;
                reference(*lut, normalised, expected);
                for (unsigned c = 0; c < outputs; ++c) {
                    const double steps = expected[c] * 65535.0;
                    if (std::abs(steps - std::floor(steps) - 0.5) > 1e-9) {
                        ASSERT_EQ(out16[c], static_cast<std::uint16_t>(steps + 0.5))
                            << name << " " << in16[0] << " " << in16[1] << " " << in16[2];
                    }
                }
            }
            EXPECT_LT(largest, 1e-9) << name;
            std::vector<double> together(allOut.size() - outputs);
            std::vector<std::uint16_t> together16(allOut16.size() - outputs);
            interpolator.convert(all.data(), together.data(), 3999);
            interpolator.convert(all16.data(), together16.data(), 3999);
            allOut.resize(together.size());
            allOut16.resize(together16.size());
            EXPECT_EQ(together, allOut) << name;
            EXPECT_EQ(together16, allOut16) << name;
        }
    }
}

TEST_F(LutAB, ALutForTheOtherDirectionIsRefused) {
    const std::vector<std::uint8_t> image = theirPrinter();
    csICCProfile profile;
    ASSERT_EQ(profile.setProfile(image.data(), image.size()), 0);
    const csICCTag* bToA = profile.findTag(Signature("B2A0"));
    ASSERT_EQ(profile.addTag(csICCmBATag(Signature("A2B1"), bToA->size(), bToA->data())), 0);
    clearLog();
    csICCProfileConverter converter(&profile, 0, 1, 0);
    EXPECT_EQ(converter.prepare(), -1);
    EXPECT_STREQ(logTitle(0), "wrong lut type");
    EXPECT_STREQ(logMessage(0), "'A2B1' is an 'mBA ' tag, which cannot convert in this direction");
}

// An "mAB " block with identity B curves only, 3 in and 3 out, for breaking.
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

// The same block with a CLUT of the given grid and precision, and extra bytes of CLUT data.
ProfileBytes withCLUT(std::uint8_t grid, std::uint8_t precision, std::size_t extra) {
    ProfileBytes c = identityBlock();
    c.bytes.resize(68 + 20 + extra, 0);
    c.put32(24, 68);
    c.put(68, {grid, grid, grid});
    c.put(68 + 16, {precision});
    return c;
}

TEST_F(LutAB, MalformedTagsAreKeptAsPlainDataWithTheirReason) {
    const auto made = [](const ProfileBytes& b) { return tagOf("A2B0", b.bytes); };
    {
        const auto tag = made(identityBlock());
        const auto* lut = dynamic_cast<csICCmABTag*>(tag.get());
        ASSERT_NE(lut, nullptr);
        const double in[3] = {1000, 30000, 65535};
        double out[3];
        csICCmABInterpolator(lut).convert(in, out, 1);
        EXPECT_NEAR(out[0], 1000, 1e-9);
        EXPECT_NEAR(out[2], 65535, 1e-9);
        EXPECT_NE(dynamic_cast<csICCmABTag*>(made(withCLUT(2, 1, 2 * 2 * 2 * 3)).get()), nullptr)
            << "an 8-bit CLUT that just fits";
    }
    struct Broken {
        ProfileBytes bytes;
        const char* why;
    };
    std::vector<Broken> broken;
    const auto change = [&](const char* why, auto edit) {
        ProfileBytes b = identityBlock();
        edit(b);
        broken.push_back({b, why});
    };
    change("shorter than its 32-byte head", [](ProfileBytes& b) { b.bytes.resize(31); });
    change("channel count outside 1..15", [](ProfileBytes& b) { b.put(8, {0, 3}); });
    change("no B curves", [](ProfileBytes& b) { b.put32(12, 0); });
    change("curve element cannot be read", [](ProfileBytes& b) { b.put32(12, 60); });
    change("curve set offset outside the tag", [](ProfileBytes& b) { b.put32(12, 1000); });
    change("different channel counts without a CLUT", [](ProfileBytes& b) { b.put(8, {4, 3}); });
    change("matrix outside the tag", [](ProfileBytes& b) { b.put32(16, 40); });
    broken.push_back({withCLUT(2, 2, 2 * 2 * 2 * 3 * 2 - 1), "CLUT data runs past the tag"});
    broken.push_back({withCLUT(1, 2, 100), "fewer than 2 grid points"});
    broken.push_back({withCLUT(2, 3, 100), "precision is neither 1 nor 2"});
    broken.push_back({withCLUT(255, 2, 100), "CLUT larger than the tag"});
    for (const Broken& b : broken) {
        clearLog();
        const auto tag = made(b.bytes);
        ASSERT_NE(tag, nullptr) << b.why;
        EXPECT_EQ(dynamic_cast<csICCLutABTag*>(tag.get()), nullptr) << b.why;
        ASSERT_GE(logCount(), 1u) << b.why;
        EXPECT_EQ(logLevel(logCount() - 1), 3) << b.why;
        EXPECT_NE(std::string(logMessage(logCount() - 1)).find(b.why), std::string::npos)
            << logMessage(logCount() - 1);
    }
}

} // namespace
