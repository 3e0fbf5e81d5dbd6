#include "SpotMatcher.h"

#include "ColourDifference.h"
#include "ProfileFile.h"
#include "ViewingConditions.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"

namespace {

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
    ProfileBinding binding = bindProfileForCommand(path, intent, errors);
    if (!binding.bound())
        return nullptr;
    std::unique_ptr<SpotMatcher> matcher(new SpotMatcher);
    matcher->profile_ = std::move(binding.profile);
    matcher->converter_ = std::move(binding.converter);
    setWindowViewingConditions(matcher->context_);
    matcher->preferences_ = preferences;
    const csICCProfileHeader& header = matcher->profile_->header();
    matcher->space_ = header.colorSpace();
    matcher->xyzPcs_ = header.pcs() == Signature("XYZ ");
    matcher->channels_ = channelNames(matcher->space_);
    return matcher;
}

SpotMatch SpotMatcher::match(const double reference[3]) {
    SpotMatch match;
    match.result =
        searchSpotColour(search_, *converter_, space_, xyzPcs_, context_, reference, preferences_);
    match.figures = resultFigures(reference, match.result.achieved, preferences_.method, context_);
    return match;
}

std::string SpotMatcher::methodLabel() const { return differenceLabel(preferences_.method); }

const char* methodName(int method) {
    static const char* const names[] = {"de76", "de94", "de2000", "cam02"};
    return method >= 0 && method <= 3 ? names[method] : names[0];
}
