#include "BatchHtml.h"

#include "DisplayColour.h"
#include "ProfileInfo.h"
#include "ResultFigures.h"

#include <tintora/version.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

std::string escaped(const std::string& text) {
    std::string html;
    for (char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            html += c;
        }
    }
    return html;
}

std::string hexColour(int r, int g, int b) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", r, g, b);
    return text;
}

// A swatch cell: the colour as bgcolor and style, so that simple HTML renderers show it too; a
// clipped colour hatched, with a title that says so.
std::string swatch(DisplayColour& display, const double lab[3], const char* what) {
    const DisplayRGB shown = display.show(lab);
    const std::string colour = hexColour(shown.rgb[0], shown.rgb[1], shown.rgb[2]);
    std::string title = std::string(what) + ": sRGB " + std::to_string(shown.rgb[0]) + " " +
                        std::to_string(shown.rgb[1]) + " " + std::to_string(shown.rgb[2]);
    if (shown.clipped)
        title += ", outside sRGB, shown clipped";
    return "<td class=\"swatch" + std::string(shown.clipped ? " clipped" : "") + "\" bgcolor=\"" +
           colour + "\" style=\"background-color:" + colour + "\" title=\"" + title + "\">" +
           (shown.clipped ? "<span>clipped</span>" : "") + "</td>";
}

const char* const preserveNames[] = {"hue", "chroma", "lightness", "none"};

std::string settingRow(const char* name, const std::string& value) {
    return std::string("<tr><th>") + name + "</th><td>" + value + "</td></tr>\n";
}

std::string constraintsText(const BatchReport& report) {
    const PressConstraints& press = report.preferences.press;
    std::string text;
    if (hasCoverage(report.channels))
        text += "ink limit " + (press.inkLimit > 0 ? fieldText(press.inkLimit, 2) + " %" : "off");
    if (report.channels.size() == 4) {
        text += ", black limit " + fieldText(press.blackLimit, 2) + " %, ";
        switch (press.black) {
        case BlackGeneration::Minimum:
            text += "least black";
            break;
        case BlackGeneration::Maximum:
            text += "most black";
            break;
        case BlackGeneration::Free:
            text += "black searched";
            break;
        default:
            text += "black fixed at " + fieldText(report.preferences.black, 2) + " %";
        }
    }
    std::string locks;
    for (std::size_t c = 0; c < report.channels.size(); ++c)
        if (press.locks[c] >= 0)
            locks += (locks.empty() ? "" : ", ") + report.channels[c] + " " +
                     fieldText(press.locks[c], 2);
    text += (text.empty() ? "" : ", ") + std::string("locks ") + (locks.empty() ? "none" : locks);
    return text;
}

// Bins of the histogram, by the totals as shown: up to 1, 2, 3, 5, 10 and above.
constexpr std::array<double, 5> binEnds = {1, 2, 3, 5, 10};

const char* const style = R"(body { font-family: sans-serif; margin: 2em; color: #222; }
h1 { font-size: 1.4em; }
table { border-collapse: collapse; }
th, td { padding: 3px 6px; text-align: right; white-space: nowrap; }
th { background: #eee; }
td.name, th.name, table.settings td, table.settings th { text-align: left; }
table.colours tr:nth-child(even) td:not(.swatch) { background: #f6f6f6; }
td.swatch { width: 48px; height: 28px; padding: 0; border: 1px solid #888; }
td.clipped { background-image: repeating-linear-gradient(45deg, transparent 0 5px,
    rgba(255,255,255,.7) 5px 7px, rgba(0,0,0,.5) 7px 9px); }
td.clipped span { font-size: 9px; background: #fff; color: #000; padding: 0 2px; }
table.settings { margin-bottom: 1.5em; }
td.bar { min-width: 120px; text-align: left; }
div.bar { height: 12px; border: 1px solid #888; }
.fail, .gamut { color: #c00; font-weight: bold; }
.pass { color: #080; font-weight: bold; }
)";

} // namespace

void writeBatchHtml(std::ostream& out, const BatchReport& report) {
    const auto display = DisplayColour::sRGB();
    const BatchSummary& summary = report.summary;
    const std::string label = escaped(report.methodLabel);
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<title>Spot colours matched in " << escaped(report.profilePath) << "</title>\n"
        << "<style>\n"
        << style << "</style>\n</head>\n<body>\n"
        << "<h1>Spot colours matched in " << escaped(report.profilePath) << "</h1>\n"
        << "<table class=\"settings\">\n"
        << settingRow("Profile", escaped(report.profilePath))
        << settingRow("Rendering intent", intentName(static_cast<std::uint32_t>(report.intent)))
        << settingRow("Method", label + " (" + escaped(report.methodName) + ")");
    const SearchPreferences& p = report.preferences;
    out << settingRow("First preserve", std::string(preserveNames[std::clamp(p.preserve, 0, 3)]) +
                                            ", strength " + std::to_string(p.strength) +
                                            ", then emphasize " + std::to_string(p.priority))
        << settingRow("Press constraints", escaped(constraintsText(report)))
        << settingRow("Tolerance",
                      summary.tolerance ? toleranceText(*summary.tolerance) + " " + label : "none")
        << settingRow("Swatches", "through sRGB, relative colorimetric; hatched where sRGB "
                                  "cannot show the colour")
        << settingRow("Written by", "tintora-cli " TINTORA_VERSION) << "</table>\n";
    for (const auto& [title, lines] :
         {std::pair{"Notes", &report.notes}, std::pair{"Skipped", &report.problems}}) {
        if (lines->empty())
            continue;
        out << "<h2>" << title << "</h2>\n<ul>\n";
        for (const std::string& line : *lines)
            out << "<li>" << escaped(line) << "</li>\n";
        out << "</ul>\n";
    }

    const bool coverage = hasCoverage(report.channels), tolerance = summary.tolerance.has_value();
    out << "<table class=\"colours\">\n<thead><tr><th class=\"name\">Name</th>"
        << "<th>Reference</th><th>Achieved</th><th>ref L*</th><th>ref a*</th><th>ref b*</th>";
    for (const std::string& channel : report.channels)
        out << "<th>" << escaped(channel) << "</th>";
    if (coverage)
        out << "<th>TAC</th>";
    out << "<th>L*</th><th>a*</th><th>b*</th><th>\u0394L</th><th>\u0394C</th><th>\u0394H</th>"
        << "<th>" << label << "</th><th></th>" << (tolerance ? "<th>pass</th>" : "")
        << "<th>gamut</th></tr></thead>\n<tbody>\n";
    double scale = std::max(summary.largestTotal, summary.tolerance.value_or(0.0));
    scale = scale > 0 ? scale : 1;
    for (const BatchRow& row : report.rows) {
        const ResultFigures& f = row.match.figures;
        const double achieved[3] = {f.L, f.a, f.b};
        out << "<tr><td class=\"name\">" << escaped(row.colour.name) << "</td>"
            << swatch(*display, row.colour.lab, "reference")
            << swatch(*display, achieved, "achieved");
        const auto cell = [&out](const std::string& text) { out << "<td>" << text << "</td>"; };
        for (double v : row.colour.lab)
            cell(fieldText(v, 2));
        for (std::size_t c = 0; c < report.channels.size(); ++c)
            cell(fieldText(row.match.result.device[c], 2));
        if (coverage)
            cell(fieldText(row.match.result.coverage, 2));
        for (double v : {f.L, f.a, f.b})
            cell(fieldText(v, 2));
        for (double v : {f.dL, f.dC, f.dH, f.total})
            cell(deltaText(v));
        const bool pass = passes(summary, row);
        const BandColour band = tolerance
                                    ? (pass ? BandColour{96, 192, 96} : BandColour{224, 64, 64})
                                    : differenceColour(f.total);
        const double width =
            f.total == f.total ? std::clamp(100 * f.total / scale, 0.0, 100.0) : 100.0;
        out << "<td class=\"bar\"><div class=\"bar\" style=\"width:" << fieldText(width, 1)
            << "%;background-color:" << hexColour(band.r, band.g, band.b) << "\"></div></td>";
        if (tolerance)
            out << "<td class=\"" << (pass ? "pass\">pass" : "fail\">fail") << "</td>";
        out << "<td class=\"gamut\">" << (row.match.result.outOfGamut ? "Out of gamut!" : "")
            << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n<h2>Summary</h2>\n<p>"
        << escaped(summaryLine(summary, report.methodLabel)) << "</p>\n";

    // The histogram of the totals as shown.
    std::array<std::size_t, binEnds.size() + 1> counts{};
    for (const BatchRow& row : report.rows) {
        std::size_t bin = 0;
        while (bin < binEnds.size() && !withinTolerance(row.match.figures.total, binEnds[bin]))
            ++bin;
        ++counts[bin];
    }
    const std::size_t most =
        std::max<std::size_t>(1, *std::max_element(counts.begin(), counts.end()));
    out << "<table class=\"histogram\">\n<thead><tr><th class=\"name\">" << label
        << "</th><th class=\"name\">colours</th><th></th></tr></thead>\n<tbody>\n";
    for (std::size_t bin = 0; bin < counts.size(); ++bin) {
        const std::string range = bin == 0               ? "up to 1"
                                  : bin < binEnds.size() ? toleranceText(binEnds[bin - 1]) +
                                                               " to " + toleranceText(binEnds[bin])
                                                         : "above " + toleranceText(binEnds.back());
        out << "<tr><td class=\"name\">" << range << "</td><td class=\"bar\">";
        if (counts[bin] > 0)
            out << "<div class=\"bar\" style=\"width:" << fieldText(100.0 * counts[bin] / most, 1)
                << "%;background-color:#6a8fd0\"></div>";
        out << "</td><td>" << counts[bin] << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n</body>\n</html>\n";
}
