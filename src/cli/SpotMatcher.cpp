#include "SpotMatcher.h"

#include "ColourDifference.h"
#include "ProfileFile.h"
#include "ViewingConditions.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"

#include <algorithm>

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
                                               std::ostream& errors,
                                               const std::vector<ChannelLock>& locks) {
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
    if (!matcher->constrain(locks, errors))
        return nullptr;
    return matcher;
}

bool SpotMatcher::constrain(const std::vector<ChannelLock>& locks, std::ostream& errors) {
    PressConstraints& press = preferences_.press;
    const bool cmyk = channels_.size() == 4, rgb = channels_[0] == "R";
    for (const ChannelLock& lock : locks) {
        const auto found = std::find(channels_.begin(), channels_.end(), lock.channel);
        if (found == channels_.end()) {
            errors << "tintora-cli: --lock " << lock.channel << ": the profile's channels are ";
            for (std::size_t c = 0; c < channels_.size(); ++c)
                errors << (c > 0 ? ", " : "") << channels_[c];
            errors << "\n";
            return false;
        }
        press.locks[found - channels_.begin()] = lock.value;
    }
    if (rgb && press.inkLimit > 0) {
        errors << "tintora-cli: --ink-limit applies to CMYK and CMY profiles\n";
        return false;
    }
    const bool fixedBlack = cmyk && (press.black == BlackGeneration::Fixed || press.locks[3] >= 0);
    const double black = press.locks[3] >= 0 ? press.locks[3] : preferences_.black;
    if (fixedBlack && black > press.blackLimit) {
        errors << "tintora-cli: black " << fieldText(black, 2) << " % is above the black limit "
               << fieldText(press.blackLimit, 2) << " %\n";
        return false;
    }
    const double used = inkTaken(preferences_, cmyk);
    if (press.inkLimit > 0 && used > press.inkLimit) {
        errors << "tintora-cli: the ink limit " << fieldText(press.inkLimit, 2)
               << " % is below the " << fieldText(used, 2)
               << " % that the locked channels and black already take\n";
        return false;
    }
    return true;
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
