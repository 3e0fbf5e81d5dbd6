#include "MatchCommand.h"

#include "ColourDifference.h"
#include "ConverterIntent.h"
#include "DeviceToLab.h"
#include "ProfileChecks.h"
#include "ProfileFile.h"
#include "ResultFigures.h"
#include "VariationOptimizer.h"
#include "ViewingConditions.h"
#include "csContext.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <vector>

namespace {

int refuse(const BindingMessage& message, std::ostream& errors, bool withLog) {
    errors << message.message() << "\n";
    if (withLog)
        writeLog(errors);
    clearLog();
    return 1;
}

std::vector<std::string> channelNames(Signature space) {
    if (space == Signature("CMYK"))
        return {"C", "M", "Y", "K"};
    if (space == Signature("RGB "))
        return {"R", "G", "B"};
    return {"C", "M", "Y"};
}

void writeText(std::ostream& out, const std::vector<std::string>& channels,
               const SpotSearchResult& result, const ResultFigures& f, const std::string& label) {
    out << "device   ";
    for (std::size_t c = 0; c < channels.size(); ++c)
        out << ' ' << channels[c] << ' ' << fieldText(result.device[c], 2);
    out << "\nachieved  L* " << fieldText(f.L, 2) << "  a* " << fieldText(f.a, 2) << "  b* "
        << fieldText(f.b, 2) << "  C* " << fieldText(f.C, 2) << "  h " << fieldText(f.h, 2)
        << "\ndelta     \u0394L " << deltaText(f.dL) << "  \u0394a " << deltaText(f.da)
        << "  \u0394b " << deltaText(f.db) << "  \u0394C " << deltaText(f.dC) << "  \u0394H "
        << deltaText(f.dH) << "\ntotal     " << label << ' ' << deltaText(f.total) << "\n";
    if (result.outOfGamut)
        out << "Out of gamut!\n";
}

void writeCsv(std::ostream& out, const std::vector<std::string>& channels,
              const SpotSearchResult& result, const ResultFigures& f, const std::string& label) {
    for (const std::string& channel : channels)
        out << channel << ',';
    out << "L*,a*,b*,C*,h,\u0394L,\u0394a,\u0394b,\u0394C,\u0394H,total,method,outOfGamut\n";
    for (std::size_t c = 0; c < channels.size(); ++c)
        out << fieldText(result.device[c], 2) << ',';
    for (double v : {f.L, f.a, f.b, f.C, f.h})
        out << fieldText(v, 2) << ',';
    for (double v : {f.dL, f.da, f.db, f.dC, f.dH, f.total})
        out << deltaText(v) << ',';
    out << label << ',' << (result.outOfGamut ? "true" : "false") << "\n";
}

void writeJson(std::ostream& out, std::size_t channels, const SpotSearchResult& result,
               const ResultFigures& f, const std::string& label) {
    nlohmann::ordered_json json;
    json["device"] = std::vector<double>(result.device, result.device + channels);
    json["achieved"] = {{"L", f.L}, {"a", f.a}, {"b", f.b}, {"C", f.C}, {"h", f.h}};
    json["delta"] = {{"L", f.dL}, {"a", f.da}, {"b", f.db}, {"C", f.dC}, {"H", f.dH}};
    json["total"] = f.total;
    json["method"] = label;
    json["outOfGamut"] = result.outOfGamut;
    out << json.dump(2) << "\n";
}

} // namespace

int runMatch(const MatchOptions& options, std::ostream& out, std::ostream& errors) {
    clearLog();
    csICCProfile profile;
    std::FILE* file = std::fopen(options.profilePath.c_str(), "rb");
    if (file == nullptr)
        return refuse(openFailure(options.profilePath), errors, false);
    const int read = profile.setProfile(file);
    std::fclose(file);
    if (read != 0)
        return refuse(readFailure(options.profilePath), errors, true);
    if (const auto refusal = profileRefusal(profile, true))
        return refuse(*refusal, errors, false);

    // Bound as the window binds it: prepared with the combo index as the intent, then the intent
    // applied through the intent table and prepared again.
    csICCProfileConverter converter(&profile, 0, static_cast<unsigned>(options.intent), 0);
    if (converter.prepare() != 0)
        return refuse(preparationFailure(), errors, true);
    const ConverterIntent mapped = converterIntentForIndex(options.intent);
    converter.setWhiteMode(mapped.whiteMode);
    converter.setIntent(mapped.intent);
    if (converter.prepare() != 0) {
        // The window goes on with the converter as it stands; so does the search here.
        errors << "prepare() failed, intent " << options.intent << "\n";
        writeLog(errors);
    }
    clearLog();

    csContext context;
    setWindowViewingConditions(context);
    VariationOptimizer optimizer;
    const Signature space = profile.header().colorSpace();
    const double reference[3] = {options.L, options.a, options.b};
    const SpotSearchResult result =
        searchSpotColour(optimizer, converter, space, profile.header().pcs() == Signature("XYZ "),
                         context, reference, options.preferences);
    const ResultFigures figures =
        resultFigures(reference, result.achieved, options.preferences.method, context);
    const std::string label = differenceLabel(options.preferences.method);

    const std::vector<std::string> channels = channelNames(space);
    if (options.format == "json")
        writeJson(out, channels.size(), result, figures, label);
    else if (options.format == "csv")
        writeCsv(out, channels, result, figures, label);
    else
        writeText(out, channels, result, figures, label);
    return 0;
}
