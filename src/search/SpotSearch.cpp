#include "SpotSearch.h"

#include "BlackExtreme.h"
#include "DeviceToLab.h"
#include "ResultFigures.h"
#include "VariationOptimizer.h"
#include "csAssert.h"
#include "csTypes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

double inkTaken(const SearchPreferences& preferences, bool cmyk) {
    const PressConstraints& press = preferences.press;
    double taken = 0;
    for (int c = 0; c < 3; ++c)
        taken += press.locks[c] >= 0 ? press.locks[c] : 0;
    if (cmyk && press.locks[3] >= 0)
        taken += press.locks[3];
    else if (cmyk && press.black == BlackGeneration::Fixed)
        taken += preferences.black;
    return taken;
}

namespace {

// How many of the start grid's local minima the second pass starts from, besides the gamut
// test's result; how much farther than the best answer so far (as a factor of its weighted
// distance) a grid point may be and still be worth a start; and the iteration cap of a pass from
// a grid point (the one whose answer is kept goes on afterwards if it was still finding better
// points). Measured with bench/tintora_search_quality: starts from points farther away seldom end
// nearer and cost as much as the ones that do, and most passes that lose have lost by then.
constexpr int gridStarts = 2;
constexpr double startReach = 1.2;
constexpr int gridIterations = 30;

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

// A little under the ink limit, percent: the shown values, each rounded to two decimals, then never
// add up to more than the limit.
constexpr double inkMargin = 0.02;

// The second pass and its further starts for a reference out of gamut, from the gamut test's
// result in result.device; leaves the answer, as shown, and its colour in result.
// held: the values (percent) the grid holds, negative for the channels it spans; black is
// searched when blackSearched. method: the preferences' method, 0 for any unknown one. inkLimit:
// percent over the four values, 0 for none.
void searchFurther(SearchWorkspace& workspace, csColorConverter& converter, Signature colourSpace,
                   bool xyzPcs, const csContext& context, const double reference[3],
                   const SearchPreferences& preferences, int method, const double held[4],
                   bool blackSearched, double inkLimit, SpotSearchResult& result) {
    VariationOptimizer& optimizer = workspace.optimizer;
    const SearchWeights w =
        searchWeights(preferences.strength, preferences.priority, preferences.preserve);
    double* dev = result.device;
    double again[3] = {reference[0], reference[1], reference[2]};
    optimizer.searchDeviceValues(converter, context, dev, again, w.L, w.C, w.H, method, xyzPcs);
    // Where each pass ended (percent, before it is shown), and the step it still moved with
    // when its iteration cap stopped it (0 when it finished).
    double ended[gridStarts + 1][4] = {{dev[0], dev[1], dev[2], dev[3]}};
    double unfinished[gridStarts + 1] = {optimizer.stoppedMoving() ? optimizer.nextStep() : 0};
    int ends = 1;
    show(converter, colourSpace, xyzPcs, dev, result.achieved);

    // The same pass from the start grid's nearest local minima (over the grids of every black
    // level when black is searched), its steps starting at one grid cell (a grid minimum is
    // already the best point around it at the grid's spacing) and its iterations capped, unless
    // an earlier pass ended in the grid cell around one or the point is much farther than the
    // answer so far; an answer replaces the one so far only when, as shown, it is strictly nearer.
    const DistanceColour wanted =
        distanceColour(method, context, reference[0], reference[1], reference[2]);
    const auto distance = [&](const double lab[3]) {
        return searchDistance(
            method, wanted, distanceColour(method, context, lab[0], lab[1], lab[2]), w.L, w.C, w.H);
    };
    constexpr int levels = sizeof workspace.starts / sizeof workspace.starts[0];
    double starts[levels * gridStarts][4], gridDistance[levels * gridStarts];
    int found = 0;
    for (int level = 0; level < (blackSearched ? levels : 1); ++level) {
        double fixed[4] = {held[0], held[1], held[2], held[3]};
        if (blackSearched)
            fixed[3] = preferences.press.blackLimit * level / (levels - 1);
        found += workspace.starts[level].bestPoints(converter, xyzPcs, fixed, context, wanted,
                                                    method, w.L, w.C, w.H, inkLimit, gridStarts,
                                                    starts + found, gridDistance + found);
    }
    // The nearest of them, nearest first (the earlier level first among equals).
    int order[levels * gridStarts];
    for (int s = 0; s < found; ++s)
        order[s] = s;
    std::stable_sort(order, order + found,
                     [&](int a, int b) { return gridDistance[a] < gridDistance[b]; });
    found = std::min(found, gridStarts);
    const double cell = 100.0 / (workspace.starts[0].pointsPerChannel() - 1);
    double nearest = distance(result.achieved);
    int nearestEnd = 0; // of ended
    for (int s = 0; s < found; ++s) {
        double* start = starts[order[s]];
        bool covered = false;
        for (int e = 0; e < ends && !covered; ++e)
            covered = std::abs(ended[e][0] - start[0]) <= cell &&
                      std::abs(ended[e][1] - start[1]) <= cell &&
                      std::abs(ended[e][2] - start[2]) <= cell &&
                      std::abs(ended[e][3] - start[3]) <= cell;
        if (covered || !(gridDistance[order[s]] <= startReach * nearest))
            continue;
        double fromGrid[3] = {reference[0], reference[1], reference[2]};
        optimizer.searchDeviceValues(converter, context, start, fromGrid, w.L, w.C, w.H, method,
                                     xyzPcs,
                                     {cell * percentTo16, PassSteps().last, false, gridIterations});
        unfinished[ends] = optimizer.stoppedMoving() ? optimizer.nextStep() : 0;
        std::copy(start, start + 4, ended[ends++]);
        double achieved[3];
        show(converter, colourSpace, xyzPcs, start, achieved);
        const double d = distance(achieved);
        if (d < nearest) {
            nearest = d;
            std::copy(start, start + 4, dev);
            std::copy(achieved, achieved + 3, result.achieved);
            nearestEnd = ends - 1;
        }
    }

    // The pass whose answer is kept goes on when it stopped at its iteration cap, from the step
    // it still moved with. And a pattern search that ends just short of a face of the device cube
    // often cannot reach it: its equal steps in two channels leave the cube and are dropped. From
    // such an end the pass runs once more, its steps starting at one grid cell: first only with
    // the steps long enough to reach the face, and on down to the smallest step only when one of
    // them found a better point. Both move candidates outside the cube onto its faces.
    const double* end = ended[nearestEnd];
    // Percent, from the nearest face the end is not on; an end that the fields show on a face
    // (percent or byte values, two decimals) is on it.
    const double onFace = 0.002;
    double toFace = 100;
    for (int c = 0; c < 4; ++c) {
        const double top = c == 3 ? preferences.press.blackLimit : 100;
        const bool searched = c == 3 ? blackSearched : held[c] < 0;
        if (searched && end[c] > onFace && end[c] < top - onFace)
            toFace = std::min({toFace, end[c], top - end[c]});
    }
    const double goOnFrom = unfinished[nearestEnd];
    if (toFace < cell || goOnFrom > 0) {
        double polished[4] = {end[0], end[1], end[2], end[3]};
        double fromEnd[3] = {reference[0], reference[1], reference[2]};
        const double first = cell * percentTo16;
        double from = std::min(first, goOnFrom);
        if (goOnFrom == 0) {
            optimizer.searchDeviceValues(converter, context, polished, fromEnd, w.L, w.C, w.H,
                                         method, xyzPcs, {first, toFace * percentTo16, true});
            from = optimizer.moved() ? optimizer.nextStep() : 0;
        }
        if (from > 0) {
            std::copy(reference, reference + 3, fromEnd);
            optimizer.searchDeviceValues(converter, context, polished, fromEnd, w.L, w.C, w.H,
                                         method, xyzPcs, {from, PassSteps().last, true});
        }
        double achieved[3];
        show(converter, colourSpace, xyzPcs, polished, achieved);
        if (distance(achieved) < nearest) {
            std::copy(polished, polished + 4, dev);
            std::copy(achieved, achieved + 3, result.achieved);
        }
    }
}

} // namespace

SpotSearchResult searchSpotColour(SearchWorkspace& workspace, csColorConverter& converter,
                                  Signature colourSpace, bool xyzPcs, const csContext& context,
                                  const double reference[3], const SearchPreferences& preferences) {
    VariationOptimizer& optimizer = workspace.optimizer;
    const int method = preferences.method >= 1 && preferences.method <= 3 ? preferences.method : 0;

    // The press constraints as bounds of every pass, and the start of the first.
    const PressConstraints& press = preferences.press;
    const bool cmyk = colourSpace == Signature("CMYK"), bytes = deviceValuesAreBytes(colourSpace);
    const bool blackSearched = cmyk && press.black != BlackGeneration::Fixed && press.locks[3] < 0;
    DeviceBounds bounds;
    double held[4] = {-1, -1, -1, preferences.black}; // percent; negative, searched
    for (int c = 0; c < 3; ++c)
        if (press.locks[c] >= 0) {
            held[c] = bytes ? press.locks[c] / 2.55 : press.locks[c];
            bounds.searched[c] = false;
        }
    if (cmyk) {
        if (press.locks[3] >= 0)
            held[3] = press.locks[3];
        held[3] = std::min(held[3], press.blackLimit);
        bounds.searched[3] = blackSearched;
        bounds.top[3] = press.blackLimit * percentTo16;
    }
    // Kept a little under the limit, so that the shown values, rounded to two decimals, never add
    // up to more; a CMY answer's fourth value (the black value, which the profile does not read)
    // does not count.
    double inkLimit = 0; // percent, over the four values
    if (press.inkLimit > 0 && !bytes)
        inkLimit = press.inkLimit - inkMargin + (cmyk ? 0 : held[3]);
    bounds.inkLimit = inkLimit * percentTo16;
    optimizer.setBounds(bounds);

    SpotSearchResult result{};
    double* dev = result.device;
    for (int c = 0; c < 4; ++c)
        dev[c] = held[c] >= 0 ? held[c] : 0;
    if (blackSearched)
        dev[3] = 0;
    double target[3] = {reference[0], reference[1], reference[2]};
    result.gamutDistance =
        optimizer.searchDeviceValues(converter, context, dev, target, 1, 1, 1, 0, xyzPcs);
    // Not-a-number fails the comparison and counts as out of gamut.
    result.outOfGamut = !(result.gamutDistance < gamutTolerance);
    if (result.outOfGamut)
        searchFurther(workspace, converter, colourSpace, xyzPcs, context, reference, preferences,
                      method, held, blackSearched, inkLimit, result);
    else
        show(converter, colourSpace, xyzPcs, dev, result.achieved);

    // Black as low, or as high, as it goes without the total difference growing by more than
    // the latitude.
    if (blackSearched &&
        (press.black == BlackGeneration::Minimum || press.black == BlackGeneration::Maximum)) {
        const double best = totalDifference(method, reference, result.achieved, context);
        const BlackRoom room{{bounds.searched[0], bounds.searched[1], bounds.searched[2]},
                             press.blackLimit,
                             press.inkLimit};
        const int direction = press.black == BlackGeneration::Minimum ? -1 : 1;
        moveBlack(converter, xyzPcs, context, reference, method, best + blackLatitude, direction,
                  room, dev, result.achieved);
        // The path along equal colour can end at a face of the cube while the end of black's
        // range, with other C, M and Y, is also within the latitude: one pass there with the
        // method's plain difference, from the answer's C, M and Y, looks.
        const double end = direction < 0 ? 0 : press.blackLimit;
        if (dev[3] != end) {
            DeviceBounds atEnd = bounds;
            atEnd.searched[3] = false;
            optimizer.setBounds(atEnd);
            double other[4] = {dev[0], dev[1], dev[2], end}, achieved[3];
            double again[3] = {reference[0], reference[1], reference[2]};
            optimizer.searchDeviceValues(converter, context, other, again, 1, 1, 1, method, xyzPcs);
            show(converter, colourSpace, xyzPcs, other, achieved);
            if (totalDifference(method, reference, achieved, context) <= best + blackLatitude) {
                std::copy(other, other + 4, dev);
                std::copy(achieved, achieved + 3, result.achieved);
            }
        }
    }
    optimizer.setBounds({});

    result.nearNeutral = result.outOfGamut &&
                         std::hypot(result.achieved[1], result.achieved[2]) < nearNeutralChroma &&
                         std::hypot(reference[1], reference[2]) >= chromaticReference;
    if (!bytes)
        for (int c = 0; c < (cmyk ? 4 : 3); ++c)
            result.coverage += dev[c];
    return result;
}
