// Tintora's benchmarks, each against Little CMS 2 in the same run. At the end every pair is
// printed as nanoseconds per item (pixel, preparation or search) and as the ratio
// ours / Little CMS 2; then each library batch against the single searches it is made of.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Prints the pairs side by side once all benchmarks have run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto items = run.counters.find("items_per_second");
            if (items != run.counters.end() && items->second.value > 0)
                nsPerItem_[run.benchmark_name()] = 1e9 / items->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-30s %14s %14s %10s\n", "ours vs Little CMS 2", "ours ns", "lcms2 ns",
                    "ratio");
        for (const auto& [name, ours] : nsPerItem_) {
            if (name.rfind("ours/", 0) != 0)
                continue;
            const auto peer = nsPerItem_.find("lcms2/" + name.substr(5));
            if (peer == nsPerItem_.end())
                continue;
            std::printf("%-30s %14.1f %14.1f %10.3f\n", name.substr(5).c_str(), ours, peer->second,
                        ours / peer->second);
        }
        // A library batch against the single searches it is made of.
        std::printf("\n%-30s %14s %14s %10s\n", "batch vs single searches", "batch ns",
                    "singles ns", "ratio");
        for (const auto& [name, batch] : nsPerItem_) {
            if (name.rfind("ours/batch", 0) != 0)
                continue;
            const auto singles = nsPerItem_.find("ours/singles" + name.substr(10));
            if (singles == nsPerItem_.end())
                continue;
            std::printf("%-30s %14.1f %14.1f %10.3f  (%.0f colours/s)\n", name.substr(5).c_str(),
                        batch, singles->second, batch / singles->second, 1e9 / batch);
        }
    }

private:
    std::map<std::string, double> nsPerItem_;
};

} // namespace

int main(int argc, char** argv) {
    registerConverterBenchmarks();
    registerSearchBenchmarks();
    registerBatchBenchmarks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
