#include "BindingExercise.h"

#include "DeviceToLab.h"
#include "DisplayColour.h"
#include "ProfileBinding.h"
#include "ResultFigures.h"
#include "SpotSearch.h"
#include "VariationOptimizer.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csLog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

volatile double sink;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "binding exercise: %s\n", what);
        std::abort();
    }
}

const csContext& windowContext() {
    static const csContext context = [] {
        csContext made;
        setWindowViewingConditions(made);
        return made;
    }();
    return context;
}

// A bound converter takes the device values of its profile and gives the three PCS values, and
// nothing else: the window's pixels are sized by that.
void checkBound(const ProfileBinding& binding) {
    check(binding.profile && binding.converter && !binding.refusal, "a half-bound profile");
    check(binding.converter->isPrepared(), "a bound converter that is not prepared");
    check(binding.converter->inputChannels() == binding.profile->colorSpaceChannels() &&
              binding.converter->inputChannels() <= 4 && binding.converter->outputChannels() == 3,
          "a bound converter whose channels are not the profile's");
}

// The device fields of a bound profile converted as the window converts them.
void convertDeviceValues(const ProfileBinding& binding) {
    const Signature space = binding.profile->header().colorSpace();
    const bool xyzPcs = binding.profile->header().pcs() == Signature("XYZ ");
    const double top = deviceValuesAreBytes(space) ? 255 : 100;
    static const double fractions[][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {0.2, 0.5, 0.9, 0.35}};
    for (const auto& fraction : fractions) {
        const double device[4] = {fraction[0] * top, fraction[1] * top, fraction[2] * top,
                                  fraction[3] * 100};
        double lab[3];
        check(deviceToLab(*binding.converter, space, xyzPcs, device, lab),
              "a bound converter refused the device fields");
        sink = sink + lab[0] + lab[1] + lab[2];
    }
}

// One search for a reference, as findAgain runs it, and the figures of the results rows.
void search(const ProfileBinding& binding) {
    static SearchWorkspace workspace;
    const Signature space = binding.profile->header().colorSpace();
    const bool xyzPcs = binding.profile->header().pcs() == Signature("XYZ ");
    const double reference[3] = {52, 55, 30};
    const SearchPreferences preferences;
    const SpotSearchResult result = searchSpotColour(workspace, *binding.converter, space, xyzPcs,
                                                     windowContext(), reference, preferences);
    const double top = deviceValuesAreBytes(space) ? 255 : 100;
    for (int c = 0; c < 3; ++c)
        check(std::isnan(result.device[c]) || (result.device[c] >= 0 && result.device[c] <= top),
              "a search answered device values outside the device range");
    const ResultFigures figures =
        resultFigures(reference, result.achieved, preferences.method, windowContext());
    sink = sink + figures.total + figures.dH + result.gamutDistance;
}

// The bytes as a display profile chosen for the swatches: what binds shows colours, a colour that
// is not a number among them.
void showOnDisplay(const std::uint8_t* data, std::size_t size) {
    auto profile = std::make_unique<csICCProfile>();
    if (profile->setProfile(data, size) != 0)
        return;
    std::string why;
    const std::unique_ptr<DisplayColour> display = DisplayColour::bind(std::move(profile), &why);
    if (display == nullptr) {
        check(!why.empty(), "a display profile refused without a reason");
        return;
    }
    static const double colours[][3] = {
        {100, 0, 0}, {0, 0, 0}, {50, 127, -128}, {75, -40, 60}, {NAN, 0, 0}};
    for (const auto& lab : colours) {
        const DisplayRGB shown = display->show(lab);
        sink = sink + shown.rgb[0] + shown.rgb[1] + shown.rgb[2] + (shown.clipped ? 1 : 0);
    }
    check(display->show(colours[4]).clipped, "a colour that is not a number shown as it is");
}

} // namespace

void exerciseBindingBytes(const std::uint8_t* data, std::size_t size) {
    clearLog();
    bool searched = false;
    for (const bool outputSide : {true, false}) {
        for (int index = 0; index < 4; ++index) {
            auto profile = std::make_unique<csICCProfile>();
            if (profile->setProfile(data, size) != 0) {
                clearLog();
                return;
            }
            ProfileBinding binding = bindProfile(std::move(profile), outputSide, index);
            if (!binding.bound()) {
                check(!binding.profile && !binding.converter && binding.refusal,
                      "a refusal that hands out a profile or says nothing");
                clearLog();
                continue;
            }
            checkBound(binding);
            convertDeviceValues(binding);
            if (outputSide && !searched) {
                search(binding);
                searched = true;
            }
            // The user picks every other intent; one that cannot be prepared leaves the window
            // on the intent that could.
            for (int other = 0; other < 4; ++other) {
                if (prepareForIntent(*binding.converter, other) == 0) {
                    checkBound(binding);
                    convertDeviceValues(binding);
                } else {
                    check(prepareForIntent(*binding.converter, index) == 0,
                          "an intent that bound cannot be prepared again");
                }
                clearLog();
            }
            clearLog();
        }
    }
    clearLog();
    showOnDisplay(data, size);
    clearLog();
}
