#include "BatchMatch.h"

#include "BatchOutput.h"
#include "ProgressBar.h"
#include "SpotMatcher.h"

namespace {

std::string spaceName(Signature space) {
    if (space == Signature("CMYK"))
        return "CMYK";
    if (space == Signature("RGB "))
        return "RGB";
    return "CMY";
}

} // namespace

int matchColourList(const BatchOptions& options, const ColourList& list, std::ostream& out,
                    std::ostream& errors) {
    const MatchOptions& match = options.match;
    const auto matcher =
        SpotMatcher::bind(match.profilePath, match.intent, match.preferences, errors, match.locks);
    if (!matcher)
        return batchFailed;

    BatchReport report;
    report.profilePath = match.profilePath;
    report.preferences = matcher->preferences();
    report.intent = match.intent;
    report.channels = matcher->channels();
    report.colourSpace = spaceName(matcher->colourSpace());
    report.methodLabel = matcher->methodLabel();
    report.methodName = methodName(match.preferences.method);
    report.notes = list.notes;
    report.problems = list.problems;
    report.rows.reserve(list.colours.size());
    {
        ProgressBar progress(errors, list.colours.size(), options.progress && !options.quiet);
        for (const SpotColour& colour : list.colours) {
            report.rows.push_back({colour, matcher->match(colour.lab)});
            progress.advance();
        }
    }
    report.summary = summarize(report.rows, list.problems.size());

    if (match.format == "json") {
        writeBatchJson(out, report);
    } else if (match.format == "cgats") {
        writeBatchCgats(out, report);
    } else if (match.format == "csv") {
        writeBatchCsv(out, report);
        // CSV stays a plain table; what it cannot hold goes with the messages.
        for (const std::string& note : report.notes)
            errors << "note: " << note << "\n";
        if (!options.quiet)
            errors << summaryLine(report.summary, report.methodLabel) << "\n";
    } else {
        writeBatchText(out, report);
    }
    out.flush();
    return list.problems.empty() ? batchConverted : batchSkippedSome;
}

int runBatchMatch(const BatchOptions& options, std::istream& in, std::ostream& out,
                  std::ostream& errors) {
    const ColourList list = readColourLibrary(options.input, options.inputFormat, in);
    if (list.failed()) {
        errors << "tintora-cli: " << list.failure << "\n";
        return batchFailed;
    }
    for (const std::string& problem : list.problems)
        errors << problem << " (skipped)\n";
    return matchColourList(options, list, out, errors);
}
