#include "StartGrid.h"

#include "DeviceToLab.h"
#include "VariationOptimizer.h"
#include "csColorConverter.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>
#include <limits>

StartGrid::StartGrid(int pointsPerChannel) : points_(pointsPerChannel < 2 ? 2 : pointsPerChannel) {}

bool StartGrid::fill(csColorConverter& converter, bool xyzPcs, const double fixed[4]) {
    const std::uint64_t preparation = converter.preparation();
    if (filled_ && preparation != 0 && preparation == preparation_ &&
        std::equal(fixed, fixed + 4, fixed_) && xyzPcs == xyzPcs_)
        return true;
    filled_ = false;
    byMethod_[0].chroma.clear();
    byMethod_[1].chroma.clear();
    const std::size_t count = static_cast<std::size_t>(points_) * points_ * points_;
    // Device values on the 16-bit scale in single precision, as the optimizer's candidates.
    std::vector<double> in(4 * count), out(3 * count);
    const double spacing = 65535.0 / (points_ - 1);
    const auto value = [&](int channel, int index) {
        return toSingle(fixed[channel] >= 0 ? fixed[channel] * percentTo16 : index * spacing);
    };
    std::size_t n = 0;
    for (int i = 0; i < points_; ++i)
        for (int j = 0; j < points_; ++j)
            for (int l = 0; l < points_; ++l, ++n) {
                in[4 * n] = value(0, i);
                in[4 * n + 1] = value(1, j);
                in[4 * n + 2] = value(2, l);
                in[4 * n + 3] = value(3, 0);
            }
    if (converter.outputChannels() != 3 ||
        converter.convert(in.data(), out.data(), static_cast<int>(count), 4, 3) != 0)
        return false;
    pcsToLab(out.data(), static_cast<int>(count), xyzPcs);
    lab_ = std::move(out);
    preparation_ = preparation;
    std::copy(fixed, fixed + 4, fixed_);
    xyzPcs_ = xyzPcs;
    filled_ = true;
    return true;
}

const StartGrid::Colours& StartGrid::colours(int method, const csContext& context) {
    const bool appearance = method == 3;
    Colours& colours = byMethod_[appearance ? 1 : 0];
    if (appearance && methodContext_ != &context) {
        colours.chroma.clear();
        methodContext_ = &context;
    }
    if (colours.chroma.empty()) {
        const std::size_t count = lab_.size() / 3;
        for (std::vector<double>& v : colours.v)
            v.resize(count);
        colours.chroma.resize(count);
        colours.rootChroma.resize(count);
        std::vector<DistanceColour> ranked(count);
        distanceColours(method, context, lab_.data(), static_cast<int>(count), ranked.data());
        for (std::size_t p = 0; p < count; ++p) {
            const DistanceColour& c = ranked[p];
            for (int k = 0; k < 3; ++k)
                colours.v[k][p] = c.v[k];
            colours.chroma[p] = c.chroma;
            colours.rootChroma[p] = std::sqrt(c.chroma);
        }
    }
    return colours;
}

int StartGrid::bestPoints(csColorConverter& converter, bool xyzPcs, const double fixed[4],
                          const csContext& context, const DistanceColour& target, int method,
                          double wL, double wC, double wH, double inkLimit, int count,
                          double (*devices)[4], double* distances) {
    if (!fill(converter, xyzPcs, fixed))
        return 0;
    const Colours& grid = colours(method, context);
    const double none = std::numeric_limits<double>::infinity();
    const std::size_t size = grid.chroma.size();
    const double *v0 = grid.v[0].data(), *v1 = grid.v[1].data(), *v2 = grid.v[2].data(),
                 *chroma = grid.chroma.data();
    // Outside CIEDE2000 the rank is the squared distance, in a loop the compiler vectorises (the
    // square roots of the chromas kept, for method 1).
    distances_.resize(size);
    double* rank = distances_.data();
    if (method == 1) {
        const double root = std::sqrt(target.chroma), *roots = grid.rootChroma.data();
        for (std::size_t p = 0; p < size; ++p)
            rank[p] = searchDistanceSquared(1, target, {{v0[p], v1[p], v2[p]}, chroma[p]},
                                            root * roots[p], wL, wC, wH);
    } else if (method != 2)
        for (std::size_t p = 0; p < size; ++p)
            rank[p] =
                searchDistanceSquared(0, target, {{v0[p], v1[p], v2[p]}, chroma[p]}, 0, wL, wC, wH);
    else
        for (std::size_t p = 0; p < size; ++p)
            rank[p] = searchDistance(2, target, {{v0[p], v1[p], v2[p]}, chroma[p]}, wL, wC, wH);
    // The ranks again in a grid with a border of one point on every side that never wins, so
    // every point has its 26 neighbours.
    const int n = points_, m = points_ + 2;
    const auto padded = [m](int i, int j, int l) {
        return (static_cast<std::size_t>(i + 1) * m + (j + 1)) * m + (l + 1);
    };
    if (ranks_.size() != static_cast<std::size_t>(m) * m * m)
        ranks_.assign(static_cast<std::size_t>(m) * m * m, none);
    // A point's device values in percent, and whether it takes more ink than the limit.
    const double spacing = 100.0 / (n - 1);
    const auto value = [&](int channel, std::size_t index) {
        return fixed[channel] >= 0 ? fixed[channel] : static_cast<double>(index) * spacing;
    };
    const auto overLimit = [&](int i, int j, int l) {
        return inkLimit > 0 && value(0, i) + value(1, j) + value(2, l) + value(3, 0) > inkLimit;
    };
    std::size_t p = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double* row = &ranks_[padded(i, j, 0)];
            for (int l = 0; l < n; ++l, ++p) // not-a-number never wins
                row[l] = rank[p] == rank[p] && !overLimit(i, j, l) ? rank[p] : none;
        }
    // A point is a local minimum when every neighbour before it (in the grid's order) ranks
    // strictly worse and every one after it no better, so a flat stretch gives its first point.
    std::ptrdiff_t before[13];
    int b = 0;
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj)
            for (int dl = -1; dl <= 1; ++dl) {
                const std::ptrdiff_t offset = (di * m + dj) * m + dl;
                if (offset < 0)
                    before[b++] = offset;
            }
    // The nearest `count` minima so far, nearest first; a later point goes behind equal ones.
    std::vector<std::size_t>& minima = minima_;
    minima.clear();
    double worstKept = none;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int l = 0; l < n; ++l) {
                const std::size_t q = padded(i, j, l);
                const double d = ranks_[q];
                // Only a point nearer than the minima kept so far can join them.
                if (!(d < worstKept))
                    continue;
                bool minimum = true;
                for (int k = 0; k < 13 && minimum; ++k)
                    minimum = ranks_[q + before[k]] > d && ranks_[q - before[k]] >= d;
                if (!minimum)
                    continue;
                auto place = minima.begin();
                while (place != minima.end() && ranks_[*place] <= d)
                    ++place;
                minima.insert(place, q);
                if (static_cast<int>(minima.size()) > count)
                    minima.pop_back();
                if (static_cast<int>(minima.size()) == count)
                    worstKept = ranks_[minima.back()];
            }
    const int found = static_cast<int>(minima.size());
    for (int k = 0; k < found; ++k) {
        const std::size_t q = minima[static_cast<std::size_t>(k)];
        const std::size_t i = q / (static_cast<std::size_t>(m) * m) - 1, j = q / m % m - 1,
                          l = q % m - 1, p = (i * n + j) * n + l;
        devices[k][0] = value(0, i);
        devices[k][1] = value(1, j);
        devices[k][2] = value(2, l);
        devices[k][3] = value(3, 0);
        distances[k] =
            searchDistance(method, target, {{v0[p], v1[p], v2[p]}, chroma[p]}, wL, wC, wH);
    }
    return found;
}
