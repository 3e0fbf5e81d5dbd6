// How far the search's answers lie from the best the profile allows, for random references
// outside its gamut (L* 10..90, C* 40..120, every hue).
//
//   tintora_search_quality PROFILE [N] [PRESERVE] [METHOD] [STRENGTH] [PRIORITY] [GRID] [SEED]
//
// The best answer is found without the program's optimizer: the weighted distance of every point
// of a dense grid of the device cube (33 points per channel, black fixed at 0), then a local
// search on the shown two-decimal values from the 12 best grid points, its step halving from the
// grid spacing to one hundredth. Every candidate is rounded as the fields show it and converted
// as the window converts it, and the program's own answer is a candidate too, so the gap (the
// program's weighted distance minus the best) is never negative. Printed: the gap's median, 99th
// percentile and maximum, the shares over 0.1 and over 2, and the pixels converted per search
// against the two passes alone (the start grid's one conversion per profile, intent and black
// value left out). The profile is bound as the window binds it, absolute colorimetric. With
// SHOW_GAPS=x in the environment, every reference whose gap exceeds x is printed with both
// answers; with SHOW_PASSES=x, every reference where the passes alone fall more than x short and
// the search finds the best.

#include "DeviceToLab.h"
#include "ProfileBinding.h"
#include "SpotSearch.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// Forwards to a converter and counts the pixels it converts.
class CountingConverter : public csColorConverter {
public:
    explicit CountingConverter(csColorConverter& inner) : inner_(inner) {
        setPrepared(inner.preparation() != 0);
    }
    int prepare() override { return inner_.prepare(); }
    int convert(std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                int outStride) override {
        pixels += count;
        return inner_.convert(in, out, count, inStride, outStride);
    }
    int convert(std::uint16_t* const in[], std::uint16_t* const out[], int count) override {
        pixels += count;
        return inner_.convert(in, out, count);
    }
    int convert(double* in, double* out, int count, int inStride, int outStride) override {
        pixels += count;
        return inner_.convert(in, out, count, inStride, outStride);
    }
    int convert(double* const in[], double* const out[], int count) override {
        pixels += count;
        return inner_.convert(in, out, count);
    }
    const char* descriptionText() const override { return inner_.descriptionText(); }
    unsigned inputChannels() const override { return inner_.inputChannels(); }
    unsigned outputChannels() const override { return inner_.outputChannels(); }
    Signature inputSpace() const override { return inner_.inputSpace(); }
    Signature outputSpace() const override { return inner_.outputSpace(); }

    long long pixels = 0;

private:
    csColorConverter& inner_;
};

struct Setting {
    Signature space;
    bool xyzPcs;
    SearchWeights w;
    int method;
};

// The weighted distance of shown device values (field units) from the reference.
double shownDistance(csColorConverter& converter, const Setting& s, const csContext& context,
                     const DistanceColour& target, const double device[4]) {
    double lab[3];
    deviceToLab(converter, s.space, s.xyzPcs, device, lab);
    return searchDistance(s.method, target,
                          distanceColour(s.method, context, lab[0], lab[1], lab[2]), s.w.L, s.w.C,
                          s.w.H);
}

double round2(double v) { return std::round(v * 100) / 100; }

// A local search on shown values from start (field units), step halving from `step` down to
// 0.01; returns the best distance found.
double polish(csColorConverter& converter, const Setting& s, const csContext& context,
              const DistanceColour& target, double start[4], double top, double step) {
    double point[4] = {round2(start[0]), round2(start[1]), round2(start[2]), start[3]};
    double best = shownDistance(converter, s, context, target, point);
    while (step >= 0.01) {
        bool moved = false;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                for (int k = -1; k <= 1; ++k) {
                    if (i == 0 && j == 0 && k == 0)
                        continue;
                    double c[4] = {round2(std::clamp(point[0] + i * step, 0.0, top)),
                                   round2(std::clamp(point[1] + j * step, 0.0, top)),
                                   round2(std::clamp(point[2] + k * step, 0.0, top)), point[3]};
                    const double d = shownDistance(converter, s, context, target, c);
                    if (d < best) {
                        best = d;
                        std::copy(c, c + 4, point);
                        moved = true;
                    }
                }
        if (!moved)
            step /= 2;
    }
    std::copy(point, point + 4, start);
    return best;
}

double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * (values.size() - 1) + 0.5)];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s PROFILE [N] [PRESERVE] [METHOD] [STRENGTH] [PRIORITY] "
                     "[GRID] [SEED]\n",
                     argv[0]);
        return 2;
    }
    const auto arg = [&](int i, int fallback) { return argc > i ? std::atoi(argv[i]) : fallback; };
    const int n = arg(2, 400);
    SearchPreferences preferences;
    preferences.preserve = arg(3, 0);
    preferences.method = arg(4, 3);
    preferences.strength = arg(5, 2);
    preferences.priority = arg(6, 2);
    const int gridPoints = arg(7, 17);
    std::mt19937 random(static_cast<unsigned>(arg(8, 1)));

    ProfileBinding binding = bindProfileFile(argv[1], true, 3);
    if (!binding.bound()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], binding.reason.c_str());
        return 1;
    }
    csICCProfileConverter& bound = *binding.converter;
    csContext context;
    setWindowViewingConditions(context);
    const Setting s{binding.profile->header().colorSpace(),
                    binding.profile->header().pcs() == Signature("XYZ "),
                    searchWeights(preferences.strength, preferences.priority, preferences.preserve),
                    preferences.method >= 1 && preferences.method <= 3 ? preferences.method : 0};
    const double top = deviceValuesAreBytes(s.space) ? 255 : 100;

    // The dense grid, in field units, and its colours in the method's form.
    constexpr int dense = 33;
    std::vector<std::array<double, 4>> points;
    std::vector<DistanceColour> colours;
    for (int i = 0; i < dense; ++i)
        for (int j = 0; j < dense; ++j)
            for (int k = 0; k < dense; ++k) {
                const std::array<double, 4> p = {i * top / (dense - 1), j * top / (dense - 1),
                                                 k * top / (dense - 1), 0};
                double lab[3];
                deviceToLab(bound, s.space, s.xyzPcs, p.data(), lab);
                points.push_back(p);
                colours.push_back(distanceColour(s.method, context, lab[0], lab[1], lab[2]));
            }

    SearchWorkspace workspace{
        VariationOptimizer(),
        {StartGrid(gridPoints), StartGrid(gridPoints), StartGrid(gridPoints)}};
    CountingConverter counted(bound);
    std::vector<double> gaps, before; // the program's gaps, and those of the two passes alone
    long long pixels = 0, passPixels = 0;
    std::uniform_real_distribution<double> L(10, 90), C(40, 120), h(0, 360);
    while (static_cast<int>(gaps.size()) < n) {
        const double hue = h(random) * 3.14159265358979 / 180, chroma = C(random);
        const double reference[3] = {L(random), chroma * std::cos(hue), chroma * std::sin(hue)};
        // The first search fills the start grid; what it costs once is not counted.
        if (gaps.empty() && pixels == 0)
            searchSpotColour(workspace, counted, s.space, s.xyzPcs, context, reference,
                             preferences);
        counted.pixels = 0;
        const SpotSearchResult result = searchSpotColour(workspace, counted, s.space, s.xyzPcs,
                                                         context, reference, preferences);
        if (!result.outOfGamut)
            continue;
        pixels += counted.pixels;
        // The two passes alone, as the search ran before its second start.
        counted.pixels = 0;
        double dev[4] = {0, 0, 0, 0}, copy[3] = {reference[0], reference[1], reference[2]};
        workspace.optimizer.searchDeviceValues(counted, context, dev, copy, 1, 1, 1, 0, s.xyzPcs);
        std::copy(reference, reference + 3, copy);
        workspace.optimizer.searchDeviceValues(counted, context, dev, copy, s.w.L, s.w.C, s.w.H,
                                               s.method, s.xyzPcs);
        passPixels += counted.pixels + 1;
        for (int c = 0; c < 4; ++c)
            dev[c] = displayedValue(c < 3 && top == 255 ? dev[c] * 2.55 : dev[c]);

        const DistanceColour target =
            distanceColour(s.method, context, reference[0], reference[1], reference[2]);
        const double program = shownDistance(bound, s, context, target, result.device);
        const double passes = shownDistance(bound, s, context, target, dev);
        std::vector<std::pair<double, std::size_t>> ranked;
        for (std::size_t p = 0; p < points.size(); ++p)
            ranked.emplace_back(searchDistance(s.method, target, colours[p], s.w.L, s.w.C, s.w.H),
                                p);
        std::partial_sort(ranked.begin(), ranked.begin() + 12, ranked.end());
        double best = std::min(program, passes), bestDevice[4] = {};
        for (int r = 0; r < 12; ++r) {
            double start[4];
            std::copy(points[ranked[r].second].begin(), points[ranked[r].second].end(), start);
            const double polished =
                polish(bound, s, context, target, start, top, top / (dense - 1));
            if (polished < best) {
                best = polished;
                std::copy(start, start + 4, bestDevice);
            }
        }
        gaps.push_back(program - best);
        if (std::getenv("SHOW_PASSES") != nullptr &&
            passes - best > std::atof(std::getenv("SHOW_PASSES")) && program - best < 0.001)
            std::printf("L* %.2f a* %.2f b* %.2f: passes alone %.2f %.2f %.2f at %.4f, search "
                        "%.2f %.2f %.2f at %.4f\n",
                        reference[0], reference[1], reference[2], dev[0], dev[1], dev[2], passes,
                        result.device[0], result.device[1], result.device[2], program);
        if (std::getenv("SHOW_GAPS") != nullptr &&
            program - best > std::atof(std::getenv("SHOW_GAPS")))
            std::printf("L* %.2f a* %.2f b* %.2f: %.2f %.2f %.2f at %.4f, best %.2f %.2f %.2f at "
                        "%.4f\n",
                        reference[0], reference[1], reference[2], result.device[0],
                        result.device[1], result.device[2], program, bestDevice[0], bestDevice[1],
                        bestDevice[2], best);
        before.push_back(passes - best);
    }
    const auto report = [](const char* what, const std::vector<double>& g) {
        const auto share = [&](double over) {
            return 100.0 * std::count_if(g.begin(), g.end(), [&](double x) { return x > over; }) /
                   g.size();
        };
        std::printf("  %-12s gap median %.4f, p99 %.4f, max %.4f, over 0.1 %.2f %%, over 2 %.2f "
                    "%%\n",
                    what, quantile(g, 0.5), quantile(g, 0.99),
                    *std::max_element(g.begin(), g.end()), share(0.1), share(2.0));
    };
    std::printf("%s, preserve %d, method %d, strength %d, priority %d, start grid %d: %d "
                "references\n",
                argv[1], preferences.preserve, preferences.method, preferences.strength,
                preferences.priority, gridPoints, n);
    report("search", gaps);
    report("passes alone", before);
    std::printf("  pixels per search %.1f, the passes alone %.1f (%.2fx)\n", double(pixels) / n,
                double(passPixels) / n, double(pixels) / passPixels);
    clearLog();
    return 0;
}
