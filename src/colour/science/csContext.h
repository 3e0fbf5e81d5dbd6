#pragma once

#include "csCIECAM02.h"
#include "csSpectrum.h"

#include <optional>

// What colorimetry needs to turn spectra and Lab values into each other: a wavelength grid, a
// standard observer, an illuminant, the illuminant-weighted colour-matching functions, the white
// point they give (Y = 100), and a CIECAM02 model adapted to that white.
//
// Illuminant identifiers: 1 D50, 2 A, 3 D65, 4..15 F1..F12, 16 E, 17 D55, 18 D75, 19 B, 20 C,
// 21..35 FL3.1..FL3.15, 36..40 HP1..HP5; 0 for a spectrum given directly, a daylight of any
// temperature or a blackbody. Observers: 0 CIE 1931 2 degree, 1 CIE 1964 10 degree, 2 "DEV".
class csContext {
public:
    // 2 degree observer, D50, grid 380 to 730 nm by 10.
    csContext();
    csContext(int illuminant, int observer);
    // The grid is taken from the spectrum.
    csContext(const csSpectrum& illuminant, int observer);

    // Selection; each ends by updating the weighted functions and the white.
    void setObserver(int kind);
    // "2", "10" or "DEV"; returns 0, or -1 with an error entry, leaving the context as it was.
    int setObserverByName(const char* name);
    void setIlluminant(int id);
    // A name of the table, "D" with a daylight temperature (4000 to 25000 K) or "K" with a
    // blackbody temperature; returns 0, or -1 with an error entry, leaving the context as it was.
    int setIlluminantByName(const char* name);
    void setIlluminantSpectrum(const csSpectrum& spectrum);
    // CIE daylight at correlated colour temperature tc, 4000 to 25000 K.
    void setDaylight(double tc);
    // Planck's law at temperature tc (not below 0), on the context's grid.
    void setBlackbody(double tc);

    // Grid changes; each, when it changes something, rebuilds observer and illuminant on the new
    // grid.
    void setStart(unsigned start);
    void setEnd(unsigned end);
    void setStep(unsigned step);
    void setRange(unsigned start, unsigned end, unsigned step);
    // Widens the grid to cover start..end with a step no coarser than step; nothing when it does.
    void extendRange(unsigned start, unsigned end, unsigned step);

    int observer() const { return observer_; }
    int illuminant() const { return illuminant_; }
    unsigned start() const { return start_; }
    unsigned end() const { return end_; }
    unsigned step() const { return step_; }
    unsigned gridCount() const { return (end_ - start_) / step_ + 1; }

    // The functions on the grid; null until set.
    const csSpectrum* observerFunction(int axis) const;
    const csSpectrum* weightedFunction(int axis) const;
    const csSpectrum* illuminantSpectrum() const;

    double whiteX() const { return white_[0]; }
    double whiteY() const { return white_[1]; }
    double whiteZ() const { return white_[2]; }
    void whiteChromaticity(double* x, double* y) const;
    void whiteUV(double* u, double* v) const;

    // CIE L*a*b* and XYZ relative to the white; f values are rounded to single precision.
    void labToXYZ(float L, float a, float b, float* X, float* Y, float* Z) const;
    void labToXYZ(const float* lab, float* xyz, int count) const;
    void xyzToLab(float X, float Y, float Z, float* L, float* a, float* b) const;
    void xyzToLab(const float* xyz, float* lab, int count) const;
    void xyzToLuv(float X, float Y, float Z, float* L, float* u, float* v) const;

    // Integrals of a reflectance with the weighted functions, or with the plain observer
    // functions when weighted is false.
    void spectrumToXYZ(const csSpectrum& reflectance, double* X, double* Y, double* Z,
                       bool weighted = true) const;
    void spectrumToLab(const csSpectrum& reflectance, float* L, float* a, float* b) const;
    void spectrumToLuv(const csSpectrum& reflectance, float* L, float* u, float* v) const;

    // The appearance model under this context's white.
    void XYZToJCh(float X, float Y, float Z, float* J, float* C, float* h) const;
    void JChToXYZ(float J, float C, float h, float* X, float* Y, float* Z) const;
    // L*a*b* to J, a_c = C cos h, b_c = C sin h, and optionally C and h (any output may be null).
    void labToJab(float L, float a, float b, float* J, float* ac, float* bc, float* C = nullptr,
                  float* h = nullptr) const;
    // The same for many colours, L*a*b* in and J, a_c, b_c out side by side, and C.
    void labToJab(const float* lab, int count, float* jab, float* C) const;
    void jabToLab(float J, float ac, float bc, float* L, float* a, float* b) const;

    csCIECAM02& appearanceModel() { return cam_; }
    const csCIECAM02& appearanceModel() const { return cam_; }

private:
    void update();
    void rebuildOnGrid();
    std::optional<csSpectrum> tableOnGrid(const float* values, unsigned count, unsigned start,
                                          unsigned step) const;

    int observer_ = 0;
    int illuminant_ = 1;
    unsigned start_ = 380;
    unsigned end_ = 730;
    unsigned step_ = 10;
    std::optional<csSpectrum> observerFunctions_[3];
    std::optional<csSpectrum> illuminantSpectrum_;
    std::optional<csSpectrum> weighted_[3];
    double white_[3] = {1, 1, 1};
    csCIECAM02 cam_;
};
