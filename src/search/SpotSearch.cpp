#include "SpotSearch.h"

#include "DeviceToLab.h"
#include "ResultFigures.h"
#include "VariationOptimizer.h"
#include "csAssert.h"
#include "csTypes.h"

#include <algorithm>
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

namespace {

// An optimizer's result (percent) as the device fields show it, and the colour of that.
void show(csColorConverter& converter, Signature colourSpace, bool xyzPcs, double device[4],
          double achieved[3]) {
    if (deviceValuesAreBytes(colourSpace))
        for (int c = 0; c < 3; ++c)
            device[c] *= 2.55;
    for (int c = 0; c < 4; ++c)
        device[c] = displayedValue(device[c]);
    deviceToLab(converter, colourSpace, xyzPcs, device, achieved);
}

} // namespace

SpotSearchResult searchSpotColour(SearchWorkspace& workspace, csColorConverter& converter,
                                  Signature colourSpace, bool xyzPcs, const csContext& context,
                                  const double reference[3], const SearchPreferences& preferences) {
    VariationOptimizer& optimizer = workspace.optimizer;
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
    if (!result.outOfGamut) {
        show(converter, colourSpace, xyzPcs, dev, result.achieved);
        return result;
    }
    double again[3] = {reference[0], reference[1], reference[2]};
    optimizer.searchDeviceValues(converter, context, dev, again, w.L, w.C, w.H, method, xyzPcs);
    show(converter, colourSpace, xyzPcs, dev, result.achieved);

    // The same pass from the grid point nearest the reference; its answer replaces the first
    // only when, as shown, it is strictly nearer.
    const DistanceColour wanted =
        distanceColour(method, context, reference[0], reference[1], reference[2]);
    double start[4];
    if (!workspace.starts.bestPoint(converter, xyzPcs, preferences.black, context, wanted, method,
                                    w.L, w.C, w.H, start))
        return result;
    double fromGrid[3] = {reference[0], reference[1], reference[2]};
    optimizer.searchDeviceValues(converter, context, start, fromGrid, w.L, w.C, w.H, method,
                                 xyzPcs);
    double achieved[3];
    show(converter, colourSpace, xyzPcs, start, achieved);
    const auto distance = [&](const double lab[3]) {
        return searchDistance(
            method, wanted, distanceColour(method, context, lab[0], lab[1], lab[2]), w.L, w.C, w.H);
    };
    if (distance(achieved) < distance(result.achieved)) {
        std::copy(start, start + 4, dev);
        std::copy(achieved, achieved + 3, result.achieved);
    }
    return result;
}
