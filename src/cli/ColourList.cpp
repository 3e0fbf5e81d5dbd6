#include "ColourList.h"

#include "csCIEConstants.h"

#include <charconv>
#include <cmath>

namespace {

std::string figure(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

void ColourList::add(const std::string& name, const double lab[3], const std::string& origin) {
    if (!(lab[0] >= 0 && lab[0] <= 100)) {
        skip(origin, "L* " + figure(lab[0]) + " is outside 0..100");
        return;
    }
    for (int k = 1; k < 3; ++k)
        if (!(lab[k] >= -128 && lab[k] <= 128)) {
            skip(origin,
                 std::string(k == 1 ? "a* " : "b* ") + figure(lab[k]) + " is outside -128..128");
            return;
        }
    colours.push_back({name, {lab[0], lab[1], lab[2]}, origin});
}

void ColourList::addLCh(const std::string& name, const double lch[3], const std::string& origin) {
    if (!(lch[1] >= 0 && lch[1] <= 184)) {
        skip(origin, "C* " + figure(lch[1]) + " is outside 0..184");
        return;
    }
    double lab[3];
    lchToLab(lch, lab);
    add(name, lab, origin);
}

void ColourList::addRow(const std::string& name, const std::string* const fields[3], bool lch,
                        const std::string& origin, bool decimalComma) {
    if (name.empty()) {
        skip(origin, "no name");
        return;
    }
    double values[3];
    for (int k = 0; k < 3; ++k)
        if (!parseNumber(*fields[k], values[k], decimalComma)) {
            skip(origin, "'" + *fields[k] + "' is not a number");
            return;
        }
    if (lch)
        addLCh(name, values, origin);
    else
        add(name, values, origin);
}

void lchToLab(const double lch[3], double lab[3]) {
    const double r = lch[2] * csCIE::pi / 180.0;
    const double L = lch[0], a = lch[1] * std::cos(r), b = lch[1] * std::sin(r);
    lab[0] = L, lab[1] = a, lab[2] = b;
}

void xyzToLab(const double xyz[3], const double white[3], double lab[3]) {
    double f[3];
    for (int k = 0; k < 3; ++k)
        f[k] = csCIE::labF(xyz[k] / white[k]);
    lab[0] = 116 * f[1] - 16;
    lab[1] = 500 * (f[0] - f[1]);
    lab[2] = 200 * (f[1] - f[2]);
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool parseNumber(std::string_view text, double& value, bool decimalComma) {
    text = trimmed(text);
    if (text.empty() || text.size() > 64)
        return false;
    std::string copy(text);
    bool digits = false, point = false, exponent = false;
    for (std::size_t i = 0; i < copy.size(); ++i) {
        char& c = copy[i];
        if (c >= '0' && c <= '9')
            digits = true;
        else if ((c == '.' || (decimalComma && c == ',')) && !point && !exponent)
            c = '.', point = true;
        else if ((c == 'e' || c == 'E') && digits && !exponent)
            exponent = true;
        else if ((c == '+' || c == '-') && (i == 0 || copy[i - 1] == 'e' || copy[i - 1] == 'E'))
            continue;
        else
            return false;
    }
    if (!digits)
        return false;
    // Read whatever the locale of the process (a program may set one with a decimal comma).
    const char* begin = copy.c_str() + (copy[0] == '+' ? 1 : 0);
    double parsed = 0;
    const auto [end, error] = std::from_chars(begin, copy.c_str() + copy.size(), parsed);
    if (error != std::errc() || end != copy.c_str() + copy.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
