#include "csICCPCS.h"

#include "csAssert.h"
#include "csCIEConstants.h"
#include "csTypes.h"

#include <cmath>

namespace {

// The D50 PCS white in XYZ16 units and in percent.
constexpr double whiteX16 = 31595.0;
constexpr double whiteY16 = 32768.0;
constexpr double whiteZ16 = 27030.5;
constexpr double whiteXPercent = 96.4202880859375;
constexpr double whiteZPercent = 82.49053955078125;

using csCIE::labF;
using csCIE::labFInverse;

// Lab to the three ratios X/Xw, Y/Yw, Z/Zw.
void labToRatios(double L, double a, double b, double ratios[3]) {
    const double fy = (L + 16.0) / 116.0;
    ratios[0] = labFInverse(fy + a / 500.0);
    ratios[1] = labFInverse(fy);
    ratios[2] = labFInverse(fy - b / 200.0);
}

// Runs convert(in, out) on every pixel of an interleaved buffer. All three samples of a pixel are
// read before any is written, so source and destination may be one buffer.
template <typename In, typename Out, typename Convert>
void forEachPixel(const In* src, Out* dst, int count, int srcStride, int dstStride,
                  Convert convert) {
    if (count < 1)
        return;
    const int srcStep = srcStride == 0 ? 3 : srcStride;
    const int dstStep = dstStride == 0 ? 3 : dstStride;
    for (int i = 0; i < count; ++i) {
        const In in[3] = {src[0], src[1], src[2]};
        Out out[3];
        convert(in, out);
        dst[0] = out[0];
        dst[1] = out[1];
        dst[2] = out[2];
        src += srcStep;
        dst += dstStep;
    }
}

template <typename In, typename Out, typename Convert>
void forEachPlanarPixel(const In* const src[3], Out* const dst[3], int count, Convert convert) {
    for (int i = 0; i < count; ++i) {
        const In in[3] = {src[0][i], src[1][i], src[2][i]};
        Out out[3];
        convert(in, out);
        dst[0][i] = out[0];
        dst[1][i] = out[1];
        dst[2][i] = out[2];
    }
}

void lab16ToXYZ16(const rfloat in[3], rfloat out[3]) {
    double ratios[3];
    labToRatios(in[0] / 655.35, in[1] / 257.0 - 128.0, in[2] / 257.0 - 128.0, ratios);
    out[0] = ratios[0] * whiteX16;
    out[1] = ratios[1] * whiteY16;
    out[2] = ratios[2] * whiteZ16;
}

void legacyLab16ToXYZ16(const rfloat in[3], rfloat out[3]) {
    double ratios[3];
    labToRatios(in[0] / 652.8, in[1] / 256.0 - 128.0, in[2] / 256.0 - 128.0, ratios);
    out[0] = ratios[0] * whiteX16;
    out[1] = ratios[1] * whiteY16;
    out[2] = ratios[2] * whiteZ16;
}

void xyz16ToF(const rfloat in[3], double f[3]) {
    f[0] = labF(in[0] / whiteX16);
    f[1] = labF(in[1] * (1.0 / 32768.0));
    f[2] = labF(in[2] / whiteZ16);
}

void xyz16ToLab16(const rfloat in[3], rfloat out[3]) {
    double f[3];
    xyz16ToF(in, f);
    out[0] = (116.0 * f[1] - 16.0) * 655.35;
    out[1] = (f[0] - f[1]) * 128500.0 + 32896.0;
    out[2] = (f[1] - f[2]) * 51400.0 + 32896.0;
}

void xyz16ToLegacyLab16(const rfloat in[3], rfloat out[3]) {
    double f[3];
    xyz16ToF(in, f);
    out[0] = (116.0 * f[1] - 16.0) * 652.8;
    out[1] = (f[0] - f[1]) * 128000.0 + 32768.0;
    out[2] = (f[1] - f[2]) * 51200.0 + 32768.0;
}

// The lookup tables of the integer path. The inverse tables are indexed by f = i / 39672, which
// covers f from 0 to 1.652 (b* = -128 at L* = 100 needs f = 1.64); the forward table by the ratio
// to the white t = i / 32768 and holds f(t) x 52000.
struct Tables {
    uint16 inverseX[65536];
    uint16 inverseY[65536];
    uint16 inverseZ[65536];
    std::uint32_t forward[65536];
};

Tables& tables() {
    static Tables* built = [] {
        auto* t = new Tables;
        for (int i = 0; i < 65536; ++i) {
            // The L* and a* that index i stands for in the 16-bit encodings; the loop bounds keep
            // them in range.
            const double l = i / 655.35, a = i / 257.0 - 128;
            CS_ASSERT(l >= 0.);
            CS_ASSERT(l <= 100.);
            CS_ASSERT(a >= -128.);
            CS_ASSERT(a < 128.);
            // Single precision with the constants of the integer design.
            const float f = toSingle(i) / 39672.0f;
            const float cube = f * f * f;
            const float ratio = cube > 0.008856452f ? cube : (f - 0.13793103f) / 7.787037f;
            const auto round = [](float value) {
                const auto rounded = static_cast<long>(value + 0.5f);
                return static_cast<uint16>(rounded < 0 ? 0 : rounded > 65535 ? 65535 : rounded);
            };
            t->inverseX[i] = round(ratio * 31595.0f);
            t->inverseY[i] = round(ratio * 32768.0f);
            t->inverseZ[i] = round(ratio * 27030.5f);

            const float tRatio = toSingle(i) / 32768.0f;
            const float fyoy0 =
                tRatio > 0.008856452f ? std::cbrt(tRatio) : tRatio * 7.787037f + 0.13793103f;
            CS_ASSERT(fyoy0 >= 0.);
            const auto iint = static_cast<std::uint32_t>(fyoy0 * 52000.0f + 0.5f);
            CS_ASSERT(iint <= 65535);
            t->forward[i] = iint;
        }
        return t;
    }();
    return *built;
}

uint16 clamp16(std::int32_t value) {
    return static_cast<uint16>(value < 0 ? 0 : value > 65535 ? 65535 : value);
}

// Integer XYZ16 to Lab16. The coefficients differ between the two Lab encodings.
struct ForwardCoefficients {
    std::int32_t lScale, lOffset, aScale, abOffset, bScale;
};
constexpr ForwardCoefficients version4{23952, 10485, 20244, 32896, 16195};
constexpr ForwardCoefficients legacy{23859, 10444, 20165, 32768, 16132};

void xyz16ToLab16Integer(const uint16 in[3], uint16 out[3], const ForwardCoefficients& k) {
    const Tables& t = tables();
    // Normalise to the white; beyond the white's reach the ratio saturates.
    const std::uint32_t x = in[0] < 63190 ? (in[0] * 67969u + 32768u) >> 16 : 65535u;
    const std::uint32_t y = in[1];
    const std::uint32_t z = in[2] <= 54060 ? (in[2] * 79447u + 32768u) >> 16 : 65535u;
    const auto fx = static_cast<std::int32_t>(t.forward[x]);
    const auto fy = static_cast<std::int32_t>(t.forward[y]);
    const auto fz = static_cast<std::int32_t>(t.forward[z]);
    const std::int32_t L = ((fy * k.lScale + 8192) >> 14) - k.lOffset;
    out[0] = static_cast<uint16>(L > 65535 ? 65535 : L);
    out[1] = clamp16((((fx - fy) * k.aScale + 4096) >> 13) + k.abOffset);
    out[2] = clamp16((((fy - fz) * k.bScale + 8192) >> 14) + k.abOffset);
}

// Integer Lab16 to XYZ16 through the inverse tables.
struct InverseCoefficients {
    std::uint32_t lScale, aScale, bScale;
};
constexpr InverseCoefficients inverse4{34201, 20233, 50583};
constexpr InverseCoefficients inverseLegacy{34334, 20312, 50780};

void lab16ToXYZ16Integer(const uint16 in[3], uint16 out[3], const InverseCoefficients& k) {
    const Tables& t = tables();
    const std::uint32_t iy = ((in[0] * k.lScale + 32768u) >> 16) + 5472u;
    // Both sums are kept to 16 bits; one that went below zero wraps above its start and reads 0.
    std::uint32_t ix = (iy - 10156u + ((in[1] * k.aScale + 32768u) >> 16)) & 0xFFFFu;
    if (in[1] < 32768 && ix > iy)
        ix = 0;
    std::uint32_t iz = (iy + 25390u - ((in[2] * k.bScale + 32768u) >> 16)) & 0xFFFFu;
    if (in[2] >= 32768 && iz > iy + 25390u)
        iz = 0;
    out[0] = t.inverseX[ix];
    out[1] = t.inverseY[iy];
    out[2] = t.inverseZ[iz];
}

uint16 scale16(uint16 value, std::uint32_t k) {
    if (k <= 65536u ? value >= 65535u : value >= 4294967295u / k)
        return 65535;
    const std::uint32_t scaled = (value * k + 32768u) >> 16;
    return static_cast<uint16>(scaled > 65535u ? 65535u : scaled);
}

// The linear map of scaleBlackXYZ16 for one channel.
struct BlackMap {
    double black0, black1, white;
    double operator()(double v) const {
        return (v - black0) * (white - black1) / (white - black0) + black1;
    }
};

struct BlackMaps {
    BlackMap map[3];
    BlackMaps(double inputBlackY, double outputBlackY) {
        const double whites[3] = {whiteX16, whiteY16, whiteZ16};
        for (int c = 0; c < 3; ++c) {
            const double share = whites[c] / whiteY16;
            map[c] = {inputBlackY * share, outputBlackY * share, whites[c]};
        }
    }
};

} // namespace

void csICCPCS::LabToXYZ(const double* src, double* dst, int count, int srcStride, int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [](const double in[3], double out[3]) {
        double ratios[3];
        labToRatios(in[0], in[1], in[2], ratios);
        out[0] = ratios[0] * whiteXPercent;
        out[1] = ratios[1] * 100.0;
        out[2] = ratios[2] * whiteZPercent;
    });
}

void csICCPCS::Lab16toXYZ16(const rfloat* src, rfloat* dst, int count, int srcStride,
                            int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, lab16ToXYZ16);
}

void csICCPCS::Lab16toXYZ16(const rfloat* const src[3], rfloat* const dst[3], int count) {
    forEachPlanarPixel(src, dst, count, lab16ToXYZ16);
}

void csICCPCS::LegacyLab16toXYZ16(const rfloat* src, rfloat* dst, int count, int srcStride,
                                  int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, legacyLab16ToXYZ16);
}

void csICCPCS::LegacyLab16toXYZ16(const rfloat* const src[3], rfloat* const dst[3], int count) {
    forEachPlanarPixel(src, dst, count, legacyLab16ToXYZ16);
}

void csICCPCS::XYZ16toLab16(const rfloat* src, rfloat* dst, int count, int srcStride,
                            int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, xyz16ToLab16);
}

void csICCPCS::XYZ16toLegacyLab16(const rfloat* src, rfloat* dst, int count, int srcStride,
                                  int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, xyz16ToLegacyLab16);
}

void csICCPCS::XYZ16toLegacyLab16(const rfloat* const src[3], rfloat* const dst[3], int count) {
    forEachPlanarPixel(src, dst, count, xyz16ToLegacyLab16);
}

void csICCPCS::Lab16toXYZ16(const uint16* src, uint16* dst, int count, int srcStride,
                            int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride,
                 [](const uint16 in[3], uint16 out[3]) { lab16ToXYZ16Integer(in, out, inverse4); });
}

void csICCPCS::LegacyLab16toXYZ16(const uint16* src, uint16* dst, int count, int srcStride,
                                  int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [](const uint16 in[3], uint16 out[3]) {
        lab16ToXYZ16Integer(in, out, inverseLegacy);
    });
}

void csICCPCS::XYZ16toLab16(const uint16* src, uint16* dst, int count, int srcStride,
                            int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride,
                 [](const uint16 in[3], uint16 out[3]) { xyz16ToLab16Integer(in, out, version4); });
}

void csICCPCS::XYZ16toLegacyLab16(const uint16* src, uint16* dst, int count, int srcStride,
                                  int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride,
                 [](const uint16 in[3], uint16 out[3]) { xyz16ToLab16Integer(in, out, legacy); });
}

void csICCPCS::Lab16V4toV2(const uint16* src, uint16* dst, int count, int srcStride,
                           int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [](const uint16 in[3], uint16 out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<uint16>((in[c] * 65281u + 32768u) >> 16);
    });
}

void csICCPCS::Lab16V4toV2(const rfloat* src, rfloat* dst, int count, int srcStride,
                           int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [](const rfloat in[3], rfloat out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = in[c] * 65280.0 / 65535.0;
    });
}

void csICCPCS::Lab16V2toV4(const uint16* src, uint16* dst, int count, int srcStride,
                           int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [](const uint16 in[3], uint16 out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = labV2toV4(in[c]);
    });
}

void csICCPCS::Lab16V2toV4(const rfloat* src, rfloat* dst, int count, int srcStride,
                           int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [](const rfloat in[3], rfloat out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = in[c] * 65535.0 / 65280.0;
    });
}

void csICCPCS::scaleXYZ16(const uint16* src, uint16* dst, int count, std::uint32_t kX,
                          std::uint32_t kY, std::uint32_t kZ, int srcStride, int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [=](const uint16 in[3], uint16 out[3]) {
        out[0] = scale16(in[0], kX);
        out[1] = scale16(in[1], kY);
        out[2] = scale16(in[2], kZ);
    });
}

void csICCPCS::scaleLab16(const rfloat* src, rfloat* dst, int count, const double k[3],
                          const double cubeRootK[3], int srcStride, int dstStride) {
    const double k0 = k[0], k1 = k[1], k2 = k[2];
    const double r0 = cubeRootK[0], r1 = cubeRootK[1], r2 = cubeRootK[2];
    // With f scaled by the cube roots r, the encoding's steps in and out make an affine map:
    // L16' = r1 L16 + 16 * 655.35 (r1 - 1), and a16' - 32896 = r0 (a16 - 32896) + 128500 (r0 - r1)
    // fy, b16' - 32896 = r2 (b16 - 32896) + 51400 (r1 - r2) fy.
    const double lightnessOffset = 16 * 655.35 * (r1 - 1);
    const double aFromF = 128500.0 * (r0 - r1), bFromF = 51400.0 * (r1 - r2);
    forEachPixel(src, dst, count, srcStride, dstStride, [=](const rfloat in[3], rfloat out[3]) {
        const double fy = in[0] * (1 / (655.35 * 116)) + 16.0 / 116;
        const double a = in[1] - 32896.0, b = in[2] - 32896.0;
        const double fx = fy + a * (1 / 128500.0), fz = fy - b * (1 / 51400.0);
        const double cx = fx * fx * fx, cy = fy * fy * fy, cz = fz * fz * fz;
        constexpr double eps = csCIE::epsilon;
        if (cx > eps && cy > eps && cz > eps && cx * k0 > eps && cy * k1 > eps && cz * k2 > eps) {
            // cbrt(k f^3) is cbrt(k) f.
            out[0] = r1 * in[0] + lightnessOffset;
            out[1] = r0 * a + aFromF * fy + 32896.0;
            out[2] = r2 * b + bFromF * fy + 32896.0;
            return;
        }
        rfloat xyz[3];
        lab16ToXYZ16(in, xyz);
        xyz[0] *= k0, xyz[1] *= k1, xyz[2] *= k2;
        xyz16ToLab16(xyz, out);
    });
}

void csICCPCS::scaleXYZ(const rfloat* src, rfloat* dst, int count, double k0, double k1, double k2,
                        int srcStride, int dstStride) {
    forEachPixel(src, dst, count, srcStride, dstStride, [=](const rfloat in[3], rfloat out[3]) {
        out[0] = in[0] * k0;
        out[1] = in[1] * k1;
        out[2] = in[2] * k2;
    });
}

void csICCPCS::scaleXYZ(const rfloat* const src[3], rfloat* const dst[3], int count, double k0,
                        double k1, double k2) {
    forEachPlanarPixel(src, dst, count, [=](const rfloat in[3], rfloat out[3]) {
        out[0] = in[0] * k0;
        out[1] = in[1] * k1;
        out[2] = in[2] * k2;
    });
}

void csICCPCS::scaleBlackXYZ16(const rfloat* src, rfloat* dst, int count, double inputBlackY,
                               double outputBlackY, int srcStride, int dstStride) {
    const BlackMaps maps(inputBlackY, outputBlackY);
    forEachPixel(src, dst, count, srcStride, dstStride, [&](const rfloat in[3], rfloat out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = maps.map[c](in[c]);
    });
}

void csICCPCS::scaleBlackXYZ16(const rfloat* const src[3], rfloat* const dst[3], int count,
                               double inputBlackY, double outputBlackY) {
    const BlackMaps maps(inputBlackY, outputBlackY);
    forEachPlanarPixel(src, dst, count, [&](const rfloat in[3], rfloat out[3]) {
        for (int c = 0; c < 3; ++c)
            out[c] = maps.map[c](in[c]);
    });
}

void csICCPCS::scaleBlackXYZ16(const uint16* src, uint16* dst, int count, double inputBlackY,
                               double outputBlackY, int srcStride, int dstStride) {
    const BlackMaps maps(inputBlackY, outputBlackY);
    forEachPixel(src, dst, count, srcStride, dstStride, [&](const uint16 in[3], uint16 out[3]) {
        for (int c = 0; c < 3; ++c) {
            const double v = maps.map[c](in[c]);
            out[c] = static_cast<uint16>(v < 0.0 ? 0.0 : v > 65535.0 ? 65535.0 : v);
        }
    });
}

const uint16* csICCPCS::inverseXTable() { return tables().inverseX; }
const uint16* csICCPCS::inverseYTable() { return tables().inverseY; }
const uint16* csICCPCS::inverseZTable() { return tables().inverseZ; }
const std::uint32_t* csICCPCS::forwardTable() { return tables().forward; }
