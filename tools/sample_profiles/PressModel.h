#pragma once

#include "csContext.h"
#include "csSpectrum.h"

#include <array>

// A simple physical model of offset printing on coated paper, used to make the sample profiles:
// spectral ink transmittances over a paper that is not perfect white, dot gain on each ink,
// imperfect trapping of an ink printed onto earlier ones, Demichel's overlap of the dots and
// Yule-Nielsen's light scattering in the paper.
class PressModel {
public:
    PressModel();

    // CIE XYZ (Y of a perfect white 100, D50, 2 degree observer) of ink coverages c, m, y, k in
    // 0..1 as sent to the press (before dot gain).
    std::array<double, 3> xyz(double c, double m, double y, double k) const;
    // The paper's XYZ.
    std::array<double, 3> paper() const { return xyz(0, 0, 0, 0); }

private:
    csContext context_;
    csSpectrum paper_;
    std::array<csSpectrum, 4> inks_; // transmittance of one film, light passing twice
};
