#include "StartGrid.h"

#include "DeviceToLab.h"
#include "VariationOptimizer.h"
#include "csColorConverter.h"
#include "csProcessor.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
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

std::size_t StartGrid::padded(int i, int j, int l) const {
    const std::size_t m = static_cast<std::size_t>(points_) + 2;
    return ((static_cast<std::size_t>(i) + 1) * m + static_cast<std::size_t>(j) + 1) * m +
           static_cast<std::size_t>(l) + 1;
}

const StartGrid::Colours& StartGrid::colours(int method, const csContext& context) {
    const bool appearance = method == 3;
    Colours& colours = byMethod_[appearance ? 1 : 0];
    if (appearance && methodContext_ != &context) {
        colours.chroma.clear();
        methodContext_ = &context;
    }
    if (colours.chroma.empty()) {
        // With the border of the ranks (see bestPoints), its colours not-a-number.
        const std::size_t count = lab_.size() / 3, m = static_cast<std::size_t>(points_) + 2;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        for (std::vector<double>& v : colours.v)
            v.assign(m * m * m, nan);
        colours.chroma.assign(m * m * m, nan);
        colours.rootChroma.assign(m * m * m, nan);
        std::vector<DistanceColour> ranked(count);
        distanceColours(method, context, lab_.data(), static_cast<int>(count), ranked.data());
        std::size_t p = 0;
        for (int i = 0; i < points_; ++i)
            for (int j = 0; j < points_; ++j)
                for (int l = 0; l < points_; ++l, ++p) {
                    const DistanceColour& c = ranked[p];
                    const std::size_t q = padded(i, j, l);
                    for (int k = 0; k < 3; ++k)
                        colours.v[k][q] = c.v[k];
                    colours.chroma[q] = c.chroma;
                    colours.rootChroma[q] = std::sqrt(c.chroma);
                }
    }
    return colours;
}

namespace {

constexpr double none = std::numeric_limits<double>::infinity();

// What ranks the grid's points against a reference, and the grid's colours by component.
struct Ranking {
    int method;
    const DistanceColour& target;
    double wL, wC, wH;
    const double *v0, *v1, *v2, *chroma, *rootChroma;
};

// The ranks of the n^3 points of a grid with a border (n + 2 points a side, the colours and ranks
// in the same places) into rank; not-a-number ranks as none, and the border is left alone.
// Outside CIEDE2000 the rank is the squared distance, in loops the compiler vectorises (with the
// square roots of the chromas kept, for method 1).
__attribute__((always_inline)) inline void rankAll(const Ranking& r, int n, double* rank) {
    // Copies, which the stores to rank cannot change, so the loops need not read them again.
    const DistanceColour target = r.target;
    const double wL = r.wL, wC = r.wC, wH = r.wH;
    const std::size_t m = static_cast<std::size_t>(n) + 2;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i)
        for (std::size_t j = 1; j <= static_cast<std::size_t>(n); ++j) {
            const std::size_t first = (i * m + j) * m + 1;
            const double *v0 = r.v0 + first, *v1 = r.v1 + first, *v2 = r.v2 + first,
                         *chroma = r.chroma + first, *roots = r.rootChroma + first;
            double* out = rank + first;
            const auto keep = [](double d) { return d == d ? d : none; };
            if (r.method == 1) {
                const double root = std::sqrt(target.chroma);
                for (int p = 0; p < n; ++p)
                    out[p] =
                        keep(searchDistanceSquared(1, target, {{v0[p], v1[p], v2[p]}, chroma[p]},
                                                   root * roots[p], wL, wC, wH));
            } else if (r.method != 2) {
                for (int p = 0; p < n; ++p)
                    out[p] = keep(searchDistanceSquared(
                        0, target, {{v0[p], v1[p], v2[p]}, chroma[p]}, 0, wL, wC, wH));
            } else {
                for (int p = 0; p < n; ++p)
                    out[p] = keep(
                        searchDistance(2, target, {{v0[p], v1[p], v2[p]}, chroma[p]}, wL, wC, wH));
            }
        }
}

// The same four to a vector on processors with AVX2; the operations per point are the same (no
// fused multiply-adds), and so are the ranks.
__attribute__((target("avx2"))) void rankAllAVX2(const Ranking& r, int n, double* rank) {
    rankAll(r, n, rank);
}

void rankPoints(const Ranking& r, int n, double* rank) {
    if (processorHasAVX2())
        rankAllAVX2(r, n, rank);
    else
        rankAll(r, n, rank);
}

} // namespace

int StartGrid::bestPoints(csColorConverter& converter, bool xyzPcs, const double fixed[4],
                          const csContext& context, const DistanceColour& target, int method,
                          double wL, double wC, double wH, double inkLimit, int count,
                          double (*devices)[4], double* distances) {
    if (!fill(converter, xyzPcs, fixed))
        return 0;
    const Colours& grid = colours(method, context);
    const double *v0 = grid.v[0].data(), *v1 = grid.v[1].data(), *v2 = grid.v[2].data(),
                 *chroma = grid.chroma.data();
    // The ranks in a grid with a border of one point on every side that never wins (its colours
    // are not-a-number), so every point has its 26 neighbours.
    const int n = points_, m = points_ + 2;
    if (ranks_.size() != grid.chroma.size())
        ranks_.assign(grid.chroma.size(), none);
    rankPoints({method, target, wL, wC, wH, v0, v1, v2, chroma, grid.rootChroma.data()}, n,
               ranks_.data());
    // A point's device values in percent; the points that take more ink than the limit never win.
    const double spacing = 100.0 / (n - 1);
    const auto value = [&](int channel, std::size_t index) {
        return fixed[channel] >= 0 ? fixed[channel] : static_cast<double>(index) * spacing;
    };
    if (inkLimit > 0)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                for (int l = 0; l < n; ++l)
                    if (value(0, i) + value(1, j) + value(2, l) + value(3, 0) > inkLimit)
                        ranks_[padded(i, j, l)] = none;
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
    // The nearest neighbours first: in a smooth field they rule most points out.
    std::sort(std::begin(before), std::end(before), std::greater<>());
    // The nearest `count` minima so far, nearest first; a later point goes behind equal ones.
    std::vector<std::size_t>& minima = minima_;
    minima.clear();
    double worstKept = none;
    const double* rank = ranks_.data();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const std::size_t row = padded(i, j, 0);
            for (std::size_t q = row; q < row + static_cast<std::size_t>(n); ++q) {
                const double d = rank[q];
                // Only a point nearer than the minima kept so far can join them.
                if (!(d < worstKept))
                    continue;
                bool minimum = true;
                for (int k = 0; k < 13 && minimum; ++k)
                    minimum = rank[q + before[k]] > d && rank[q - before[k]] >= d;
                if (!minimum)
                    continue;
                auto place = minima.begin();
                while (place != minima.end() && rank[*place] <= d)
                    ++place;
                minima.insert(place, q);
                if (static_cast<int>(minima.size()) > count)
                    minima.pop_back();
                if (static_cast<int>(minima.size()) == count)
                    worstKept = rank[minima.back()];
            }
        }
    const int found = static_cast<int>(minima.size());
    for (int k = 0; k < found; ++k) {
        const std::size_t q = minima[static_cast<std::size_t>(k)];
        const std::size_t i = q / (static_cast<std::size_t>(m) * m) - 1, j = q / m % m - 1,
                          l = q % m - 1;
        devices[k][0] = value(0, i);
        devices[k][1] = value(1, j);
        devices[k][2] = value(2, l);
        devices[k][3] = value(3, 0);
        distances[k] =
            searchDistance(method, target, {{v0[q], v1[q], v2[q]}, chroma[q]}, wL, wC, wH);
    }
    return found;
}
