#pragma once

#include <cstdint>
#include <ostream>
#include <string>

class csICCProfile;

// `tintora-cli info PROFILE`: the header fields, the tag table, the description, the validity
// level and whether the required tags are present, as text or as JSON. Returns the exit status:
// 0, or 1 when the file cannot be read (one line on errors, then the library's log).
int runProfileInfo(const std::string& path, bool json, std::ostream& out, std::ostream& errors);

// A rendering intent's name, as the header numbers intents (and the intent combo too):
// "perceptual", "relative colorimetric", "saturation", "absolute colorimetric"; otherwise
// "unknown".
const char* intentName(std::uint32_t intent);

// The profile's description: the ASCII text of a "desc" tag, or the first record of an "mluc"
// one (in UTF-8); empty when the profile has neither.
std::string profileDescription(const csICCProfile& profile);
