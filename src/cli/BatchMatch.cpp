#include "BatchMatch.h"

#include "BatchHtml.h"
#include "BatchOutput.h"
#include "ProgressBar.h"
#include "SpotMatcher.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

std::string spaceName(Signature space) {
    if (space == Signature("CMYK"))
        return "CMYK";
    if (space == Signature("RGB "))
        return "RGB";
    return "CMY";
}

// Matches every colour of the list into rows, in the list's order. The first worker uses matcher;
// each further one binds the profile again for itself (the searches keep state of their own), up
// to the jobs asked for or one per core, and no more than there are colours.
void matchAll(const BatchOptions& options, const ColourList& list,
              std::unique_ptr<SpotMatcher> matcher, std::vector<BatchRow>& rows,
              std::ostream& errors) {
    const std::size_t count = list.colours.size();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted =
        std::min<std::size_t>(options.jobs > 0 ? options.jobs : cores, count);
    std::vector<std::unique_ptr<SpotMatcher>> matchers;
    matchers.push_back(std::move(matcher));
    const MatchOptions& match = options.match;
    for (std::size_t w = 1; w < wanted; ++w) {
        std::ostringstream quiet; // the first binding said whatever there was to say
        auto another = SpotMatcher::bind(match.profilePath, match.intent, match.preferences, quiet,
                                         match.locks);
        if (!another)
            break;
        matchers.push_back(std::move(another));
    }

    rows.resize(count);
    ProgressBar progress(errors, count, options.progress && !options.quiet);
    std::mutex drawing;
    std::atomic<std::size_t> next{0};
    const auto work = [&](SpotMatcher& own) {
        for (std::size_t i; (i = next++) < count;) {
            rows[i] = {list.colours[i], own.match(list.colours[i].lab)};
            const std::lock_guard<std::mutex> lock(drawing);
            progress.advance();
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t w = 1; w < matchers.size(); ++w)
        workers.emplace_back(work, std::ref(*matchers[w]));
    work(*matchers[0]);
    for (std::thread& worker : workers)
        worker.join();
}

} // namespace

int matchColourList(const BatchOptions& options, const ColourList& list, std::ostream& out,
                    std::ostream& errors) {
    const MatchOptions& match = options.match;
    auto matcher =
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
    matchAll(options, list, std::move(matcher), report.rows, errors);
    report.summary = summarize(report.rows, list.problems.size(), match.tolerance);

    if (match.format == "json") {
        writeBatchJson(out, report);
    } else if (match.format == "cgats") {
        writeBatchCgats(out, report);
    } else if (match.format == "html") {
        writeBatchHtml(out, report);
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
