#pragma once

#include "csTypes.h"

#include <cstdint>

// Conversions between the encodings of the profile connection space (PCS). Pixels have three
// samples. Interleaved buffers take a pixel stride counted in samples (0 means 3); planar buffers
// take three arrays, one per channel. Source and destination may be the same interleaved buffer.
// A count below 1 converts nothing.
//
// Encodings: Lab16 (version 4) is L* x 655.35 and (a* + 128) x 257; legacy Lab16 (version 2, only
// for version 2 lut tags) is L* x 652.8 and (a* + 128) x 256; XYZ16 is X x 32768 with the D50 PCS
// white at (31595, 32768, 27030.5). `uint16` conversions use lookup tables and integer arithmetic
// only; `rfloat` conversions evaluate the CIE formulas in double precision and neither round nor
// clamp their results.
class csICCPCS {
public:
    // L*a*b* to XYZ in percent of the PCS white (96.42029, 100, 82.49054).
    static void LabToXYZ(const double* src, double* dst, int count, int srcStride = 0,
                         int dstStride = 0);

    // Formula conversions on `rfloat` samples.
    static void Lab16toXYZ16(const rfloat* src, rfloat* dst, int count, int srcStride = 0,
                             int dstStride = 0);
    static void Lab16toXYZ16(const rfloat* const src[3], rfloat* const dst[3], int count);
    static void LegacyLab16toXYZ16(const rfloat* src, rfloat* dst, int count, int srcStride = 0,
                                   int dstStride = 0);
    static void LegacyLab16toXYZ16(const rfloat* const src[3], rfloat* const dst[3], int count);
    static void XYZ16toLab16(const rfloat* src, rfloat* dst, int count, int srcStride = 0,
                             int dstStride = 0);
    static void XYZ16toLegacyLab16(const rfloat* src, rfloat* dst, int count, int srcStride = 0,
                                   int dstStride = 0);
    static void XYZ16toLegacyLab16(const rfloat* const src[3], rfloat* const dst[3], int count);
    // Lab16 scaled in XYZ by k[c] (positive), given with the cube roots of the factors:
    // Lab16toXYZ16, scaleXYZ and XYZ16toLab16 in a row, to within a few units in the last place.
    // Where every f of a pixel lies on the cube-root part before and after, the f values are
    // scaled by the cube roots instead; other pixels go the three steps.
    static void scaleLab16(const rfloat* src, rfloat* dst, int count, const double k[3],
                           const double cubeRootK[3], int srcStride = 0, int dstStride = 0);

    // Table conversions on `uint16` samples.
    static void Lab16toXYZ16(const uint16* src, uint16* dst, int count, int srcStride = 0,
                             int dstStride = 0);
    static void LegacyLab16toXYZ16(const uint16* src, uint16* dst, int count, int srcStride = 0,
                                   int dstStride = 0);
    static void XYZ16toLab16(const uint16* src, uint16* dst, int count, int srcStride = 0,
                             int dstStride = 0);
    static void XYZ16toLegacyLab16(const uint16* src, uint16* dst, int count, int srcStride = 0,
                                   int dstStride = 0);

    // Between the version 4 and the legacy 16-bit Lab encodings.
    static void Lab16V4toV2(const uint16* src, uint16* dst, int count, int srcStride = 0,
                            int dstStride = 0);
    static void Lab16V4toV2(const rfloat* src, rfloat* dst, int count, int srcStride = 0,
                            int dstStride = 0);
    // One legacy 16-bit Lab value in the version 4 encoding.
    static uint16 labV2toV4(uint16 v) {
        return v > 65280 ? uint16{65535} : static_cast<uint16>((v * 65792u + 32768u) >> 16);
    }
    static void Lab16V2toV4(const uint16* src, uint16* dst, int count, int srcStride = 0,
                            int dstStride = 0);
    static void Lab16V2toV4(const rfloat* src, rfloat* dst, int count, int srcStride = 0,
                            int dstStride = 0);

    // Scales each channel of XYZ16 by a 16.16 fixed-point factor, saturating at 65535.
    static void scaleXYZ16(const uint16* src, uint16* dst, int count, std::uint32_t kX,
                           std::uint32_t kY, std::uint32_t kZ, int srcStride = 0,
                           int dstStride = 0);
    // Multiplies channel c by its factor, without clamping.
    static void scaleXYZ(const rfloat* src, rfloat* dst, int count, double k0, double k1, double k2,
                         int srcStride = 0, int dstStride = 0);
    static void scaleXYZ(const rfloat* const src[3], rfloat* const dst[3], int count, double k0,
                         double k1, double k2);

    // Maps XYZ16 linearly so that the black of luminance inputBlackY (XYZ16 units, chromaticity of
    // the PCS white) goes to the black of outputBlackY while the PCS white stays where it is.
    static void scaleBlackXYZ16(const rfloat* src, rfloat* dst, int count, double inputBlackY,
                                double outputBlackY, int srcStride = 0, int dstStride = 0);
    static void scaleBlackXYZ16(const rfloat* const src[3], rfloat* const dst[3], int count,
                                double inputBlackY, double outputBlackY);
    // The `uint16` form clamps to 0..65535 and truncates.
    static void scaleBlackXYZ16(const uint16* src, uint16* dst, int count, double inputBlackY,
                                double outputBlackY, int srcStride = 0, int dstStride = 0);

    // The lookup tables of the `uint16` path, built on first use (exposed for inspection).
    static const uint16* inverseXTable();
    static const uint16* inverseYTable();
    static const uint16* inverseZTable();
    static const std::uint32_t* forwardTable();
};
