#include "SpotSearch.h"

#include "DeviceToLab.h"
#include "ResultFigures.h"
#include "VariationOptimizer.h"
#include "csAssert.h"
#include "csTypes.h"

#include <charconv>
#include <string>

SearchWeights searchWeights(int strength, int priority, int preserve) {
    CS_ASSERT(priority >= 0 && priority < 5);
    static const double first[5] = {0.25, 0.5, 1.0, 1.0, 1.0};
    static const double second[5] = {1.0, 1.0, 1.0, 0.5, 0.25};
    const double A = first[priority], B = second[priority];
    // Computed in single precision; exact for these values.
    const double P = toSingle(2.0f * toSingle(strength) + 2.0f);
    switch (preserve) {
    case 0:
        return {A, B, P};
    case 1:
        return {A, P, B};
    case 2:
        return {P, A, B};
    default:
        return {1, 1, 1};
    }
}

double displayedValue(double value) {
    const std::string text = fieldText(value, 2);
    double shown = value;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

SpotSearchResult searchSpotColour(VariationOptimizer& optimizer, csColorConverter& converter,
                                  Signature colourSpace, bool xyzPcs, const csContext& context,
                                  const double reference[3], const SearchPreferences& preferences) {
    const SearchWeights w =
        searchWeights(preferences.strength, preferences.priority, preferences.preserve);
    const int method = preferences.method >= 1 && preferences.method <= 3 ? preferences.method : 0;

    SpotSearchResult result{};
    double* dev = result.device;
    dev[0] = dev[1] = dev[2] = 0;
    dev[3] = preferences.black;
    double target[3] = {reference[0], reference[1], reference[2]};
    result.gamutDistance =
        optimizer.searchDeviceValues(converter, context, dev, target, 1, 1, 1, 0, xyzPcs);
    // Not-a-number fails the comparison and counts as out of gamut.
    result.outOfGamut = !(result.gamutDistance < gamutTolerance);
    if (result.outOfGamut) {
        double again[3] = {reference[0], reference[1], reference[2]};
        optimizer.searchDeviceValues(converter, context, dev, again, w.L, w.C, w.H, method, xyzPcs);
    }
    if (deviceValuesAreBytes(colourSpace))
        for (int c = 0; c < 3; ++c)
            dev[c] *= 2.55;
    for (int c = 0; c < 4; ++c)
        dev[c] = displayedValue(dev[c]);
    deviceToLab(converter, colourSpace, xyzPcs, dev, result.achieved);
    return result;
}
