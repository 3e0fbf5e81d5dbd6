#pragma once

#include "ColourDifference.h"

#include <cstdint>
#include <vector>

class csColorConverter;
class csContext;

// The colours of a coarse grid over the device cube (the first three channels, less those held at
// a fixed value; the fourth held at the black value), converted once per converter preparation,
// held values and PCS and kept for every later search. The grid points nearest a reference are
// starts for the optimizer that do not depend on where an earlier pass ended, so they can reach
// other basins of the weighted distance than the passes did.
class StartGrid {
public:
    explicit StartGrid(int pointsPerChannel = 17);

    // Up to `count` grid points (percent) that are nearer the reference, under the weighted
    // distance of the method, than every grid point around them: the grid's local minima, nearest
    // first, ties to the earlier point, with their distances. Returns their number, or 0 when the
    // converter cannot convert the grid.
    // fixed: per channel a value (percent) that every grid point holds, or a negative number for a
    // channel the grid spans; the fourth, black, is always held. A point whose four values add up
    // to more than inkLimit (percent; 0, no limit) is never chosen.
    // The grid's colours are converted only when the converter's preparation, the held values or
    // the PCS differ from the last call's; a converter without a preparation number is converted
    // every time.
    int bestPoints(csColorConverter& converter, bool xyzPcs, const double fixed[4],
                   const csContext& context, const DistanceColour& target, int method, double wL,
                   double wC, double wH, double inkLimit, int count, double (*devices)[4],
                   double* distances);

    int pointsPerChannel() const { return points_; }

private:
    bool fill(csColorConverter& converter, bool xyzPcs, const double fixed[4]);
    // Where point (i, j, l) lies in the grid with a border of one point on every side.
    std::size_t padded(int i, int j, int l) const;
    // The grid's colours in a method's ranking form, a column per component, with the border.
    struct Colours {
        std::vector<double> v[3];
        std::vector<double> chroma, rootChroma;
    };
    const Colours& colours(int method, const csContext& context);

    int points_;
    std::uint64_t preparation_ = 0;
    double fixed_[4] = {};
    bool xyzPcs_ = false;
    bool filled_ = false;
    std::vector<double> lab_;                  // L*, a*, b* of each point, first channel slowest
    Colours byMethod_[2];                      // methods 0 to 2, and method 3
    const csContext* methodContext_ = nullptr; // the context of byMethod_[1]
    std::vector<double> ranks_;                // to the last reference, with the border
    std::vector<std::size_t> minima_;          // the chosen local minima, in ranks_
};
