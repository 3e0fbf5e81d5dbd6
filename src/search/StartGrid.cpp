#include "StartGrid.h"

#include "DeviceToLab.h"
#include "csColorConverter.h"
#include "csTypes.h"

#include <algorithm>
#include <limits>

StartGrid::StartGrid(int pointsPerChannel) : points_(pointsPerChannel < 2 ? 2 : pointsPerChannel) {}

bool StartGrid::fill(csColorConverter& converter, bool xyzPcs, double black) {
    const std::uint64_t preparation = converter.preparation();
    if (filled_ && preparation != 0 && preparation == preparation_ && black == black_ &&
        xyzPcs == xyzPcs_)
        return true;
    filled_ = false;
    byMethod_[0].clear();
    byMethod_[1].clear();
    const std::size_t count = static_cast<std::size_t>(points_) * points_ * points_;
    // Device values on the 16-bit scale in single precision, as the optimizer's candidates.
    std::vector<double> in(4 * count), out(3 * count);
    const double spacing = 65535.0 / (points_ - 1);
    const double k = toSingle(black * 655.35);
    std::size_t n = 0;
    for (int i = 0; i < points_; ++i)
        for (int j = 0; j < points_; ++j)
            for (int l = 0; l < points_; ++l, ++n) {
                in[4 * n] = toSingle(i * spacing);
                in[4 * n + 1] = toSingle(j * spacing);
                in[4 * n + 2] = toSingle(l * spacing);
                in[4 * n + 3] = k;
            }
    if (converter.outputChannels() != 3 ||
        converter.convert(in.data(), out.data(), static_cast<int>(count), 4, 3) != 0)
        return false;
    pcsToLab(out.data(), static_cast<int>(count), xyzPcs);
    lab_ = std::move(out);
    preparation_ = preparation;
    black_ = black;
    xyzPcs_ = xyzPcs;
    filled_ = true;
    return true;
}

const std::vector<DistanceColour>& StartGrid::colours(int method, const csContext& context) {
    const bool appearance = method == 3;
    std::vector<DistanceColour>& colours = byMethod_[appearance ? 1 : 0];
    if (appearance && methodContext_ != &context) {
        colours.clear();
        methodContext_ = &context;
    }
    if (colours.empty()) {
        const std::size_t count = lab_.size() / 3;
        colours.reserve(count);
        for (std::size_t p = 0; p < count; ++p)
            colours.push_back(
                distanceColour(method, context, lab_[3 * p], lab_[3 * p + 1], lab_[3 * p + 2]));
    }
    return colours;
}

int StartGrid::bestPoints(csColorConverter& converter, bool xyzPcs, double black,
                          const csContext& context, const DistanceColour& target, int method,
                          double wL, double wC, double wH, int count, double (*devices)[4],
                          double* distances) {
    if (!fill(converter, xyzPcs, black))
        return 0;
    const std::vector<DistanceColour>& grid = colours(method, context);
    const double none = std::numeric_limits<double>::infinity();
    distances_.resize(grid.size());
    for (std::size_t p = 0; p < grid.size(); ++p) {
        const double d = searchDistance(method, target, grid[p], wL, wC, wH);
        distances_[p] = d == d ? d : none; // not-a-number never wins
    }
    const int n = points_;
    const auto at = [n](int i, int j, int l) {
        return (static_cast<std::size_t>(i) * n + j) * n + l;
    };
    // The nearest `count` minima so far, nearest first; a later point goes behind equal ones.
    std::vector<std::size_t>& minima = minima_;
    minima.clear();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int l = 0; l < n; ++l) {
                const std::size_t p = at(i, j, l);
                // Only a point nearer than the minima kept so far can join them.
                bool minimum = distances_[p] != none && (static_cast<int>(minima.size()) < count ||
                                                         distances_[p] < distances_[minima.back()]);
                for (int di = -1; di <= 1 && minimum; ++di)
                    for (int dj = -1; dj <= 1 && minimum; ++dj)
                        for (int dl = -1; dl <= 1 && minimum; ++dl) {
                            const int a = i + di, b = j + dj, c = l + dl;
                            if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n)
                                continue;
                            // An earlier neighbour at the same distance holds the minimum, so a
                            // flat stretch gives one point.
                            const std::size_t q = at(a, b, c);
                            minimum = distances_[q] > distances_[p] ||
                                      (distances_[q] == distances_[p] && q >= p);
                        }
                if (!minimum)
                    continue;
                auto place = minima.begin();
                while (place != minima.end() && distances_[*place] <= distances_[p])
                    ++place;
                if (place - minima.begin() < count) {
                    minima.insert(place, p);
                    if (static_cast<int>(minima.size()) > count)
                        minima.pop_back();
                }
            }
    const int found = std::min(count, static_cast<int>(minima.size()));
    const double spacing = 100.0 / (n - 1);
    for (int m = 0; m < found; ++m) {
        const std::size_t p = minima[static_cast<std::size_t>(m)];
        devices[m][0] = static_cast<double>(p / (static_cast<std::size_t>(n) * n)) * spacing;
        devices[m][1] = static_cast<double>(p / n % n) * spacing;
        devices[m][2] = static_cast<double>(p % n) * spacing;
        devices[m][3] = black;
        distances[m] = distances_[p];
    }
    return found;
}
