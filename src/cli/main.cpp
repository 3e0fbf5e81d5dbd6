// tintora-cli: Tintora's colour library and search on the command line, without a window.

#include "BatchMatch.h"
#include "ConvertCommand.h"
#include "MatchCommand.h"
#include "ProfileInfo.h"
#include "SpotMatcher.h"

#include <tintora/version.h>

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>

namespace {

// --black: "fixed=N", a plain N, "min", "max" or "free".
bool readBlackGeneration(const std::string& text, SearchPreferences& preferences) {
    const std::map<std::string, BlackGeneration> modes{{"min", BlackGeneration::Minimum},
                                                       {"max", BlackGeneration::Maximum},
                                                       {"free", BlackGeneration::Free}};
    if (const auto mode = modes.find(text); mode != modes.end()) {
        preferences.press.black = mode->second;
        return true;
    }
    const std::string number = text.rfind("fixed=", 0) == 0 ? text.substr(6) : text;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !(value >= 0) ||
        value > 100)
        return false;
    preferences.press.black = BlackGeneration::Fixed;
    preferences.black = value;
    return true;
}

const CLI::Validator blackGeneration(
    [](std::string& text) {
        SearchPreferences preferences;
        return readBlackGeneration(text, preferences)
                   ? std::string()
                   : "give fixed=N (N from 0 to 100), min, max or free, not '" + text + "'";
    },
    "fixed=N|min|max|free");

// --lock: a channel letter, '=', and a value in the channel's range.
ChannelLock readLock(const std::string& text) {
    ChannelLock lock{text.substr(0, text.find('=')), -1};
    const std::string number = text.substr(std::min(text.size(), lock.channel.size() + 1));
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), lock.value);
    if (error != std::errc() || end != number.data() + number.size())
        lock.value = -1;
    return lock;
}

const CLI::Validator channelLock(
    [](std::string& text) {
        const ChannelLock lock = readLock(text);
        const bool bytes = lock.channel == "R" || lock.channel == "G" || lock.channel == "B";
        const bool percent = lock.channel == "C" || lock.channel == "M" || lock.channel == "Y" ||
                             lock.channel == "K";
        if (!bytes && !percent)
            return "give a channel C, M, Y, K, R, G or B, '=' and a value, not '" + text + "'";
        if (!(lock.value >= 0) || lock.value > (bytes ? 255 : 100))
            return "the value of " + lock.channel + " goes from 0 to " + (bytes ? "255" : "100 %") +
                   ", not '" + text + "'";
        return std::string();
    },
    "CHANNEL=VALUE");

int runMatchCommand(BatchOptions& batch, const CLI::Option& library, bool reference,
                    const std::string& results, const std::string& inputFormat) {
    if (!library && !reference) {
        std::cerr << "tintora-cli match: give -L, -a and -b, or a colour library\n";
        return batchFailed;
    }
    std::ofstream file;
    if (results != "-") {
        file.open(results, std::ios::binary);
        if (!file) {
            std::cerr << "tintora-cli: cannot write '" << results << "': " << std::strerror(errno)
                      << "\n";
            return batchFailed;
        }
    }
    std::ostream& out = results == "-" ? std::cout : file;
    batch.inputFormat = inputFormatNamed(inputFormat);
    batch.progress = isatty(fileno(stderr)) != 0;
    int status;
    if (library) {
        status = runBatchMatch(batch, std::cin, out, std::cerr);
    } else if (batch.match.format == "cgats" || batch.match.format == "html") {
        // A single reference as a library of one.
        ColourList list;
        const double lab[3] = {batch.match.L, batch.match.a, batch.match.b};
        list.add("reference", lab, "command line");
        status = matchColourList(batch, list, out, std::cerr);
    } else {
        status = runMatch(batch.match, out, std::cerr);
    }
    out.flush();
    if (file.is_open() && !file) {
        std::cerr << "tintora-cli: cannot write '" << results << "'\n";
        return batchFailed;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"tintora-cli " TINTORA_VERSION
                 ": spot colour search in ICC output profiles, without the window"};
    app.set_version_flag("--version", std::string("tintora-cli ") + TINTORA_VERSION);
    app.require_subcommand(1);

    std::string profilePath;
    bool json = false;
    CLI::App* info = app.add_subcommand(
        "info", "Show a profile's header fields, its tag table (shared data marked), its "
                "description, how far its header is valid and whether its required tags are "
                "present");
    info->add_option("PROFILE", profilePath, "ICC profile file")->required();
    info->add_flag("--json", json, "Write the information as JSON");

    std::string outputProfile;
    int intent = 3;
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert device values to L*a*b* through a profile, as the window does: one "
                   "colour a line on standard input (CMYK and CMY in percent, RGB in 0..255, "
                   "separated by blanks or commas), \"L a b\" a line on standard output");
    convert->add_option("-o,--profile", outputProfile, "Output ICC profile")->required();
    convert
        ->add_option("--intent", intent,
                     "Rendering intent: 0 perceptual, 1 relative colorimetric, 2 saturation, "
                     "3 absolute colorimetric")
        ->check(CLI::Range(0, 3))
        ->capture_default_str();

    BatchOptions batch;
    MatchOptions& match = batch.match;
    CLI::App* matchCommand = app.add_subcommand(
        "match", "Search the device values that reproduce an L*a*b* reference in an output "
                 "profile, as the window does, and show the result: device values, achieved "
                 "colour, differences, total and whether the reference is out of gamut. Give "
                 "either -L, -a and -b, or a colour library (CSV or TSV, CGATS.17, CxF3 or a named "
                 "colour profile) to match every colour in it. Exit status: 0 all matched, 1 "
                 "nothing matched (unreadable library or profile), 2 some lines, rows or "
                 "elements of the library skipped");
    matchCommand->add_option("-o,--profile", match.profilePath, "Output ICC profile")->required();
    CLI::Option* library = matchCommand->add_option("LIBRARY", batch.input,
                                                    "Colour library file, - for standard input");
    CLI::Option* optionL = matchCommand->add_option("-L", match.L, "Reference L*")
                               ->check(CLI::Range(0.0, 100.0))
                               ->excludes(library);
    CLI::Option* optionA = matchCommand->add_option("-a", match.a, "Reference a*")
                               ->check(CLI::Range(-128.0, 128.0))
                               ->excludes(library);
    CLI::Option* optionB = matchCommand->add_option("-b", match.b, "Reference b*")
                               ->check(CLI::Range(-128.0, 128.0))
                               ->excludes(library);
    std::string inputFormat = "auto";
    matchCommand
        ->add_option("--input-format", inputFormat,
                     "Library format; auto detects it from the content and the extension")
        ->check(CLI::IsMember({"auto", "csv", "tsv", "cgats", "cxf", "icc"}))
        ->capture_default_str();
    std::string results = "-";
    matchCommand
        ->add_option("--results", results, "Write the results to this file, - for standard output")
        ->capture_default_str();
    matchCommand->add_flag("-q,--quiet", batch.quiet,
                           "No progress bar, and for CSV no summary line on standard error");
    matchCommand
        ->add_option("-j,--jobs", batch.jobs,
                     "Colours of a library matched at once; 0, one for each core")
        ->check(CLI::Range(0, 1024))
        ->capture_default_str();
    matchCommand
        ->add_option("--intent", match.intent,
                     "Rendering intent: 0 perceptual, 1 relative colorimetric, 2 saturation, "
                     "3 absolute colorimetric")
        ->check(CLI::Range(0, 3))
        ->capture_default_str();
    const std::map<std::string, int> preserves{
        {"hue", 0}, {"chroma", 1}, {"lightness", 2}, {"none", 3}};
    matchCommand
        ->add_option("--preserve", match.preferences.preserve,
                     "What to preserve first when the reference is out of gamut")
        ->transform(CLI::CheckedTransformer(preserves))
        ->default_str("hue");
    matchCommand
        ->add_option("--strength", match.preferences.strength,
                     "How strongly to preserve it, 0 to 4")
        ->check(CLI::Range(0, 4))
        ->capture_default_str();
    matchCommand
        ->add_option("--emphasis", match.preferences.priority,
                     "Then emphasize, 0 to 4: 0 the second of the other two components (in the "
                     "order L, C, h), 4 the first, 2 both alike")
        ->check(CLI::Range(0, 4))
        ->capture_default_str();
    std::string black = "fixed=0";
    matchCommand
        ->add_option("--black", black,
                     "Black generation of a CMYK profile: fixed=N (or N) holds K at N percent; "
                     "min and max take the least and the most K whose total difference is within "
                     "0.5 of the best; free searches K like C, M and Y")
        ->check(blackGeneration)
        ->capture_default_str();
    matchCommand
        ->add_option("--ink-limit", match.preferences.press.inkLimit,
                     "Total ink limit of a CMYK or CMY answer, percent; 0 for none")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    matchCommand
        ->add_option("--black-limit", match.preferences.press.blackLimit,
                     "The most K of a CMYK answer, percent")
        ->check(CLI::Range(0.0, 100.0))
        ->capture_default_str();
    std::vector<std::string> locks;
    matchCommand
        ->add_option("--lock", locks,
                     "Hold a channel at a value, such as C=0 or K=20 (percent; R, G, B 0 to 255); "
                     "repeatable")
        ->check(channelLock);
    std::map<std::string, int> methods;
    for (int method = 0; method < 4; ++method)
        methods[methodName(method)] = method;
    matchCommand->add_option("--method", match.preferences.method, "Colour-difference method")
        ->transform(CLI::CheckedTransformer(methods))
        ->default_str("cam02");
    double tolerance = 0;
    const CLI::Option* toleranceOption =
        matchCommand
            ->add_option("--tolerance", tolerance,
                         "Largest total difference that passes, with the chosen method; each "
                         "result then passes or fails (its total as shown, with one decimal) and "
                         "the summary counts them")
            ->check(CLI::NonNegativeNumber);
    matchCommand->add_option("--format", match.format, "Output format")
        ->check(CLI::IsMember({"text", "csv", "cgats", "json", "html"}))
        ->capture_default_str();

    CLI11_PARSE(app, argc, argv);
    readBlackGeneration(black, match.preferences);
    if (*toleranceOption)
        match.tolerance = tolerance;
    for (const std::string& lock : locks)
        match.locks.push_back(readLock(lock));

    if (info->parsed())
        return runProfileInfo(profilePath, json, std::cout, std::cerr);
    if (convert->parsed())
        return runConvert(outputProfile, intent, std::cin, std::cout, std::cerr);
    if (matchCommand->parsed())
        return runMatchCommand(batch, *library, *optionL && *optionA && *optionB, results,
                               inputFormat);
    return 0;
}
