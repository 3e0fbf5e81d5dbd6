#pragma once

#include <ostream>
#include <string>

class csICCProfile;

// `tintora-cli info PROFILE`: the header fields, the tag table, the description, the validity
// level and whether the required tags are present, as text or as JSON. Returns the exit status:
// 0, or 1 when the file cannot be read (one line on errors, then the library's log).
int runProfileInfo(const std::string& path, bool json, std::ostream& out, std::ostream& errors);

// The profile's description: the ASCII text of a "desc" tag, or the first record of an "mluc"
// one (in UTF-8); empty when the profile has neither.
std::string profileDescription(const csICCProfile& profile);
