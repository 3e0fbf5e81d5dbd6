// The window's whole trigger, offscreen: a changed L* text to the last repaint of the diagrams
// (the gamut test, a second pass when out of gamut, the device fields, the achieved colour, the
// differences and both diagrams), on ghostscript's default_cmyk.icc and the sample CMYK profile.
// There is no peer to compare with; these figures stand next to the search core's.

#include "BenchSupport.h"
#include "Tintora.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

struct Case {
    const BenchProfile* profile;
    double a, b; // the reference's a* and b*; L* alternates between two values
};

void trigger(benchmark::State& state, const Case* c) {
    Tintora window;
    window.setProfile(QString::fromStdString(c->profile->path));
    window.setReferenceLab(60, c->a, c->b);
    window.show();
    QApplication::processEvents();
    bool other = false;
    for (auto _ : state) {
        window.lineEditRefL->setText(other ? "60.00" : "60.50");
        other = !other;
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    static const Case cases[] = {{&benchProfiles[0], 10, 10},
                                 {&benchProfiles[0], 120, 0},
                                 {&benchProfiles[1], 10, 10},
                                 {&benchProfiles[1], 120, 0}};
    for (const Case& c : cases) {
        const std::string name =
            std::string("window/trigger/") + c.profile->name + (c.a > 100 ? "/out" : "/in");
        benchmark::RegisterBenchmark(name.c_str(), trigger, &c)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
