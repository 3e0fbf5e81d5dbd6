#include "ResultFigures.h"

#include "ColourDifference.h"
#include "csCIEConstants.h"

#include <cmath>
#include <cstdio>

ResultFigures resultFigures(const double reference[3], const double achieved[3], int method,
                            const csContext& context) {
    ResultFigures f{};
    f.L = achieved[0];
    f.a = achieved[1];
    f.b = achieved[2];
    f.C = std::sqrt(f.b * f.b + f.a * f.a);
    f.h = std::atan2(f.b, f.a) * 180 / csCIE::pi;
    if (f.h < -0.04)
        f.h += 360;
    const double referenceC = std::sqrt(reference[2] * reference[2] + reference[1] * reference[1]);
    f.dL = f.L - reference[0];
    f.da = f.a - reference[1];
    f.db = f.b - reference[2];
    f.dC = f.C - referenceC;
    const double dE = std::sqrt(f.dL * f.dL + f.da * f.da + f.db * f.db);
    const double radicand = dE * dE - f.dC * f.dC - f.dL * f.dL;
    f.dH = radicand >= 0 ? std::sqrt(radicand) : 0;
    f.total = totalDifference(method, reference, achieved, context);
    return f;
}

std::string fieldText(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string deltaText(double value) {
    const std::string text = fieldText(value, 1);
    return text == "-0.0" ? "0.0" : text;
}
