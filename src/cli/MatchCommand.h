#pragma once

#include "SpotMatcher.h"
#include "SpotSearch.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct MatchOptions {
    std::string profilePath;
    double L = 50, a = 0, b = 0;
    int intent = 3; // the window's combo index: 3 is absolute colorimetric
    SearchPreferences preferences;
    std::vector<ChannelLock> locks;
    std::string format = "text";     // text, csv or json
    std::optional<double> tolerance; // a total that withinTolerance passes; none by default
};

// `tintora-cli match`: binds the output profile as the window does (same checks, same messages,
// same intent handling), searches the reference with the preferences, and writes what the window
// would show: the device values, the achieved colour, the differences, the total and whether the
// reference is out of gamut. Returns 0, or 1 when the profile is refused.
int runMatch(const MatchOptions& options, std::ostream& out, std::ostream& errors);
