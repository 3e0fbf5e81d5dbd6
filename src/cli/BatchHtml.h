#pragma once

#include "BatchOutput.h"

#include <ostream>

// One self-contained HTML file (no external files, no scripts): the profile, intent, preferences,
// constraints and tolerance; one row per colour with the reference and the achieved colour as
// swatches through the packaged sRGB profile (a colour sRGB cannot show is hatched and says so),
// the device values, the differences, the total with a bar, pass or fail and the out-of-gamut
// mark; then the summary with a histogram of the totals as shown.
void writeBatchHtml(std::ostream& out, const BatchReport& report);
