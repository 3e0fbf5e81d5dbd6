#include "MatchCommand.h"

#include "BatchOutput.h"
#include "ResultFigures.h"
#include "SpotMatcher.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace {

void writeText(std::ostream& out, const std::vector<std::string>& channels,
               const SpotSearchResult& result, const ResultFigures& f, const std::string& label,
               std::optional<double> tolerance) {
    out << "device   ";
    for (std::size_t c = 0; c < channels.size(); ++c)
        out << ' ' << channels[c] << ' ' << fieldText(result.device[c], 2);
    if (hasCoverage(channels))
        out << "\ncoverage  " << fieldText(result.coverage, 2) << " %";
    out << "\nachieved  L* " << fieldText(f.L, 2) << "  a* " << fieldText(f.a, 2) << "  b* "
        << fieldText(f.b, 2) << "  C* " << fieldText(f.C, 2) << "  h " << fieldText(f.h, 2)
        << "\ndelta     \u0394L " << deltaText(f.dL) << "  \u0394a " << deltaText(f.da)
        << "  \u0394b " << deltaText(f.db) << "  \u0394C " << deltaText(f.dC) << "  \u0394H "
        << deltaText(f.dH) << "\ntotal     " << label << ' ' << deltaText(f.total);
    if (tolerance)
        out << "  " << (withinTolerance(f.total, *tolerance) ? "within" : "outside")
            << " tolerance " << toleranceText(*tolerance);
    out << "\n";
    if (result.outOfGamut)
        out << "Out of gamut!\n";
    if (result.nearNeutral)
        out << nearNeutralNote << "\n";
}

void writeCsv(std::ostream& out, const std::vector<std::string>& channels,
              const SpotSearchResult& result, const ResultFigures& f, const std::string& method,
              std::optional<double> tolerance) {
    for (const std::string& channel : channels)
        out << channel << ',';
    if (hasCoverage(channels))
        out << "coverage,";
    out << "L*,a*,b*,C*,h,\u0394L,\u0394a,\u0394b,\u0394C,\u0394H,total,method,outOfGamut,"
           "nearNeutral"
        << (tolerance ? ",tolerance,pass\n" : "\n");
    for (std::size_t c = 0; c < channels.size(); ++c)
        out << fieldText(result.device[c], 2) << ',';
    if (hasCoverage(channels))
        out << fieldText(result.coverage, 2) << ',';
    for (double v : {f.L, f.a, f.b, f.C, f.h})
        out << fieldText(v, 2) << ',';
    for (double v : {f.dL, f.da, f.db, f.dC, f.dH, f.total})
        out << deltaText(v) << ',';
    out << method << ',' << (result.outOfGamut ? "true" : "false") << ','
        << (result.nearNeutral ? "true" : "false");
    if (tolerance)
        out << ',' << toleranceText(*tolerance) << ','
            << (withinTolerance(f.total, *tolerance) ? "true" : "false");
    out << "\n";
}

void writeJson(std::ostream& out, const std::vector<std::string>& channels,
               const SpotSearchResult& result, const ResultFigures& f, const std::string& method,
               const SearchPreferences& preferences, std::optional<double> tolerance) {
    nlohmann::ordered_json json;
    // Keyed by channel, as in the results of a library.
    nlohmann::ordered_json device = nlohmann::ordered_json::object();
    for (std::size_t c = 0; c < channels.size(); ++c)
        device[channels[c]] = result.device[c];
    json["device"] = device;
    if (hasCoverage(channels))
        json["coverage"] = result.coverage;
    json["achieved"] = {{"L", f.L}, {"a", f.a}, {"b", f.b}, {"C", f.C}, {"h", f.h}};
    json["delta"] = {{"L", f.dL}, {"a", f.da}, {"b", f.db}, {"C", f.dC}, {"H", f.dH}};
    json["total"] = f.total;
    json["method"] = method;
    json["constraints"] = constraintsJson(preferences, channels);
    json["outOfGamut"] = result.outOfGamut;
    json["nearNeutral"] = result.nearNeutral;
    if (tolerance) {
        json["tolerance"] = *tolerance;
        json["pass"] = withinTolerance(f.total, *tolerance);
    }
    out << json.dump(2) << "\n";
}

} // namespace

int runMatch(const MatchOptions& options, std::ostream& out, std::ostream& errors) {
    const auto matcher = SpotMatcher::bind(options.profilePath, options.intent, options.preferences,
                                           errors, options.locks);
    if (!matcher)
        return 1;
    const double reference[3] = {options.L, options.a, options.b};
    const SpotMatch match = matcher->match(reference);
    // Machine-readable outputs name the method as --method does; text shows the total's label.
    const std::string name = methodName(options.preferences.method);
    if (options.format == "json")
        writeJson(out, matcher->channels(), match.result, match.figures, name,
                  matcher->preferences(), options.tolerance);
    else if (options.format == "csv")
        writeCsv(out, matcher->channels(), match.result, match.figures, name, options.tolerance);
    else
        writeText(out, matcher->channels(), match.result, match.figures, matcher->methodLabel(),
                  options.tolerance);
    return 0;
}
