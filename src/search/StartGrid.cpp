#include "StartGrid.h"

#include "csColorConverter.h"
#include "csICCPCS.h"
#include "csTypes.h"

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
    if (xyzPcs)
        csICCPCS::XYZ16toLab16(out.data(), out.data(), static_cast<int>(count), 3, 3);
    lab_.resize(3 * count);
    for (std::size_t p = 0; p < count; ++p) {
        lab_[3 * p] = out[3 * p] / 655.35;
        lab_[3 * p + 1] = out[3 * p + 1] / 257 - 128;
        lab_[3 * p + 2] = out[3 * p + 2] / 257 - 128;
    }
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

bool StartGrid::bestPoint(csColorConverter& converter, bool xyzPcs, double black,
                          const csContext& context, const DistanceColour& target, int method,
                          double wL, double wC, double wH, double device[4]) {
    if (!fill(converter, xyzPcs, black))
        return false;
    const std::vector<DistanceColour>& grid = colours(method, context);
    std::size_t best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (std::size_t p = 0; p < grid.size(); ++p) {
        const double distance = searchDistance(method, target, grid[p], wL, wC, wH);
        // The earlier point wins a tie; not-a-number never wins.
        if (distance < bestDistance) {
            best = p;
            bestDistance = distance;
        }
    }
    const std::size_t perPlane = static_cast<std::size_t>(points_) * points_;
    const double spacing = 100.0 / (points_ - 1);
    device[0] = static_cast<double>(best / perPlane) * spacing;
    device[1] = static_cast<double>(best / points_ % points_) * spacing;
    device[2] = static_cast<double>(best % points_) * spacing;
    device[3] = black;
    return true;
}
