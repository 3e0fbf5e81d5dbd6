// libFuzzer target: arbitrary bytes as a colour library in each of the formats `match` reads.
// Every colour that comes back must be named, lie inside the reference limits and say where it
// came from.

#include "CgatsColours.h"
#include "CxfColours.h"
#include "DelimitedColours.h"
#include "NamedColourProfile.h"
#include "csLog.h"

#include <cstdlib>
#include <string>

namespace {

void check(const ColourList& list) {
    for (const SpotColour& colour : list.colours)
        if (colour.name.empty() || colour.origin.empty() || !(colour.lab[0] >= 0) ||
            !(colour.lab[0] <= 100) || !(colour.lab[1] >= -128) || !(colour.lab[1] <= 128) ||
            !(colour.lab[2] >= -128) || !(colour.lab[2] <= 128))
            std::abort();
    if (list.failed() && !list.colours.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    check(readDelimitedColours(text, "f"));
    check(readDelimitedColours(text, "f", '\t'));
    check(readCgatsColours(text, "f"));
    check(readCxfColours(text, "f"));
    check(readNamedColourProfile(data, size, "f"));
    clearLog();
    return 0;
}
