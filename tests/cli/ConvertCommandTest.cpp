#include "ConvertCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

const std::string cmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

// Blanks, tabs and commas separate the values; empty lines are passed over; a line that is not a
// colour of the profile's channels in range is reported with its number and skipped. (The
// numbers themselves are the window's device-to-Lab path, which the converter oracles check.)
TEST(ConvertCommand, ReadsColoursReportsBadLinesAndWritesLab) {
    std::istringstream good("0 0 0 0\n100,0,0,0\n\n  50, 50 50\t50\n");
    std::ostringstream out, errors;
    EXPECT_EQ(runConvert(cmyk, 1, good, out, errors), 0);
    EXPECT_EQ(errors.str(), "");
    const std::string lab = out.str();
    EXPECT_EQ(lab.substr(0, 23), "100.0000 0.0000 0.0000\n") << "paper white, relative";
    EXPECT_EQ(std::count(lab.begin(), lab.end(), '\n'), 3);

    std::istringstream bad("0 0 0 0\nabc\n1 2 3\n101 0 0 0\n10 10 10 10\n");
    std::ostringstream some, reported;
    EXPECT_EQ(runConvert(cmyk, 0, bad, some, reported), 1);
    const std::string kept = some.str();
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 2);
    EXPECT_EQ(reported.str(), "line 2: expected 4 values from 0 to 100, got \"abc\"\n"
                              "line 3: expected 4 values from 0 to 100, got \"1 2 3\"\n"
                              "line 4: expected 4 values from 0 to 100, got \"101 0 0 0\"\n");
}

} // namespace
