#pragma once

#include <istream>
#include <ostream>
#include <string>

// `tintora-cli convert -o PROFILE [--intent 0|1|2|3]`: device values from in, one colour a line
// (CMYK and CMY in percent, RGB in 0..255, separated by blanks or commas), to "L a b" with four
// decimals a line on out, through the window's own device-to-Lab path. Intent 3 is relative
// colorimetric with the absolute white mode. A line that is not a colour is reported on errors
// with its number and skipped. The profile is bound as the window binds it, with the same checks
// and messages. Returns 0, or 1 when the profile cannot be used or a line was
// skipped.
int runConvert(const std::string& profilePath, int intent, std::istream& in, std::ostream& out,
               std::ostream& errors);
