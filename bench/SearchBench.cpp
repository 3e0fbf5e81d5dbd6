// The spot colour search against the same pattern search run over Little CMS 2's transform (the
// same candidates converted with cmsDoTransform), in the same run, on ghostscript's
// default_cmyk.icc and the sample CMYK profile, absolute colorimetric as the window starts:
//   pass    one optimizer pass (the gamut test: weights 1, Delta E*ab)
//   search  one whole search (gamut test, second pass when out of gamut, the final conversion)
// each for a reference inside the gamut and one far outside it; and black/free, black/least and
// black/most, our whole search with black searched, least or most black, to set against
// ours/search with black fixed.

#include "BenchSupport.h"
#include "LittleCMSConverter.h"
#include "SpotSearch.h"
#include "VariationOptimizer.h"
#include "ViewingConditions.h"
#include "csColorConverter.h"
#include "csContext.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

struct Case {
    const BenchProfile* profile;
    bool littleCMS;
    bool whole; // the whole search, or one pass
    double reference[3];
    BlackGeneration black = BlackGeneration::Fixed;
};

void run(benchmark::State& state, const Case* c) {
    const std::vector<std::uint8_t> bytes = readFile(c->profile->path);
    csICCProfile profile;
    profile.setProfile(bytes.data(), bytes.size());
    std::unique_ptr<csColorConverter> converter;
    if (c->littleCMS)
        converter = std::make_unique<LittleCMSConverter>(bytes);
    else
        converter = std::make_unique<csICCProfileConverter>(&profile, 0, 1, 1);
    converter->prepare();
    csContext context;
    setWindowViewingConditions(context);
    SearchWorkspace workspace;
    SearchPreferences preferences;
    preferences.press.black = c->black;
    for (auto _ : state) {
        if (c->whole) {
            const SpotSearchResult result =
                searchSpotColour(workspace, *converter, Signature("CMYK"), false, context,
                                 c->reference, preferences);
            benchmark::DoNotOptimize(result);
        } else {
            double dev[4] = {0, 0, 0, 0};
            double reference[3] = {c->reference[0], c->reference[1], c->reference[2]};
            benchmark::DoNotOptimize(workspace.optimizer.searchDeviceValues(
                *converter, context, dev, reference, 1, 1, 1, 0, false));
        }
    }
    state.SetItemsProcessed(state.iterations());
    clearLog();
}

} // namespace

void registerSearchBenchmarks() {
    static std::vector<std::unique_ptr<Case>> cases;
    const double inside[3] = {60, 10, 10}, outside[3] = {50, 120, 0};
    for (const BenchProfile& p : benchProfiles)
        for (const bool whole : {false, true})
            for (const bool in : {true, false})
                for (const bool littleCMS : {false, true}) {
                    const double* r = in ? inside : outside;
                    cases.push_back(
                        std::make_unique<Case>(Case{&p, littleCMS, whole, {r[0], r[1], r[2]}}));
                    const std::string name = std::string(littleCMS ? "lcms2/" : "ours/") +
                                             (whole ? "search/" : "pass/") + p.name +
                                             (in ? "/in" : "/out");
                    benchmark::RegisterBenchmark(name.c_str(), run, cases.back().get())
                        ->Unit(benchmark::kMicrosecond);
                }
    // Black searched, least and most black, against ours/search with black fixed.
    const std::pair<BlackGeneration, const char*> modes[] = {{BlackGeneration::Free, "free"},
                                                             {BlackGeneration::Minimum, "least"},
                                                             {BlackGeneration::Maximum, "most"}};
    for (const BenchProfile& p : benchProfiles)
        for (const bool in : {true, false})
            for (const auto& [black, mode] : modes) {
                const double* r = in ? inside : outside;
                cases.push_back(
                    std::make_unique<Case>(Case{&p, false, true, {r[0], r[1], r[2]}, black}));
                const std::string name =
                    std::string("black/") + mode + "/" + p.name + (in ? "/in" : "/out");
                benchmark::RegisterBenchmark(name.c_str(), run, cases.back().get())
                    ->Unit(benchmark::kMicrosecond);
            }
}
