#pragma once

#include "ResultFigures.h"
#include "SpotSearch.h"
#include "csContext.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class csICCProfile;
class csICCProfileConverter;

// A channel held at a value, as --lock gives it: the channel's letter and its value as its field
// shows it (percent, or 0..255 for RGB).
struct ChannelLock {
    std::string channel;
    double value;
};

// One reference searched in the bound profile: the search result and the figures of the results
// rows.
struct SpotMatch {
    SpotSearchResult result;
    ResultFigures figures;
};

// An output profile bound as the window binds it (same checks, same messages, same intent
// handling) with the window's viewing conditions and the search preferences, ready to search any
// number of references. `match` with one reference and with a whole colour library go through
// this one class.
class SpotMatcher {
public:
    ~SpotMatcher();

    // Reads and binds the profile at path with the window's combo index for the intent, and
    // holds the locked channels. On refusal writes the message (and the library's log where the
    // window shows it) to errors and returns null. Refused too: a lock on a channel the profile
    // does not have, an ink limit for RGB, a fixed black above the black limit and an ink limit
    // below what the locked channels and a fixed black take.
    static std::unique_ptr<SpotMatcher> bind(const std::string& path, int intent,
                                             const SearchPreferences& preferences,
                                             std::ostream& errors,
                                             const std::vector<ChannelLock>& locks = {});

    SpotMatch match(const double reference[3]);

    // "C", "M", "Y", "K" for CMYK; "R", "G", "B" for RGB; "C", "M", "Y" for CMY.
    const std::vector<std::string>& channels() const { return channels_; }
    Signature colourSpace() const { return space_; }
    // The total's label, such as U+0394 "E00".
    std::string methodLabel() const;
    int method() const { return preferences_.method; }
    // The preferences searched with, the locks among their press constraints.
    const SearchPreferences& preferences() const { return preferences_; }

private:
    SpotMatcher() = default;
    bool constrain(const std::vector<ChannelLock>& locks, std::ostream& errors);

    std::unique_ptr<csICCProfile> profile_;
    std::unique_ptr<csICCProfileConverter> converter_;
    csContext context_;
    SearchWorkspace search_;
    SearchPreferences preferences_;
    Signature space_;
    bool xyzPcs_ = false;
    std::vector<std::string> channels_;
};

// The method as --method names it ("de76", "de94", "de2000", "cam02"), which every
// machine-readable output uses.
const char* methodName(int method);
