#pragma once

#include "ColourDifference.h"

class csColorConverter;
class csContext;

// One percent of a device channel on the optimizer's 16-bit scale.
constexpr double percentTo16 = 655.35;

// How a pass steps: from `first` (16-bit units), halving after every iteration without a better
// neighbour, until that happens with a step below `last` or `iterations` have passed. With
// clampToRange, a candidate outside 0..65535 is moved onto the nearest face of the device cube
// instead of dropped, unless the point is on that face already (it would repeat another candidate).
// The passes of the search keep the defaults.
struct PassSteps {
    double first = 65535.0;
    double last = 0.5;
    bool clampToRange = false;
    int iterations = 100; // the cap
};

// Where the passes may go: the channels they step (the others keep their start values), each
// channel's highest value and the most the four may add up to (16-bit units; 0, no limit). The
// defaults step C, M and Y anywhere in the device cube, as the search always has.
struct DeviceBounds {
    bool searched[4] = {true, true, true, false};
    double top[4] = {65535, 65535, 65535, 65535};
    double inkLimit = 0;
};

// A pattern search for the device values whose colour lies closest to a reference. Around the
// current point (16-bit units) it converts the point and its neighbours inside the bounds: +-step
// in the searched channels of C, M and Y (26 for all three), and when black is searched, black at
// +-step alone and with all of C, M and Y the other way or the same way. It moves to the best
// neighbour when one is strictly better, and halves the step when none is, as PassSteps says (by
// default until the step is below 0.5 or 100 iterations have passed). Channels not searched keep
// their start values. All storage is fixed: a search allocates nothing, and one optimizer must
// not run two searches at once.
class VariationOptimizer {
public:
    // The table holds the point and its neighbours: 27 when C, M and Y are searched, six more
    // when black is too.
    static constexpr int maxVariations = 33;

    // The bounds of the searches that follow; the defaults until this is called.
    void setBounds(const DeviceBounds& bounds);

    // dev: in, the start point in percent; out, the result in percent.
    // reference: in, L*, a*, b*; out, the colour of the result (J, a_c, b_c for method 3).
    // Returns the result's distance (searchDistance with the given weights and method), or
    // not-a-number with dev unchanged when the converter refuses the search's pixels.
    // converter: a prepared device-to-PCS converter; xyzPcs when its PCS is XYZ.
    double searchDeviceValues(csColorConverter& converter, const csContext& context, double dev[4],
                              double reference[3], double wL, double wC, double wH, int method,
                              bool xyzPcs, const PassSteps& steps = {});

    // Appends the current point plus the step as a candidate, unless it leaves the bounds; one
    // candidate more than the searched channels allow (a 28th with three) ends the process ("too
    // many variations!", exit code 1).
    void addVariation(double s0, double s1, double s2, double s3);

    // Of the last search: whether it moved from its start; whether the iteration cap ended it
    // right after a move to a better point; the step a continuation of it would take first.
    bool moved() const { return moved_; }
    bool stoppedMoving() const { return stoppedMoving_; }
    double nextStep() const { return nextStep_; }

    // The candidates of the last iteration, for tests.
    int variationCount() const { return count_; }
    const double* candidate(int n) const { return now().input[n]; }

private:
    struct Variation {
        double step[4];
        DistanceColour colour;
        double distance;
    };
    // One iteration's candidates: their steps, colours and distances, their inputs (16-bit
    // scale, single precision), per candidate its offset from the point in steps (-1, 0 or +1
    // per channel, packed), and per offset the entry there (-1, none).
    struct Iteration {
        Variation table[maxVariations];
        double input[maxVariations][4];
        int at[maxVariations];
        int entryAt[81];
    };

    // addVariation's work, inline in the search's loop.
    inline void add(double s0, double s1, double s2, double s3);
    // The saved entry of the previous iteration that candidate n repeats (the same inputs), or
    // -1: shift is the last move in whole steps (null when it moved otherwise or did not move).
    int earlier(int n, const int* shift) const;

    DeviceBounds bounds_;
    int capacity_ = 27;
    double point_[4] = {};
    // This iteration and the previous one, kept so that candidates it already converted (the
    // same inputs, a third of them or more after a move) are not converted and measured again;
    // they change places after every iteration.
    Iteration iterations_[2] = {};
    int now_ = 0; // of iterations_, this iteration's
    Iteration& now() { return iterations_[now_]; }
    const Iteration& now() const { return iterations_[now_]; }
    const Iteration& saved() const { return iterations_[1 - now_]; }
    double output_[maxVariations][3] = {};
    int count_ = 0;
    bool haveSaved_ = false;
    // The candidates to convert this iteration, and where each goes in the table.
    double missInput_[maxVariations][4] = {};
    int missEntry_[maxVariations] = {};
    bool clampToRange_ = false;
    bool moved_ = false;
    bool stoppedMoving_ = false;
    double nextStep_ = 0;
};
