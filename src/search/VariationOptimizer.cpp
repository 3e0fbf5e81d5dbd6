#include "VariationOptimizer.h"

#include "DeviceToLab.h"
#include "csColorConverter.h"
#include "csTypes.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr double noDistance = 1000000000.0;

} // namespace

void VariationOptimizer::setBounds(const DeviceBounds& bounds) {
    bounds_ = bounds;
    capacity_ = 1;
    for (int c = 0; c < 3; ++c)
        capacity_ *= bounds.searched[c] ? 3 : 1;
    capacity_ += bounds.searched[3] ? 6 : 0;
}

void VariationOptimizer::addVariation(double s0, double s1, double s2, double s3) {
    if (count_ >= capacity_) {
        std::fprintf(stderr, "too many variations!\n");
        std::exit(1);
    }
    const double step[4] = {s0, s1, s2, s3};
    double c[4], moved[4], total = 0;
    for (int k = 0; k < 4; ++k) {
        c[k] = point_[k] + step[k];
        moved[k] = step[k];
        if (c[k] < 0 || c[k] > bounds_.top[k]) {
            if (!clampToRange_)
                return; // outside the device range
            c[k] = c[k] < 0 ? 0 : bounds_.top[k];
            moved[k] = c[k] - point_[k];
            if (moved[k] == 0)
                return; // the same as the candidate without this channel's step
        }
        total += c[k];
    }
    if (bounds_.inkLimit > 0 && total > bounds_.inkLimit)
        return; // more ink than the press takes
    Variation& entry = table_[count_];
    for (int k = 0; k < 4; ++k) {
        entry.step[k] = moved[k];
        input_[count_][k] = toSingle(c[k]);
    }
    ++count_;
}

double VariationOptimizer::searchDeviceValues(csColorConverter& converter, const csContext& context,
                                              double dev[4], double reference[3], double wL,
                                              double wC, double wH, int method, bool xyzPcs,
                                              const PassSteps& steps) {
    const DistanceColour target =
        distanceColour(method, context, reference[0], reference[1], reference[2]);
    clampToRange_ = steps.clampToRange;
    for (int k = 0; k < 4; ++k)
        point_[k] = dev[k] * percentTo16;
    double step = steps.first;
    int iterations = 0;
    moved_ = stoppedMoving_ = false;
    int end = 0; // the table entry of the end point
    const auto range = [this](int channel) { return bounds_.searched[channel] ? 1 : 0; };

    while (true) {
        count_ = 0;
        addVariation(0, 0, 0, 0);
        for (int i = -range(0); i <= range(0); ++i)
            for (int j = -range(1); j <= range(1); ++j)
                for (int k = -range(2); k <= range(2); ++k)
                    for (int l = -range(3); l <= range(3); ++l)
                        // Black moves alone, or with C, M and Y all the other way (replacing
                        // them) or all the same way.
                        if ((i != 0 || j != 0 || k != 0 || l != 0) &&
                            (l == 0 || (i == j && j == k)))
                            addVariation(i * step, j * step, k * step, l * step);

        // Rows of four device values and three PCS values; a converter that cannot work in
        // them ends the search without a distance.
        if (converter.outputChannels() != 3 ||
            converter.convert(input_[0], output_[0], count_, 4, 3) != 0) {
            for (int k = 0; k < 3; ++k)
                reference[k] = std::numeric_limits<double>::quiet_NaN();
            return std::numeric_limits<double>::quiet_NaN();
        }
        pcsToLab(output_[0], count_, xyzPcs);

        int best = 0;
        double bestDistance = noDistance;
        for (int n = 0; n < count_; ++n) {
            Variation& entry = table_[n];
            entry.colour =
                distanceColour(method, context, output_[n][0], output_[n][1], output_[n][2]);
            entry.distance = searchDistance(method, target, entry.colour, wL, wC, wH);
            if (entry.distance < bestDistance) { // the earlier entry wins a tie
                bestDistance = entry.distance;
                best = n;
            }
        }

        if (best != 0) {
            for (int k = 0; k < 4; ++k)
                point_[k] += table_[best].step[k];
            end = best;
            moved_ = true;
            if (++iterations >= steps.iterations) {
                stoppedMoving_ = true;
                break;
            }
            continue;
        }
        end = 0;
        step /= 2;
        if (step < steps.last / 2)
            break;
        if (++iterations >= steps.iterations)
            break;
    }

    nextStep_ = step;
    for (int k = 0; k < 4; ++k)
        dev[k] = point_[k] / percentTo16;
    if (count_ == 0)
        return noDistance; // a start point outside the device range, and no neighbour inside
    for (int c = 0; c < 3; ++c)
        reference[c] = table_[end].colour.v[c];
    return table_[end].distance;
}
