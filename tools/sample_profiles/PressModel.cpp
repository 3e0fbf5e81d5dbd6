#include "PressModel.h"

#include <cmath>

namespace {

constexpr unsigned start = 380, step = 10, count = 36;

// Order in which the inks go down: black, cyan, magenta, yellow.
constexpr int printOrder[4] = {3, 0, 1, 2};
// Dot gain at 50 % coverage per ink (cyan, magenta, yellow, black).
constexpr double dotGain[4] = {0.14, 0.14, 0.13, 0.17};
// Share of an ink film that sticks on top of an earlier ink (wet-on-wet trapping).
constexpr double trapping = 0.85;
// Yule-Nielsen factor of coated paper.
constexpr double yuleNielsen = 1.8;

double logistic(double x) { return 1.0 / (1.0 + std::exp(-x)); }

csSpectrum sampled(double (*f)(double)) {
    csSpectrum s(nullptr, count, start, step);
    for (unsigned k = 0; k < count; ++k)
        s[k] = static_cast<float>(f(start + k * step));
    return s;
}

// Coated paper with a little optical brightener: slightly warm but bright.
double paperReflectance(double nm) {
    return 0.885 - 0.06 * logistic((430 - nm) / 12) + 0.01 * (nm - 550) / 180;
}
double clip(double t) { return t < 0.02 ? 0.02 : t > 1 ? 1 : t; }

// Transmittances of one ink film. Cyan absorbs red, and some green.
double cyan(double nm) {
    return clip(1 - 0.85 * logistic((nm - 585) / 20) -
                0.30 * std::exp(-std::pow((nm - 600) / 70, 2)) - 0.15);
}
// Magenta absorbs green, with a shoulder in the blue.
double magenta(double nm) {
    return clip(1 - 0.95 * std::exp(-std::pow((nm - 545) / 48, 2)) -
                0.6 * std::exp(-std::pow((nm - 450) / 30, 2)) - 0.03);
}
// Yellow absorbs blue.
double yellow(double nm) {
    return clip(1 - 0.92 * logistic((490 - nm) / 14) -
                0.04 * std::exp(-std::pow((nm - 510) / 20, 2)));
}
// Black is almost neutral, a little bluish.
double black(double nm) { return 0.13 + 0.004 * (nm - 380) / 350; }

// Light reflected at the ink's surface before it enters the layers.
constexpr double surfaceReflection = 0.008;

double gained(double area, double gain) { return area + 4 * gain * area * (1 - area); }

} // namespace

PressModel::PressModel()
    : paper_(sampled(paperReflectance)), inks_{sampled(cyan), sampled(magenta), sampled(yellow),
                                               sampled(black)} {}

std::array<double, 3> PressModel::xyz(double c, double m, double y, double k) const {
    const double coverage[4] = {gained(c, dotGain[0]), gained(m, dotGain[1]), gained(y, dotGain[2]),
                                gained(k, dotGain[3])};
    // Demichel: each of the 16 combinations of inks covers the product of the areas.
    csSpectrum mixed(nullptr, count, start, step);
    for (unsigned combination = 0; combination < 16; ++combination) {
        double weight = 1;
        for (int ink = 0; ink < 4; ++ink)
            weight *= (combination >> ink & 1) ? coverage[ink] : 1 - coverage[ink];
        if (weight == 0)
            continue;
        for (unsigned s = 0; s < count; ++s) {
            double reflectance = paper_[s];
            bool covered = false;
            for (int position = 0; position < 4; ++position) {
                const int ink = printOrder[position];
                if (!(combination >> ink & 1))
                    continue;
                // Light crosses the film on its way in and again on its way out.
                double transmittance = inks_[ink][s] * inks_[ink][s];
                if (covered) // a thinner film where it lands on earlier ink
                    transmittance = 1 - trapping * (1 - transmittance);
                reflectance *= transmittance;
                covered = true;
            }
            mixed[s] += static_cast<float>(weight * std::pow(reflectance, 1 / yuleNielsen));
        }
    }
    for (unsigned s = 0; s < count; ++s)
        mixed[s] = static_cast<float>(std::pow(mixed[s], yuleNielsen) + surfaceReflection);
    double X, Y, Z;
    context_.spectrumToXYZ(mixed, &X, &Y, &Z);
    return {X, Y, Z};
}
