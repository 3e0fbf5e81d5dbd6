#pragma once

#include "ColourList.h"
#include "SpotMatcher.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// One library colour and what the search made of it.
struct BatchRow {
    SpotColour colour;
    SpotMatch match;
};

struct BatchSummary {
    std::size_t count = 0, outOfGamut = 0, skipped = 0;
    std::optional<double> tolerance;
    std::size_t passed = 0; // within the tolerance, when there is one
    double largestTotal = 0;
    std::string largestName; // of the first colour with the largest total
};

// Everything a batch writes: the rows, what was noted and skipped on reading, and how the
// profile was bound.
struct BatchReport {
    SearchPreferences preferences; // the press constraints among them
    std::string profilePath;
    int intent = 3;
    std::vector<std::string> channels; // as SpotMatcher::channels
    std::string colourSpace;           // "CMYK", "RGB" or "CMY"
    std::string methodLabel;           // such as U+0394 "E00"
    std::string methodName;            // the --method value, such as "de2000"
    std::vector<std::string> notes;
    std::vector<std::string> problems;
    std::vector<BatchRow> rows;
    BatchSummary summary;
};

// Whether the answers of a colour space have a total coverage (CMYK and CMY).
inline bool hasCoverage(const std::vector<std::string>& channels) {
    return !channels.empty() && channels[0] != "R";
}

// The press constraints as JSON: inkLimit (0, none), blackLimit, black ("fixed" with blackValue,
// "min", "max" or "free"; CMYK only) and the locks by channel.
nlohmann::ordered_json constraintsJson(const SearchPreferences& preferences,
                                       const std::vector<std::string>& channels);

// A tolerance as given, in its shortest form ("2", "1.5"), whatever the locale.
std::string toleranceText(double tolerance);

// "fixed=40", "min", "max" or "free", as --black takes it.
std::string blackGenerationName(const SearchPreferences& preferences);

BatchSummary summarize(const std::vector<BatchRow>& rows, std::size_t skipped,
                       std::optional<double> tolerance = std::nullopt);

// "12 colours, 3 out of gamut, 10 within tolerance 2.0, 2 outside, largest ΔE00 4.2 (Reflex
// Blue), 2 skipped"; the totals with one decimal as the results show them; the tolerance part
// only with a tolerance, the skipped part only when something was.
std::string summaryLine(const BatchSummary& summary, const std::string& methodLabel);

// The column names of the device values in CSV and CGATS output, such as "CMYK_C".
std::vector<std::string> deviceFieldNames(const BatchReport& report);

// Text: the notes, a table with one colour a line, and the summary line. Device values, L*a*b*
// with two decimals and differences with one, as the window shows them.
void writeBatchText(std::ostream& out, const BatchReport& report);
// CSV with a header row; names quoted where they need it. Notes and summary are not part of it.
void writeBatchCsv(std::ostream& out, const BatchReport& report);
// CGATS.17 with SAMPLE_ID, SAMPLE_NAME, LAB_L, LAB_A, LAB_B (the reference), the device fields
// and the results as declared keywords; notes and the summary as comments.
void writeBatchCgats(std::ostream& out, const BatchReport& report);
// JSON: profile, intent, method, notes, colours, skipped and summary; numbers unrounded.
void writeBatchJson(std::ostream& out, const BatchReport& report);

// Whether the row's total passes the summary's tolerance, as withinTolerance judges it; false
// without a tolerance.
bool passes(const BatchSummary& summary, const BatchRow& row);
