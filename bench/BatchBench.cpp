// A colour library of 1,000 spot colours matched in the sample CMYK profile, absolute
// colorimetric as the window starts:
//   ours/batch1000     `tintora-cli match` on the library: CSV read, profile bound, 1,000
//                      searches, the text table written (to nowhere)
//   ours/singles1000   the same 1,000 references through the search core one by one, on a
//                      converter bound once: what the batch is made of
//   lcms2/batch1000    those 1,000 searches over Little CMS 2's transform instead of our converter
// Items are colours, so items per second are colours per second.

#include "BatchMatch.h"
#include "BenchSupport.h"
#include "LittleCMSConverter.h"
#include "ResultFigures.h"
#include "SpotSearch.h"
#include "VariationOptimizer.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <sstream>

namespace {

constexpr int libraryColours = 1000;

// 1,000 references spread over L* 10..90 and a*, b* -80..80, many of them outside the gamut, as a
// spot colour library is.
std::vector<std::array<double, 3>> references() {
    std::vector<std::array<double, 3>> colours;
    for (int i = 0; i < libraryColours; ++i)
        colours.push_back({10 + (i % 10) * 80.0 / 9, -80 + ((i / 10) % 10) * 160.0 / 9,
                           -80 + (i / 100) * 160.0 / 9});
    return colours;
}

std::string libraryCsv() {
    std::ostringstream csv;
    csv.precision(17);
    csv << "name,L,a,b\n";
    int n = 0;
    for (const auto& lab : references())
        csv << "Spot " << ++n << ',' << lab[0] << ',' << lab[1] << ',' << lab[2] << '\n';
    return csv.str();
}

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void batch(benchmark::State& state, const BenchProfile* profile) {
    const std::string csv = libraryCsv();
    BatchOptions options;
    options.input = "-";
    options.match.profilePath = profile->path;
    NullBuffer nothing;
    std::ostream out(&nothing), errors(&nothing);
    for (auto _ : state) {
        std::istringstream in(csv);
        benchmark::DoNotOptimize(runBatchMatch(options, in, out, errors));
    }
    state.SetItemsProcessed(state.iterations() * libraryColours);
}

void singles(benchmark::State& state, const BenchProfile* profile, bool littleCMS) {
    const std::vector<std::uint8_t> bytes = readFile(profile->path);
    csICCProfile iccProfile;
    iccProfile.setProfile(bytes.data(), bytes.size());
    std::unique_ptr<csColorConverter> converter;
    if (littleCMS)
        converter = std::make_unique<LittleCMSConverter>(bytes);
    else
        converter = std::make_unique<csICCProfileConverter>(&iccProfile, 0, 1, 1);
    converter->prepare();
    csContext context;
    setWindowViewingConditions(context);
    SearchWorkspace workspace;
    const SearchPreferences preferences;
    const std::vector<std::array<double, 3>> colours = references();
    for (auto _ : state)
        for (const auto& lab : colours) {
            const SpotSearchResult result = searchSpotColour(
                workspace, *converter, Signature("CMYK"), false, context, lab.data(), preferences);
            benchmark::DoNotOptimize(
                resultFigures(lab.data(), result.achieved, preferences.method, context));
        }
    state.SetItemsProcessed(state.iterations() * libraryColours);
    clearLog();
}

} // namespace

void registerBatchBenchmarks() {
    const BenchProfile* sample = &benchProfiles[1];
    const std::string name = std::string("batch1000/") + sample->name;
    benchmark::RegisterBenchmark(("ours/" + name).c_str(), batch, sample)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ours/singles1000/" + std::string(sample->name)).c_str(), singles,
                                 sample, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("lcms2/" + name).c_str(), singles, sample, true)
        ->Unit(benchmark::kMillisecond);
}
