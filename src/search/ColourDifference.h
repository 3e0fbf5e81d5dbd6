#pragma once

#include <cmath>
#include <string>

class csContext;

// The four colour-difference methods of the "method" combo box, by index:
//   0  CIE 1976 (Delta E*ab)   1  CIE 1994 style   2  CIEDE2000 style   3  CIECAM02 (J, a_c, b_c)
// Any other index behaves as 0.

// Sine and cosine of an angle in degrees.
double sinDeg(double degrees);
double cosDeg(double degrees);

// The CIEDE2000-style difference of sample (L2, a2, b2) from reference (L1, a1, b1). It departs
// from the published formula on purpose: G uses the geometric mean of the two chromas, the mean
// hue is never brought back below 360, and the weights kL, kC, kH multiply their terms, so a
// larger weight makes that component count more (1, 1, 1 is the unweighted difference).
double deltaE2000(double L1, double a1, double b1, double L2, double a2, double b2, double kL,
                  double kC, double kH);

// A colour as the optimizer ranks it: L*, a*, b* with the chroma of a*, b* for methods 0 to 2,
// and J, a_c, b_c with the appearance model's chroma for method 3.
struct DistanceColour {
    double v[3];
    double chroma;
};

// The ranking form of L*, a*, b* for a method; method 3 maps through the context's appearance
// model, with single-precision inputs.
DistanceColour distanceColour(int method, const csContext& context, double L, double a, double b);

// distanceColour of many colours, L*, a*, b* side by side: the same results, and for method 3
// several colours at a time.
void distanceColours(int method, const csContext& context, const double* lab, int count,
                     DistanceColour* out);

// The weighted distance the optimizer minimises between a reference and a candidate, both in
// the form distanceColour gives for the same method.
double searchDistance(int method, const DistanceColour& reference, const DistanceColour& candidate,
                      double wL, double wC, double wH);

// The square of searchDistance, before its square root, for every method but 2 (CIEDE2000 has no
// such form), with the geometric mean of the two chromas that method 1 weighs by given. Ranks
// candidates as searchDistance does, at less cost.
inline double searchDistanceSquared(int method, const DistanceColour& reference,
                                    const DistanceColour& candidate, double meanChroma, double wL,
                                    double wC, double wH) {
    const double d1 = reference.v[0] - candidate.v[0];
    const double d2 = reference.v[1] - candidate.v[1];
    const double d3 = reference.v[2] - candidate.v[2];
    const double dC = reference.chroma - candidate.chroma;
    double dH2 = (d3 * d3 + d2 * d2 + d1 * d1) - d1 * d1 - dC * dC;
    if (dH2 < 0)
        dH2 = 0;
    if (method == 1) {
        const double SC = 1 + 0.045 * meanChroma;
        const double SH = 1 + 0.015 * meanChroma;
        return wL * wL * d1 * d1 + wC * wC * dC * dC / (SC * SC) + wH * wH * dH2 / (SH * SH);
    }
    return wL * wL * d1 * d1 + wC * wC * dC * dC + wH * wH * dH2;
}

// The unweighted total shown in the results, between reference and achieved L*, a*, b*.
double totalDifference(int method, const double reference[3], const double achieved[3],
                       const csContext& context);

// The total's label for a method, in UTF-8: U+0394 followed by "E", "E94", "E00" or "JCh".
// Empty for any other index, which leaves the label as it was.
std::string differenceLabel(int method);
