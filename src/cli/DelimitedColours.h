#pragma once

#include "ColourList.h"

#include <string>

// A CSV or TSV colour library: a header row naming a name column and L, a, b columns (or L, C, h),
// then one colour a row. Header names are matched without regard to case, blanks, "*" and "°", so
// "L*", "l" and "LAB_L" all name L*. Fields may be quoted ("..." with "" for a quote). Blank rows
// and rows starting with "#" are passed over. delimiter 0 chooses from the header: a tab, else a
// semicolon when there are at least as many as commas, else a comma. Away from commas, a decimal
// comma is read as a point.
ColourList readDelimitedColours(const std::string& content, const std::string& source,
                                char delimiter = 0);
