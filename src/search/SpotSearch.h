#pragma once

#include "Signature.h"
#include "StartGrid.h"
#include "VariationOptimizer.h"

class csColorConverter;
class csContext;

// How a CMYK answer's black is chosen: at the "black generation" value; the least, or the most,
// black among the answers whose total difference is within blackLatitude of the best reachable;
// or searched like the other channels.
enum class BlackGeneration { Fixed, Minimum, Maximum, Free };

constexpr double blackLatitude = 0.5;

// What a press can print, in percent. The defaults constrain nothing.
struct PressConstraints {
    double inkLimit = 0;     // the most the channels of a CMYK or CMY answer add up to; 0, none
    double blackLimit = 100; // the most black of a CMYK answer
    BlackGeneration black = BlackGeneration::Fixed;
    // A locked channel's value, as its device field shows it (percent, or 0..255 for RGB); a
    // negative value leaves the channel to the search. A locked black is the fixed black.
    double locks[4] = {-1, -1, -1, -1};
};

// The search preferences as the window's controls hold them.
struct SearchPreferences {
    int strength = 2; // "strength" slider, 0..4: the preserved component's weight is 2s + 2
    int priority = 2; // "then emphasize" slider, 0..4
    int preserve = 0; // "first preserve": 0 hue angle, 1 chroma, 2 lightness, 3 no preference
    double black = 0; // "black generation", percent: the fixed fourth device value
    int method = 3;   // colour-difference method, 0..3
    PressConstraints press;
};

struct SearchWeights {
    double L, C, H;
};

// The weights of the second pass. The preserved component gets 2 x strength + 2; the other two
// get the priority's pair (A to the first, B to the second in the order L, C, H). "No preference"
// or an index outside 0..2 weighs all three 1. priority must be 0..4.
SearchWeights searchWeights(int strength, int priority, int preserve);

// A first pass that ends farther than this (Delta E*ab) from the reference is out of gamut.
constexpr double gamutTolerance = 0.02;

struct SpotSearchResult {
    // As the device fields show them: two decimals, percent or (RGB) 0..255; the fourth is the
    // black value.
    double device[4];
    // The colour of those shown values, L*, a*, b*.
    double achieved[3];
    bool outOfGamut;
    // The first pass's plain Delta E*ab.
    double gamutDistance;
    // Out of gamut, the shown answer is near-neutral (C* below nearNeutralChroma) though the
    // reference is chromatic (C* at least chromaticReference): under some weighted methods,
    // CIEDE2000 above all, the nearest colour to a vivid reference can be a grey, and the user is
    // told so.
    bool nearNeutral;
    // The sum of the shown device values of a CMYK or CMY answer, percent (0 for RGB).
    double coverage;
};

constexpr double nearNeutralChroma = 1.0;
constexpr double chromaticReference = 5.0;

// The note that goes with a near-neutral answer, in the window and the command line.
constexpr const char* nearNeutralNote = "Nearest is near-neutral";

// What the locked channels and a fixed black of a CMYK or CMY answer take of its ink, percent:
// no answer can have less coverage.
double inkTaken(const SearchPreferences& preferences, bool cmyk);

// What one caller's searches keep: the optimizer's fixed storage and the start grid's colours,
// which depend only on the converter's preparation, the black value and the PCS, so a result
// never depends on earlier searches. A workspace must not run two searches at once.
struct SearchWorkspace {
    VariationOptimizer optimizer;
    // One grid per black level: the fixed black, or three levels when black is searched.
    StartGrid starts[3];
};

// One search as a change of reference or preference triggers it: the gamut test from zero device
// values and the black value; for a reference it cannot reach, a second pass with the
// preferences' weights and method from the gamut test's result, the same pass from the start
// grid's nearest local minima, and a last one along a face of the device cube that the best
// answer ends just short of; then the device values as shown, of whichever answer ends nearest
// the reference once shown, and their colour.
// converter: the output profile's prepared device-to-PCS converter.
SpotSearchResult searchSpotColour(SearchWorkspace& workspace, csColorConverter& converter,
                                  Signature colourSpace, bool xyzPcs, const csContext& context,
                                  const double reference[3], const SearchPreferences& preferences);

// A value as a field with two decimals holds it once the text is read back (fieldText's rounding,
// read without the locale).
double displayedValue(double value);
