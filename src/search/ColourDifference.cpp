#include "ColourDifference.h"

#include "csContext.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.141592653589793;
constexpr double pow25To7 = 6103515625.0; // 25^7

double pow7(double x) {
    const double x2 = x * x;
    return x2 * x2 * x2 * x;
}

} // namespace

double sinDeg(double degrees) { return std::sin(degrees / 180 * pi); }

double cosDeg(double degrees) { return std::cos(degrees / 180 * pi); }

double deltaE2000(double L1, double a1, double b1, double L2, double a2, double b2, double kL,
                  double kC, double kH) {
    const double C1 = std::sqrt(a1 * a1 + b1 * b1);
    const double C2 = std::sqrt(a2 * a2 + b2 * b2);
    const double Cg = std::sqrt(C1 * C2);
    const double G = 1 + 0.5 * (1 - std::sqrt(pow7(Cg) / (pow7(Cg) + pow25To7)));
    const double a1p = G * a1, a2p = G * a2;
    const double C1p = std::sqrt(a1p * a1p + b1 * b1);
    const double C2p = std::sqrt(a2p * a2p + b2 * b2);
    // atan2(0, 0) is 0, so a neutral colour has hue 0.
    double h1p = std::atan2(b1, a1p) * 180 / pi;
    if (h1p < 0)
        h1p += 360;
    double h2p = std::atan2(b2, a2p) * 180 / pi;
    if (h2p < 0)
        h2p += 360;

    const double D = std::abs(h1p - h2p);
    const double meanHue = D <= 180 ? (h1p + h2p) / 2 : (h1p + h2p + 360) / 2;
    const double T = 1 - 0.17 * cosDeg(meanHue - 30) + 0.24 * cosDeg(2 * meanHue) +
                     0.32 * cosDeg(3 * meanHue + 6) - 0.20 * cosDeg(4 * meanHue - 63);
    double dh = h2p - h1p;
    if (D > 180)
        dh = h2p <= h1p ? h2p - h1p + 360 : h2p - h1p - 360;
    const double dHp = 2 * std::sqrt(C1p * C2p) * sinDeg(dh / 2);

    const double meanL = (L1 + L2) / 2;
    const double l50 = (meanL - 50) * (meanL - 50);
    const double SL = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    const double meanCp = (C1p + C2p) / 2;
    const double SC = 1 + 0.045 * meanCp;
    const double SH = 1 + 0.015 * meanCp * T;
    const double dTheta = 30 * std::exp(-((meanHue - 275) / 25) * ((meanHue - 275) / 25));
    const double RT = -2 * std::sqrt(pow7(meanCp) / (pow7(meanCp) + pow25To7)) * sinDeg(2 * dTheta);

    const double tL = kL * (L2 - L1) / SL;
    const double tC = kC * (C2p - C1p) / SC;
    const double tH = kH * dHp / SH;
    return std::sqrt(tL * tL + tC * tC + tH * tH + RT * tC * tH);
}

DistanceColour distanceColour(int method, const csContext& context, double L, double a, double b) {
    if (method == 3) {
        float J, ac, bc, C;
        context.labToJab(toSingle(L), toSingle(a), toSingle(b), &J, &ac, &bc, &C);
        return {{J, ac, bc}, C};
    }
    return {{L, a, b}, std::sqrt(a * a + b * b)};
}

void distanceColours(int method, const csContext& context, const double* lab, int count,
                     DistanceColour* out) {
    if (method != 3) {
        for (int i = 0; i < count; ++i, lab += 3)
            out[i] = distanceColour(method, context, lab[0], lab[1], lab[2]);
        return;
    }
    // In parts of a fixed size, so that nothing is allocated.
    constexpr int part = 64;
    float in[3 * part], jab[3 * part], chroma[part];
    for (int done = 0; done < count; done += part) {
        const int n = std::min(part, count - done);
        for (int k = 0; k < 3 * n; ++k)
            in[k] = toSingle(lab[3 * done + k]);
        context.labToJab(in, n, jab, chroma);
        for (int i = 0; i < n; ++i)
            out[done + i] = {{jab[3 * i], jab[3 * i + 1], jab[3 * i + 2]}, chroma[i]};
    }
}

double searchDistance(int method, const DistanceColour& reference, const DistanceColour& candidate,
                      double wL, double wC, double wH) {
    if (method == 2)
        return deltaE2000(reference.v[0], reference.v[1], reference.v[2], candidate.v[0],
                          candidate.v[1], candidate.v[2], wL, wC, wH);
    const double meanChroma = method == 1 ? std::sqrt(reference.chroma * candidate.chroma) : 0;
    return std::sqrt(searchDistanceSquared(method, reference, candidate, meanChroma, wL, wC, wH));
}

double totalDifference(int method, const double reference[3], const double achieved[3],
                       const csContext& context) {
    const double dL = achieved[0] - reference[0];
    const double da = achieved[1] - reference[1];
    const double db = achieved[2] - reference[2];
    const double Cref = std::sqrt(reference[1] * reference[1] + reference[2] * reference[2]);
    const double Cach = std::sqrt(achieved[1] * achieved[1] + achieved[2] * achieved[2]);
    const double dC = Cach - Cref;
    const double dE = std::sqrt(dL * dL + da * da + db * db);
    const double radicand = dE * dE - dC * dC - dL * dL;
    const double dH = radicand >= 0 ? std::sqrt(radicand) : 0;
    switch (method) {
    case 1: {
        const double Cg = std::sqrt(Cref * Cach);
        const double SC = 1 + 0.045 * Cg;
        const double SH = 1 + 0.015 * Cg;
        return std::sqrt(dL * dL + dC * dC / (SC * SC) + dH * dH / (SH * SH));
    }
    case 2:
        return deltaE2000(reference[0], reference[1], reference[2], achieved[0], achieved[1],
                          achieved[2], 1, 1, 1);
    case 3: {
        const DistanceColour r =
            distanceColour(3, context, reference[0], reference[1], reference[2]);
        const DistanceColour s = distanceColour(3, context, achieved[0], achieved[1], achieved[2]);
        const double dJ = s.v[0] - r.v[0], dac = s.v[1] - r.v[1], dbc = s.v[2] - r.v[2];
        return std::sqrt(dJ * dJ + dac * dac + dbc * dbc);
    }
    default:
        return dE;
    }
}

std::string differenceLabel(int method) {
    static const char* const suffixes[] = {"E", "E94", "E00", "JCh"};
    if (method < 0 || method > 3)
        return {};
    return std::string("\u0394") + suffixes[method];
}
