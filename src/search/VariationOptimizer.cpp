#include "VariationOptimizer.h"

#include "DeviceToLab.h"
#include "csColorConverter.h"
#include "csTypes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace {

constexpr double noDistance = 1000000000.0;

// A candidate's offset from the point in steps (-1, 0 or +1 per channel), packed as
// 27 (C + 1) + 9 (M + 1) + 3 (Y + 1) + (K + 1), and back.
int pack(int c, int m, int y, int k) { return 27 * (c + 1) + 9 * (m + 1) + 3 * (y + 1) + (k + 1); }
constexpr int atThePoint = 40; // pack(0, 0, 0, 0)
struct Offsets {
    int offset[81][4];
    constexpr Offsets() : offset() {
        for (int at = 0; at < 81; ++at)
            for (int k = 3, rest = at; k >= 0; --k, rest /= 3)
                offset[at][k] = rest % 3 - 1;
    }
};
constexpr Offsets unpacked;

} // namespace

void VariationOptimizer::setBounds(const DeviceBounds& bounds) {
    bounds_ = bounds;
    capacity_ = 1;
    for (int c = 0; c < 3; ++c)
        capacity_ *= bounds.searched[c] ? 3 : 1;
    capacity_ += bounds.searched[3] ? 6 : 0;
}

void VariationOptimizer::addVariation(double s0, double s1, double s2, double s3) {
    add(s0, s1, s2, s3);
}

void VariationOptimizer::add(double s0, double s1, double s2, double s3) {
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
    Iteration& it = now();
    Variation& entry = it.table[count_];
    for (int k = 0; k < 4; ++k) {
        entry.step[k] = moved[k];
        it.input[count_][k] = toSingle(c[k]);
    }
    ++count_;
}

int VariationOptimizer::earlier(int n, const int* shift) const {
    // After a move by whole steps (which keeps the step), the candidate at offset e is the
    // earlier one at e + shift; after any other iteration only the point itself can be one.
    const Iteration& it = now();
    int at = atThePoint;
    if (shift != nullptr) {
        const int* e = unpacked.offset[it.at[n]];
        int moved[4];
        for (int k = 0; k < 4; ++k) {
            moved[k] = e[k] + shift[k];
            if (moved[k] < -1 || moved[k] > 1)
                return -1;
        }
        at = pack(moved[0], moved[1], moved[2], moved[3]);
    } else if (it.at[n] != atThePoint) {
        return -1;
    }
    // The inputs, rounded to single precision, must match exactly.
    const Iteration& before = saved();
    const int e = before.entryAt[at];
    if (e < 0)
        return -1;
    for (int k = 0; k < 4; ++k)
        if (before.input[e][k] != it.input[n][k])
            return -1;
    return e;
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

    // Another reference, weights or method: nothing carries over from an earlier search.
    haveSaved_ = false;
    // Where the point went in the last iteration, in steps per channel; shifted when it moved,
    // and by whole steps.
    int shift[4] = {0, 0, 0, 0};
    bool shifted = false;
    while (true) {
        // The previous iteration's candidates are kept; this one's go in the other place.
        if (haveSaved_)
            now_ = 1 - now_;
        Iteration& it = now();
        count_ = 0;
        const auto candidate = [&](int i, int j, int k, int l) {
            const int before = count_;
            add(i * step, j * step, k * step, l * step);
            if (count_ > before)
                it.at[before] = pack(i, j, k, l);
        };
        candidate(0, 0, 0, 0);
        for (int i = -range(0); i <= range(0); ++i)
            for (int j = -range(1); j <= range(1); ++j)
                for (int k = -range(2); k <= range(2); ++k)
                    for (int l = -range(3); l <= range(3); ++l)
                        // Black moves alone, or with C, M and Y all the other way (replacing
                        // them) or all the same way.
                        if ((i != 0 || j != 0 || k != 0 || l != 0) &&
                            (l == 0 || (i == j && j == k)))
                            candidate(i, j, k, l);

        // Candidates the previous iteration converted keep their colour and distance; the
        // others are converted in rows of four device values and three PCS values. A converter
        // that cannot work in them ends the search without a distance.
        int misses = 0;
        for (int n = 0; n < count_; ++n) {
            const int e = haveSaved_ ? earlier(n, shifted ? shift : nullptr) : -1;
            if (e >= 0) {
                it.table[n].colour = saved().table[e].colour;
                it.table[n].distance = saved().table[e].distance;
                continue;
            }
            std::copy(it.input[n], it.input[n] + 4, missInput_[misses]);
            missEntry_[misses++] = n;
        }
        if (misses > 0) {
            if (converter.outputChannels() != 3 ||
                converter.convert(missInput_[0], output_[0], misses, 4, 3) != 0) {
                for (int k = 0; k < 3; ++k)
                    reference[k] = std::numeric_limits<double>::quiet_NaN();
                return std::numeric_limits<double>::quiet_NaN();
            }
            pcsToLab(output_[0], misses, xyzPcs);
        }
        DistanceColour colours[maxVariations];
        distanceColours(method, context, output_[0], misses, colours);
        for (int m = 0; m < misses; ++m) {
            Variation& entry = it.table[missEntry_[m]];
            entry.colour = colours[m];
            entry.distance = searchDistance(method, target, entry.colour, wL, wC, wH);
        }

        // Where this iteration's candidates are, for the next one.
        std::fill(std::begin(it.entryAt), std::end(it.entryAt), -1);
        for (int n = 0; n < count_; ++n)
            it.entryAt[it.at[n]] = n;
        haveSaved_ = true;

        int best = 0;
        double bestDistance = noDistance;
        for (int n = 0; n < count_; ++n) {
            const Variation& entry = it.table[n];
            if (entry.distance < bestDistance) { // the earlier entry wins a tie
                bestDistance = entry.distance;
                best = n;
            }
        }

        // Whole steps of the move (a clamped one is not), for the next iteration's lookups.
        std::copy(unpacked.offset[it.at[best]], unpacked.offset[it.at[best]] + 4, shift);
        shifted = best != 0;
        for (int k = 0; k < 4; ++k)
            shifted = shifted && it.table[best].step[k] == shift[k] * step;
        if (best != 0) {
            for (int k = 0; k < 4; ++k)
                point_[k] += it.table[best].step[k];
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
        reference[c] = now().table[end].colour.v[c];
    return now().table[end].distance;
}
