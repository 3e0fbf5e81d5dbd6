#include "ResultFigures.h"

#include "ColourDifference.h"
#include "csCIEConstants.h"

#include <charconv>
#include <cmath>

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
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    // The exact decimal expansion (no double has more than 1074 fractional digits), written
    // without the locale, then cut by hand: a tie cannot be told from a near-tie once the
    // conversion itself has rounded.
    char exact[1500];
    const auto [end, error] = std::to_chars(exact, exact + sizeof exact, std::fabs(value),
                                            std::chars_format::fixed, 1074);
    if (error != std::errc())
        return "nan";
    std::string digits(exact, end);
    const std::size_t point = digits.find('.');
    std::string kept = digits.substr(0, point + (decimals > 0 ? 1 + decimals : 0));
    if (digits[point + 1 + decimals] >= '5') {
        // Halves and above go away from zero: carry from the last kept digit.
        std::size_t i = kept.size();
        while (i-- > 0) {
            if (kept[i] == '.')
                continue;
            if (kept[i] != '9') {
                ++kept[i];
                break;
            }
            kept[i] = '0';
        }
        if (i == static_cast<std::size_t>(-1))
            kept.insert(kept.begin(), '1');
    }
    // A negative value keeps its sign even where it rounds to zero; negative zero has none.
    return value < 0 ? "-" + kept : kept;
}

std::string deltaText(double value) {
    const std::string text = fieldText(value, 1);
    return text == "-0.0" ? "0.0" : text;
}

BandColour differenceColour(double value) {
    // Each band up to and including its end.
    static const struct {
        double end;
        BandColour colour;
    } bands[] = {{0.1, {192, 255, 192}}, {1, {224, 255, 192}}, {2, {255, 255, 192}},
                 {3, {255, 224, 192}},   {4, {255, 192, 192}}, {5, {255, 128, 128}}};
    const double d = std::abs(value);
    for (const auto& band : bands)
        if (d <= band.end)
            return band.colour;
    return {255, 64, 64}; // also for not a number
}

bool withinTolerance(double total, double tolerance) {
    const std::string text = deltaText(total);
    double shown = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), shown);
    return error == std::errc() && end == text.data() + text.size() && shown <= tolerance;
}
