#pragma once

#include "ColourInput.h"
#include "MatchCommand.h"

#include <istream>
#include <ostream>
#include <string>

// Exit statuses of a batch: everything converted, nothing converted (the library or the profile
// could not be used), or converted with some lines, rows or elements skipped.
constexpr int batchConverted = 0;
constexpr int batchFailed = 1;
constexpr int batchSkippedSome = 2;

struct BatchOptions {
    MatchOptions match; // profile, intent, preferences and output format
    std::string input;  // library file, "-" for standard input
    InputFormat inputFormat = InputFormat::Auto;
    bool progress = false; // draw a progress bar on errors (a terminal)
    bool quiet = false;    // no progress bar, no summary on errors for CSV
    unsigned jobs = 0;     // colours matched at once; 0, one per core
};

// `tintora-cli match` with a colour library: reads it, reports each skipped line, row or element
// on errors, searches every colour (several at once, each worker with a profile bound for it
// alone; the results are those of one colour after the other) and writes the results in the
// chosen format, in the library's order. Returns one of the batch statuses above.
int runBatchMatch(const BatchOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& errors);

// Writes an already read list of colours as a batch would; the single-reference `match` uses this
// for CGATS output.
int matchColourList(const BatchOptions& options, const ColourList& list, std::ostream& out,
                    std::ostream& errors);
