#include "SpotMatcher.h"

#include "ColourDifference.h"
#include "ConverterIntent.h"
#include "ProfileChecks.h"
#include "ProfileFile.h"
#include "ViewingConditions.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <cstdio>

namespace {

void refuse(const BindingMessage& message, std::ostream& errors, bool withLog) {
    errors << message.message() << "\n";
    if (withLog)
        writeLog(errors);
    clearLog();
}

std::vector<std::string> channelNames(Signature space) {
    if (space == Signature("CMYK"))
        return {"C", "M", "Y", "K"};
    if (space == Signature("RGB "))
        return {"R", "G", "B"};
    return {"C", "M", "Y"};
}

} // namespace

SpotMatcher::~SpotMatcher() = default;

std::unique_ptr<SpotMatcher> SpotMatcher::bind(const std::string& path, int intent,
                                               const SearchPreferences& preferences,
                                               std::ostream& errors) {
    clearLog();
    std::unique_ptr<SpotMatcher> matcher(new SpotMatcher);
    matcher->profile_ = std::make_unique<csICCProfile>();
    csICCProfile& profile = *matcher->profile_;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        refuse(openFailure(path), errors, false);
        return nullptr;
    }
    const int read = profile.setProfile(file);
    std::fclose(file);
    if (read != 0) {
        refuse(readFailure(path), errors, true);
        return nullptr;
    }
    if (const auto refusal = profileRefusal(profile, true)) {
        refuse(*refusal, errors, false);
        return nullptr;
    }

    // Bound as the window binds it: prepared with the combo index as the intent, then the intent
    // applied through the intent table and prepared again.
    matcher->converter_ =
        std::make_unique<csICCProfileConverter>(&profile, 0, static_cast<unsigned>(intent), 0);
    csICCProfileConverter& converter = *matcher->converter_;
    if (converter.prepare() != 0) {
        refuse(preparationFailure(), errors, true);
        return nullptr;
    }
    const ConverterIntent mapped = converterIntentForIndex(intent);
    converter.setWhiteMode(mapped.whiteMode);
    converter.setIntent(mapped.intent);
    if (converter.prepare() != 0) {
        // The window goes on with the converter as it stands; so does the search here.
        errors << "prepare() failed, intent " << intent << "\n";
        writeLog(errors);
    }
    clearLog();

    setWindowViewingConditions(matcher->context_);
    matcher->preferences_ = preferences;
    matcher->space_ = profile.header().colorSpace();
    matcher->xyzPcs_ = profile.header().pcs() == Signature("XYZ ");
    matcher->channels_ = channelNames(matcher->space_);
    return matcher;
}

SpotMatch SpotMatcher::match(const double reference[3]) {
    SpotMatch match;
    match.result = searchSpotColour(optimizer_, *converter_, space_, xyzPcs_, context_, reference,
                                    preferences_);
    match.figures = resultFigures(reference, match.result.achieved, preferences_.method, context_);
    return match;
}

std::string SpotMatcher::methodLabel() const { return differenceLabel(preferences_.method); }
