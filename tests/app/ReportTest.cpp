// The HTML report of a library, rendered by Qt's own HTML reader: one row per colour, swatches in
// the sRGB colours of the reference and the achieved colour, and nothing fetched from outside.

#include "BatchMatch.h"
#include "DisplayColour.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::string sampleCMYK = std::string(TINTORA_SAMPLE_PROFILES) + "/Tintora-Sample-CMYK.icc";

std::string runLibrary(const std::string& format, const std::string& library) {
    BatchOptions options;
    options.match.profilePath = sampleCMYK;
    options.match.format = format;
    options.match.tolerance = 2;
    options.input = "-";
    std::istringstream in(library);
    std::ostringstream out, errors;
    EXPECT_EQ(runBatchMatch(options, in, out, errors), batchConverted) << errors.str();
    return out.str();
}

QColor shown(DisplayColour& display, const double lab[3]) {
    const DisplayRGB rgb = display.show(lab);
    return {rgb.rgb[0], rgb.rgb[1], rgb.rgb[2]};
}

TEST(Report, RowsSwatchesAndSummaryOfALibrary) {
    const std::string library = "name,L,a,b\n"
                                "Grey,50,0,0\n"
                                "Warm Red,48.5,65,40\n"
                                "A <b>bold</b> & blue,30,10,-50\n"
                                "Green beyond sRGB,60,-95,40\n";
    const std::string html = runLibrary("html", library);
    const auto json = nlohmann::json::parse(runLibrary("json", library));
    for (const char* outside : {"<script", "src=", "href=", "url(", "@import"})
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;

    QTextDocument document;
    document.setHtml(QString::fromStdString(html));
    std::vector<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.push_back(table);
    ASSERT_EQ(tables.size(), 3u) << "settings, colours, histogram";
    QTextTable* colours = tables[1];
    const auto text = [](QTextTable* table, int row, int column) {
        QTextTableCell cell = table->cellAt(row, column);
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cursor.selectedText().replace(QChar::Nbsp, QLatin1Char(' ')); // nowrap cells
    };
    ASSERT_EQ(colours->rows(), 5) << "a header and a row per colour";
    const auto display = DisplayColour::sRGB();
    std::size_t outOfGamut = 0;
    for (int row = 1; row < colours->rows(); ++row) {
        const auto& colour = json["colours"][row - 1];
        EXPECT_EQ(text(colours, row, 0).toStdString(), colour["name"]);
        const double reference[3] = {colour["reference"]["L"], colour["reference"]["a"],
                                     colour["reference"]["b"]};
        const double achieved[3] = {colour["achieved"]["L"], colour["achieved"]["a"],
                                    colour["achieved"]["b"]};
        EXPECT_EQ(colours->cellAt(row, 1).format().background().color(),
                  shown(*display, reference));
        EXPECT_EQ(colours->cellAt(row, 2).format().background().color(), shown(*display, achieved));
        const int last = colours->columns() - 1;
        EXPECT_EQ(text(colours, row, last - 1), colour["pass"] ? "pass" : "fail");
        outOfGamut += text(colours, row, last) == "Out of gamut!" ? 1 : 0;
    }
    EXPECT_EQ(outOfGamut, json["summary"]["outOfGamut"]);
    // Grey is grey; the green lies beyond sRGB and says so.
    EXPECT_EQ(colours->cellAt(1, 1).format().background().color(), QColor(119, 119, 119));
    EXPECT_EQ(text(colours, 4, 1), "clipped");
    EXPECT_EQ(text(colours, 1, 1), "");

    QTextTable* histogram = tables[2];
    int counted = 0;
    for (int row = 1; row < histogram->rows(); ++row)
        counted += text(histogram, row, 2).toInt();
    EXPECT_EQ(counted, 4);
    EXPECT_NE(document.toPlainText().indexOf(" within tolerance 2, "), -1);
}

} // namespace
