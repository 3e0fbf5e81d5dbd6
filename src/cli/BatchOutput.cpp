#include "BatchOutput.h"

#include <tintora/version.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>

namespace {

// Code points in UTF-8 text, for aligning columns.
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string padLeft(const std::string& text, std::size_t width) {
    const std::size_t shown = displayWidth(text);
    return shown >= width ? text : std::string(width - shown, ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
    const std::size_t shown = displayWidth(text);
    return shown >= width ? text : text + std::string(width - shown, ' ');
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos && trimmed(text) == text)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string cgatsString(const std::string& text) {
    std::string result = "\"";
    for (char c : text)
        result += c == '"' ? '\'' : (c == '\n' || c == '\r' ? ' ' : c);
    return result + '"';
}

const char* const resultFields[] = {"ACHIEVED_L",  "ACHIEVED_A",   "ACHIEVED_B",
                                    "DELTA_L",     "DELTA_C",      "DELTA_H",
                                    "DELTA_TOTAL", "OUT_OF_GAMUT", "NEAR_NEUTRAL"};

} // namespace

std::string toleranceText(double tolerance) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, tolerance).ptr;
    return std::string(text, end);
}

std::string blackGenerationName(const SearchPreferences& preferences) {
    switch (preferences.press.black) {
    case BlackGeneration::Minimum:
        return "min";
    case BlackGeneration::Maximum:
        return "max";
    case BlackGeneration::Free:
        return "free";
    default:
        return "fixed=" + fieldText(preferences.black, 2);
    }
}

nlohmann::ordered_json constraintsJson(const SearchPreferences& preferences,
                                       const std::vector<std::string>& channels) {
    const PressConstraints& press = preferences.press;
    nlohmann::ordered_json json;
    json["inkLimit"] = press.inkLimit;
    if (channels.size() == 4) {
        json["blackLimit"] = press.blackLimit;
        json["black"] =
            press.black == BlackGeneration::Fixed ? "fixed" : blackGenerationName(preferences);
        if (press.black == BlackGeneration::Fixed)
            json["blackValue"] = preferences.black;
    }
    nlohmann::ordered_json locks = nlohmann::ordered_json::object();
    for (std::size_t c = 0; c < channels.size(); ++c)
        if (press.locks[c] >= 0)
            locks[channels[c]] = press.locks[c];
    json["locks"] = locks;
    return json;
}

BatchSummary summarize(const std::vector<BatchRow>& rows, std::size_t skipped,
                       std::optional<double> tolerance) {
    BatchSummary summary;
    summary.count = rows.size();
    summary.skipped = skipped;
    summary.tolerance = tolerance;
    for (const BatchRow& row : rows) {
        summary.outOfGamut += row.match.result.outOfGamut ? 1 : 0;
        summary.passed += passes(summary, row) ? 1 : 0;
        if (summary.largestName.empty() || row.match.figures.total > summary.largestTotal) {
            summary.largestTotal = row.match.figures.total;
            summary.largestName = row.colour.name;
        }
    }
    return summary;
}

std::string summaryLine(const BatchSummary& summary, const std::string& methodLabel) {
    std::string line =
        std::to_string(summary.count) + (summary.count == 1 ? " colour" : " colours");
    line += ", " + std::to_string(summary.outOfGamut) + " out of gamut";
    if (summary.tolerance)
        line += ", " + std::to_string(summary.passed) + " within tolerance " +
                toleranceText(*summary.tolerance) + ", " +
                std::to_string(summary.count - summary.passed) + " outside";
    if (summary.count > 0)
        line += ", largest " + methodLabel + ' ' + deltaText(summary.largestTotal) + " (" +
                summary.largestName + ")";
    if (summary.skipped > 0)
        line += ", " + std::to_string(summary.skipped) + " skipped";
    return line;
}

bool passes(const BatchSummary& summary, const BatchRow& row) {
    return summary.tolerance && withinTolerance(row.match.figures.total, *summary.tolerance);
}

std::vector<std::string> deviceFieldNames(const BatchReport& report) {
    std::vector<std::string> names;
    for (const std::string& channel : report.channels)
        names.push_back(report.colourSpace + '_' + channel);
    return names;
}

void writeBatchText(std::ostream& out, const BatchReport& report) {
    for (const std::string& note : report.notes)
        out << "note: " << note << "\n";
    std::size_t nameWidth = 4;
    for (const BatchRow& row : report.rows)
        nameWidth = std::max(nameWidth, displayWidth(row.colour.name));

    const auto number = [](double value) { return "  " + padLeft(fieldText(value, 2), 7); };
    const auto delta = [](double value) { return "  " + padLeft(deltaText(value), 6); };

    std::string header = padRight("Name", nameWidth);
    for (const char* title : {"ref L*", "ref a*", "ref b*"})
        header += "  " + padLeft(title, 7);
    for (const std::string& channel : report.channels)
        header += "  " + padLeft(channel, 7);
    const bool coverage = hasCoverage(report.channels);
    if (coverage)
        header += "  " + padLeft("TAC", 7);
    for (const char* title : {"L*", "a*", "b*"})
        header += "  " + padLeft(title, 7);
    for (const char* title : {"\u0394L", "\u0394C", "\u0394H"})
        header += "  " + padLeft(title, 6);
    header += "  " + padLeft(report.methodLabel, 6);
    const bool tolerance = report.summary.tolerance.has_value();
    if (tolerance)
        header += "  pass";
    out << header << "\n";

    for (const BatchRow& row : report.rows) {
        const SpotSearchResult& result = row.match.result;
        const ResultFigures& f = row.match.figures;
        std::string line = padRight(row.colour.name, nameWidth);
        for (double v : row.colour.lab)
            line += number(v);
        for (std::size_t c = 0; c < report.channels.size(); ++c)
            line += number(result.device[c]);
        if (coverage)
            line += number(result.coverage);
        for (double v : {f.L, f.a, f.b})
            line += number(v);
        for (double v : {f.dL, f.dC, f.dH, f.total})
            line += delta(v);
        if (tolerance)
            line += passes(report.summary, row) ? "  pass" : "  fail";
        if (result.outOfGamut)
            line += "  Out of gamut!";
        if (result.nearNeutral)
            line += std::string("  ") + nearNeutralNote;
        out << line << "\n";
    }
    out << summaryLine(report.summary, report.methodLabel) << "\n";
}

void writeBatchCsv(std::ostream& out, const BatchReport& report) {
    out << "name,L,a,b";
    for (const std::string& field : deviceFieldNames(report))
        out << ',' << field;
    const bool coverage = hasCoverage(report.channels);
    if (coverage)
        out << ",coverage";
    out << ",achieved_L,achieved_a,achieved_b,dL,dC,dH,total,method,out_of_gamut,near_neutral";
    const std::optional<double> tolerance = report.summary.tolerance;
    out << (tolerance ? ",tolerance,pass\n" : "\n");
    for (const BatchRow& row : report.rows) {
        const ResultFigures& f = row.match.figures;
        out << csvField(row.colour.name);
        for (double v : row.colour.lab)
            out << ',' << fieldText(v, 2);
        for (std::size_t c = 0; c < report.channels.size(); ++c)
            out << ',' << fieldText(row.match.result.device[c], 2);
        if (coverage)
            out << ',' << fieldText(row.match.result.coverage, 2);
        for (double v : {f.L, f.a, f.b})
            out << ',' << fieldText(v, 2);
        for (double v : {f.dL, f.dC, f.dH, f.total})
            out << ',' << deltaText(v);
        out << ',' << report.methodName << ',' << (row.match.result.outOfGamut ? "true" : "false")
            << ',' << (row.match.result.nearNeutral ? "true" : "false");
        if (tolerance)
            out << ',' << toleranceText(*tolerance) << ','
                << (passes(report.summary, row) ? "true" : "false");
        out << "\n";
    }
}

void writeBatchCgats(std::ostream& out, const BatchReport& report) {
    const std::vector<std::string> device = deviceFieldNames(report);
    out << "CGATS.17\n"
        << "ORIGINATOR\t\"tintora-cli " TINTORA_VERSION "\"\n"
        << "DESCRIPTOR\t" << cgatsString("Spot colours matched in " + report.profilePath) << "\n"
        << "KEYWORD\t\"RENDERING_INTENT\"\nRENDERING_INTENT\t" << report.intent << "\n"
        << "KEYWORD\t\"DIFFERENCE_METHOD\"\nDIFFERENCE_METHOD\t\"" << report.methodName << "\"\n";
    const PressConstraints& press = report.preferences.press;
    const bool coverage = hasCoverage(report.channels);
    if (coverage)
        out << "KEYWORD\t\"INK_LIMIT\"\nINK_LIMIT\t" << fieldText(press.inkLimit, 2) << "\n";
    if (report.channels.size() == 4)
        out << "KEYWORD\t\"BLACK_LIMIT\"\nBLACK_LIMIT\t" << fieldText(press.blackLimit, 2)
            << "\nKEYWORD\t\"BLACK_GENERATION\"\nBLACK_GENERATION\t\""
            << blackGenerationName(report.preferences) << "\"\n";
    std::string locks;
    for (std::size_t c = 0; c < report.channels.size(); ++c)
        if (press.locks[c] >= 0)
            locks += (locks.empty() ? "" : " ") + report.channels[c] + '=' +
                     fieldText(press.locks[c], 2);
    out << "KEYWORD\t\"LOCKED_CHANNELS\"\nLOCKED_CHANNELS\t" << cgatsString(locks) << "\n";
    const std::optional<double> tolerance = report.summary.tolerance;
    if (tolerance)
        out << "KEYWORD\t\"TOLERANCE\"\nTOLERANCE\t" << toleranceText(*tolerance)
            << "\nKEYWORD\t\"PASS\"\n";
    for (const std::string& note : report.notes)
        out << "# " << note << "\n";
    for (const char* field : resultFields)
        out << "KEYWORD\t\"" << field << "\"\n";
    if (coverage)
        out << "KEYWORD\t\"TOTAL_COVERAGE\"\n";
    out << "NUMBER_OF_FIELDS\t"
        << 5 + device.size() + (coverage ? 1 : 0) + std::size(resultFields) + (tolerance ? 1 : 0)
        << "\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tSAMPLE_NAME\tLAB_L\tLAB_A\tLAB_B";
    for (const std::string& field : device)
        out << '\t' << field;
    if (coverage)
        out << "\tTOTAL_COVERAGE";
    for (const char* field : resultFields)
        out << '\t' << field;
    if (tolerance)
        out << "\tPASS";
    out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t" << report.rows.size() << "\nBEGIN_DATA\n";
    std::size_t id = 0;
    for (const BatchRow& row : report.rows) {
        const ResultFigures& f = row.match.figures;
        out << ++id << '\t' << cgatsString(row.colour.name);
        for (double v : row.colour.lab)
            out << '\t' << fieldText(v, 2);
        for (std::size_t c = 0; c < report.channels.size(); ++c)
            out << '\t' << fieldText(row.match.result.device[c], 2);
        if (coverage)
            out << '\t' << fieldText(row.match.result.coverage, 2);
        for (double v : {f.L, f.a, f.b})
            out << '\t' << fieldText(v, 2);
        for (double v : {f.dL, f.dC, f.dH, f.total})
            out << '\t' << deltaText(v);
        out << '\t' << (row.match.result.outOfGamut ? 1 : 0) << '\t'
            << (row.match.result.nearNeutral ? 1 : 0);
        if (tolerance)
            out << '\t' << (passes(report.summary, row) ? 1 : 0);
        out << "\n";
    }
    out << "END_DATA\n# " << summaryLine(report.summary, report.methodName) << "\n";
}

void writeBatchJson(std::ostream& out, const BatchReport& report) {
    nlohmann::ordered_json json;
    json["profile"] = report.profilePath;
    json["intent"] = report.intent;
    json["method"] = report.methodName;
    json["constraints"] = constraintsJson(report.preferences, report.channels);
    const std::optional<double> tolerance = report.summary.tolerance;
    if (tolerance)
        json["tolerance"] = *tolerance;
    json["notes"] = report.notes;
    json["colours"] = nlohmann::ordered_json::array();
    for (const BatchRow& row : report.rows) {
        const ResultFigures& f = row.match.figures;
        nlohmann::ordered_json colour;
        colour["name"] = row.colour.name;
        colour["origin"] = row.colour.origin;
        colour["reference"] = {
            {"L", row.colour.lab[0]}, {"a", row.colour.lab[1]}, {"b", row.colour.lab[2]}};
        nlohmann::ordered_json device;
        for (std::size_t c = 0; c < report.channels.size(); ++c)
            device[report.channels[c]] = row.match.result.device[c];
        colour["device"] = device;
        if (hasCoverage(report.channels))
            colour["coverage"] = row.match.result.coverage;
        colour["achieved"] = {{"L", f.L}, {"a", f.a}, {"b", f.b}};
        colour["delta"] = {{"L", f.dL}, {"C", f.dC}, {"H", f.dH}};
        colour["total"] = f.total;
        colour["outOfGamut"] = row.match.result.outOfGamut;
        colour["nearNeutral"] = row.match.result.nearNeutral;
        if (tolerance)
            colour["pass"] = passes(report.summary, row);
        json["colours"].push_back(colour);
    }
    json["skipped"] = report.problems;
    json["summary"] = {{"count", report.summary.count},
                       {"outOfGamut", report.summary.outOfGamut},
                       {"largestTotal", report.summary.largestTotal},
                       {"largestName", report.summary.largestName},
                       {"skipped", report.summary.skipped}};
    if (tolerance) {
        json["summary"]["passed"] = report.summary.passed;
        json["summary"]["failed"] = report.summary.count - report.summary.passed;
    }
    out << json.dump(2) << "\n";
}
